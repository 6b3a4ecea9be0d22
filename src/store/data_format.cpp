#include "store/data_format.h"

#include <QCoreApplication>
#include <QIODevice>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/native.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace trovix::store {
namespace {

std::string_view lineBreakBytes(LineBreak lb) {
    return lb == LineBreak::CrLf ? std::string_view("\r\n") : std::string_view("\n");
}

// Whether LF line breaks can carry these records: none may hold an LF, and none may put a CR
// right before a written line break, which would read back as CR LF.
bool fitsLfFile(const RecordArray& records) {
    for (qsizetype i = 0; i < records.size(); ++i) {
        const std::string_view r = records.utf8(i);
        const bool breakFollows = i + 1 < records.size();
        if (r.find('\n') != std::string_view::npos ||
            (breakFollows && !r.empty() && r.back() == '\r') ||
            r.find("\r-----") != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// Collects output in a reused buffer and writes it to the device in large pieces. The buffer
// grows with what is written, up to a piece: a file of one short record costs no more.
class ChunkWriter {
  public:
    ChunkWriter(QIODevice& device, bool windows1252) : device_(device), cp1252_(windows1252) {}
    void text(std::string_view utf8) {
        if (!cp1252_) {
            put(utf8);
            return;
        }
        encoded_.clear();
        appendAsWindows1252(utf8, encoded_);
        put(encoded_);
    }
    // Called once per record: keeps the writes large without a check per piece.
    bool maybeFlush() { return buffer_.size() < kChunk / 2 || flush(); }
    bool flush() {
        if (ok_ && !buffer_.empty()) {
            ok_ = device_.write(buffer_.data(), static_cast<qint64>(buffer_.size())) ==
                  static_cast<qint64>(buffer_.size());
        }
        buffer_.clear();
        return ok_;
    }

  private:
    void put(std::string_view bytes) {
        if (kChunk - buffer_.size() < bytes.size()) {
            flush();
            if (bytes.size() > kChunk) {  // a piece larger than the buffer goes as it is
                ok_ = ok_ && device_.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                                 static_cast<qint64>(bytes.size());
                return;
            }
        }
        buffer_.append(bytes);
    }

    static constexpr std::size_t kChunk = 1 << 20;
    QIODevice& device_;
    bool cp1252_;
    bool ok_ = true;
    std::string buffer_;
    std::string encoded_;
};

// The scalar search: every run of five hyphens covers one of the positions from+4, from+9, ...;
// a position that is not a hyphen rules out the five starts that would cover it.
std::size_t findRecordSepFrom(const char* d, std::size_t n, std::size_t from) {
    std::size_t i = from + 4;
    while (i < n) {
        if (d[i] != '-') {
            i += 5;
            continue;
        }
        std::size_t start = i;
        while (start > i - 4 && d[start - 1] == '-') {
            --start;
        }
        std::size_t end = i + 1;
        while (end < n && end - start < 5 && d[end] == '-') {
            ++end;
        }
        if (end - start == 5) {
            return start;
        }
        i = end + 5;  // d[end] is not a hyphen (or the text ends there)
    }
    return std::string_view::npos;
}

}  // namespace

std::size_t findRecordSep(std::string_view text) {
    const char* d = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time: a bit per hyphen, and a run of five bits marks a marker. The
    // windows overlap by four bytes so a marker never straddles two of them unseen.
    const __m128i hyphen = _mm_set1_epi8('-');
    for (; i + 16 <= n; i += 12) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const auto m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, hyphen)));
        const unsigned runs = m & (m >> 1) & (m >> 2) & (m >> 3) & (m >> 4) & 0xFFFu;
        if (runs != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(runs));
        }
    }
#endif
    return findRecordSepFrom(d, n, i);
}

// Which line break a text uses: any CR LF makes it a CR LF text; otherwise LF if it has one.
std::optional<LineBreak> detectLineBreak(const char* d, std::size_t n) {
    const std::string_view text(d, n);
    if (text.find("\r\n") != std::string_view::npos) {
        return LineBreak::CrLf;
    }
    if (text.find('\n') != std::string_view::npos) {
        return LineBreak::Lf;
    }
    return std::nullopt;
}

// Index of the LF of the next line break at or after `from`, or kNoBreak.
std::size_t nextBreak(const char* d, std::size_t n, std::size_t from, LineBreak lb) {
    while (from < n) {
        const auto* p = static_cast<const char*>(std::memchr(d + from, '\n', n - from));
        if (p == nullptr) {
            return kNoBreak;
        }
        const auto at = static_cast<std::size_t>(p - d);
        if (lb == LineBreak::Lf || (at > from && d[at - 1] == '\r')) {
            return at;
        }
        from = at + 1;
    }
    return kNoBreak;
}

FileFormat FileFormat::native() {
    return FileFormat{Encoding::Utf8,
                      platform::nativeLineEnd() == "\r\n" ? LineBreak::CrLf : LineBreak::Lf};
}

DataFileContent missingFileContent() {
    DataFileContent content;
    content.format = FileFormat::native();
    // The single record a slot holds when its file does not exist, in the user's language.
    content.records.append(QCoreApplication::translate("DataFormat", "<file not found>"));
    return content;
}

std::optional<char32_t> firstCharacterEncodingLacks(const RecordArray& records, Encoding encoding) {
    if (encoding == Encoding::Windows1252) {
        for (qsizetype i = 0; i < records.size(); ++i) {
            if (const auto c = firstCharacterOutsideWindows1252(records.utf8(i))) {
                return c;
            }
        }
    }
    return std::nullopt;  // UTF-8 holds every character
}

platform::Result<FileFormat> writeDataFile(QIODevice& device, const RecordArray& records,
                                           const FileFormat& format) {
    FileFormat written = format;
    if (firstCharacterEncodingLacks(records, format.encoding)) {
        written.encoding = Encoding::Utf8;  // never drop a character the code page lacks
    }
    if (written.lineBreak == LineBreak::Lf && !fitsLfFile(records)) {
        written.lineBreak = LineBreak::CrLf;  // the only form that reads back the same records
    }
    // A file without a CR LF reads as an LF file, whose LFs are line breaks. A CR LF file of one
    // record that would come out without a CR LF, but holds an LF, keeps one: the line break in
    // front of a marker that opens the file, or else one at the end.
    bool closingBreak = false;
    if (written.lineBreak == LineBreak::CrLf && records.size() == 1) {
        const std::string_view only = records.utf8(0);
        const std::size_t marker = findRecordSep(only);
        const bool breakBeforeMarker =
            marker != std::string_view::npos &&
            (marker > 0 || written.leadingBreak ||
             findRecordSep(only.substr(marker + kRecordSep.size())) != std::string_view::npos);
        if (!breakBeforeMarker && only.find("\r\n") == std::string_view::npos &&
            only.find('\n') != std::string_view::npos) {
            if (marker == 0) {
                written.leadingBreak = true;
            } else {
                closingBreak = true;
            }
        }
    }
    const std::string_view lineBreak = lineBreakBytes(written.lineBreak);
    ChunkWriter out(device, written.encoding == Encoding::Windows1252);
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (i > 0) {
            out.text(lineBreak);
        }
        std::string_view rest = records.utf8(i);
        for (std::size_t at; (at = findRecordSep(rest)) != std::string_view::npos;) {
            out.text(rest.substr(0, at));
            // A marker at the very start of the file has no line above it to continue.
            if (!(i == 0 && at == 0 && rest.data() == records.utf8(0).data()) ||
                written.leadingBreak) {
                out.text(lineBreak);
            }
            out.text(kRecordSep);
            rest.remove_prefix(at + kRecordSep.size());
        }
        out.text(rest);
        if (!out.maybeFlush()) {
            break;
        }
    }
    if (closingBreak) {
        out.text(lineBreak);
    }
    if (!out.flush()) {
        return platform::fail(device.errorString());
    }
    return written;
}

}  // namespace trovix::store
