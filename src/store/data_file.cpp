#include "store/data_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/native.h"
#include "platform/regular_file.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace trovix::store {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// Far beyond any record collection; keeps every record index within a result row's tag.
constexpr qint64 kMaxFileSize = qint64{1} << 30;

bool startsWithSep(const char* d, std::size_t n, std::size_t at) {
    return n - at >= kRecordSep.size() && std::memcmp(d + at, kRecordSep.data(), 5) == 0;
}

// Which line break a text uses: any CR LF makes it a CR LF text; otherwise LF if it has one.
std::optional<LineBreak> detectLineBreak(const char* d, std::size_t n) {
    for (const char* p = d; (p = static_cast<const char*>(std::memchr(p, '\r', d + n - p))); ++p) {
        if (p + 1 < d + n && p[1] == '\n') {
            return LineBreak::CrLf;
        }
    }
    if (std::memchr(d, '\n', n) != nullptr) {
        return LineBreak::Lf;
    }
    return std::nullopt;
}

// Index of the LF of the next line break at or after `from`, or kNone.
std::size_t nextBreak(const char* d, std::size_t n, std::size_t from, LineBreak lb) {
    while (from < n) {
        const auto* p = static_cast<const char*>(std::memchr(d + from, '\n', n - from));
        if (p == nullptr) {
            return kNone;
        }
        const auto at = static_cast<std::size_t>(p - d);
        if (lb == LineBreak::Lf || (at > from && d[at - 1] == '\r')) {
            return at;
        }
        from = at + 1;
    }
    return kNone;
}

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

// Collects output in a reused buffer and writes it to the device in large pieces.
class ChunkWriter {
  public:
    ChunkWriter(QIODevice& device, bool windows1252)
        : device_(device), cp1252_(windows1252), buffer_(std::make_unique<char[]>(kChunk)) {}
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
    bool maybeFlush() { return used_ < kChunk / 2 || flush(); }
    bool flush() {
        if (ok_ && used_ > 0) {
            ok_ = device_.write(buffer_.get(), static_cast<qint64>(used_)) ==
                  static_cast<qint64>(used_);
        }
        used_ = 0;
        return ok_;
    }

  private:
    void put(std::string_view bytes) {
        if (kChunk - used_ < bytes.size()) {
            flush();
            if (bytes.size() > kChunk) {  // a piece larger than the buffer goes as it is
                ok_ = ok_ && device_.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                                 static_cast<qint64>(bytes.size());
                return;
            }
        }
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }

    static constexpr std::size_t kChunk = 1 << 20;
    QIODevice& device_;
    bool cp1252_;
    bool ok_ = true;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::string encoded_;
};

}  // namespace

namespace {

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

FileFormat FileFormat::native() {
    return FileFormat{Encoding::Utf8,
                      platform::nativeLineEnd() == "\r\n" ? LineBreak::CrLf : LineBreak::Lf};
}

bool fileExists(const QString& fileName) {
    if (fileName.isEmpty()) {
        return false;
    }
    const QFileInfo info(fileName);
    return info.exists() && info.isFile();
}

namespace {

// Files this large are validated and split on two threads, each taking one half.
constexpr std::size_t kParallelFrom = std::size_t{8} << 20;

// Where a large text may be cut in two so that each half holds whole records: the position of
// the first line break after the middle that ends a record (is not followed by the marker), or
// kNone.
std::size_t splitPoint(const char* d, std::size_t n, std::optional<LineBreak> lb) {
    if (n < kParallelFrom || !lb || std::thread::hardware_concurrency() < 2) {
        return kNone;
    }
    const std::size_t breakSize = *lb == LineBreak::CrLf ? 2 : 1;
    for (std::size_t from = n / 2;;) {
        const std::size_t at = nextBreak(d, n, from, *lb);
        if (at == kNone) {
            return kNone;
        }
        if (!startsWithSep(d, n, at + 1)) {
            return at + 1 - breakSize;
        }
        from = at + 1;
    }
}

// Splits a text into records, moving lines down over the line breaks it removes, in one pass:
// every line break followed by the marker goes, every other ends a record. Line ends are found
// sixteen bytes at a time. Lines only ever move down, to places already read, so what is still
// to be read is always the file's own bytes. The text may arrive piece by piece: advance()
// takes each piece, finish() the end.
class RecordSplitter {
  public:
    RecordSplitter(char* d, std::size_t begin, std::optional<LineBreak> lb,
                   std::vector<RecordArray::Span>& spans)
        : d_(d),
          lb_(lb),
          crLf_(lb == LineBreak::CrLf),
          breakSize_(crLf_ ? 2 : 1),
          spans_(spans),
          write_(begin),
          read_(begin),
          recordStart_(begin),
          scanned_(begin) {}

    // Splits at the line breaks before `limit`; the bytes up to `known` are there to look at
    // (a break is followed by the marker or not: five bytes after it).
    void advance(std::size_t limit, std::size_t known) {
        if (!lb_) {
            scanned_ = std::max(scanned_, limit);
            return;
        }
        std::size_t i = scanned_;
#ifdef __SSE2__
        const __m128i lf = _mm_set1_epi8('\n');
        for (; i + 16 <= limit; i += 16) {
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d_ + i)), lf)));
            while (mask != 0) {
                atLf(i + static_cast<std::size_t>(__builtin_ctz(mask)), known);
                mask &= mask - 1;
            }
        }
#endif
        for (; i < limit; ++i) {
            if (d_[i] == '\n') {
                atLf(i, known);
            }
        }
        scanned_ = std::max(scanned_, limit);
    }

    void finish(std::size_t end) {
        advance(end, end);
        moveLine(end);
        spans_.push_back({d_ + recordStart_, static_cast<std::uint32_t>(write_ - recordStart_)});
    }

    // An LF text that turned out to hold a CR LF, which makes it a CR LF text.
    bool metCrLfInLfText() const {
        return crLfInLf_;
    }

  private:
    void moveLine(std::size_t lineEnd) {
        const std::size_t length = lineEnd - read_;
        if (write_ != read_ && length > 0) {
            std::memmove(d_ + write_, d_ + read_, length);
        }
        write_ += length;
    }
    // The LF at p: a line break, unless the text breaks at CR LF and no CR stands before it.
    void atLf(std::size_t p, std::size_t known) {
        const bool crBefore = p > read_ && d_[p - 1] == '\r';
        if (crLf_ && !crBefore) {
            return;
        }
        crLfInLf_ = crLfInLf_ || (!crLf_ && crBefore);
        moveLine(p + 1 - breakSize_);
        read_ = p + 1;
        if (!startsWithSep(d_, known, read_)) {
            spans_.push_back(
                {d_ + recordStart_, static_cast<std::uint32_t>(write_ - recordStart_)});
            recordStart_ = write_;
        }
    }

    char* d_;
    std::optional<LineBreak> lb_;
    bool crLf_;
    std::size_t breakSize_;
    std::vector<RecordArray::Span>& spans_;
    std::size_t write_, read_, recordStart_, scanned_;
    bool crLfInLf_ = false;
};

void splitRecords(char* d, std::size_t begin, std::size_t end, std::optional<LineBreak> lb,
                  std::vector<RecordArray::Span>& spans) {
    RecordSplitter splitter(d, begin, lb, spans);
    splitter.finish(end);
}

// Runs work(begin, end) on [0, split) and [split + breakSize, n) at once, or on [0, n) alone
// when there is no split point.
template <typename Work>
void inHalves(std::size_t n, std::size_t split, std::size_t breakSize, Work work) {
    if (split == kNone) {
        work(std::size_t{0}, n, 0);
        return;
    }
    std::thread helper([&] { work(split + breakSize, n, 1); });
    work(std::size_t{0}, split, 0);
    helper.join();
}

}  // namespace

DataFileContent parseDataFile(QByteArray bytes) {
    DataFileContent content;
    content.format = FileFormat::native();
    auto n = static_cast<std::size_t>(bytes.size());
    if (n == 0) {
        return content;
    }
    const std::optional<LineBreak> detected = detectLineBreak(bytes.constData(), n);
    const std::size_t breakSize = detected == LineBreak::CrLf ? 2 : 1;
    std::size_t split = splitPoint(bytes.constData(), n, detected);

    // The halves end at a line break, so no character is cut in two.
    bool valid[2] = {true, true};
    inHalves(n, split == kNone ? kNone : split, 0, [&](std::size_t from, std::size_t to, int half) {
        valid[half] = isValidUtf8(
            std::string_view(bytes.constData() + from, static_cast<std::size_t>(to - from)));
    });
    if (!valid[0] || !valid[1]) {
        bytes = windows1252ToUtf8(std::string_view(bytes.constData(), n));
        content.format.encoding = Encoding::Windows1252;
        n = static_cast<std::size_t>(bytes.size());
        split = splitPoint(bytes.constData(), n, detected);
    }
    char* d = bytes.data();  // detaches once; the records point into this buffer afterwards
    if (detected) {
        content.format.lineBreak = *detected;
        content.format.leadingBreak =
            nextBreak(d, n, 0, *detected) == breakSize - 1 && startsWithSep(d, n, breakSize);
    }

    // About one record per 64 bytes of file; the vectors grow if the records are shorter.
    std::vector<RecordArray::Span> spans[2];
    inHalves(n, split, breakSize, [&](std::size_t from, std::size_t to, int half) {
        // The first half's vector takes the second's records afterwards.
        spans[half].reserve((half == 0 ? n : to - from) / 64 + 16);
        splitRecords(d, from, to, detected, spans[half]);
    });
    if (!spans[1].empty()) {
        spans[0].insert(spans[0].end(), spans[1].begin(), spans[1].end());
        spans[1] = {};
    }
    content.records = RecordArray::adopt(std::move(bytes), std::move(spans[0]));
    return content;
}

DataFileContent missingFileContent() {
    DataFileContent content;
    content.format = FileFormat::native();
    content.records.append(kFileNotFound);
    return content;
}

bool readWholeDevice(QIODevice& device, QByteArray& bytes, QString& error) {
    // Read the announced size straight into its final buffer, then on until the device says it
    // is at its end: files of unknown size (or that grew meanwhile) are appended piece by piece.
    const qint64 expected = std::max<qint64>(device.size(), 0);
    bytes = QByteArray(static_cast<qsizetype>(expected), Qt::Uninitialized);
    qint64 filled = 0;
    while (filled < expected) {
        const qint64 got = device.read(bytes.data() + filled, expected - filled);
        if (got < 0) {
            error = device.errorString();
            bytes.clear();
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    bytes.truncate(static_cast<qsizetype>(filled));
    char piece[64 * 1024];
    for (;;) {
        const qint64 got = device.read(piece, sizeof piece);
        if (got < 0) {
            error = device.errorString();
            bytes.clear();
            return false;
        }
        if (got == 0) {
            return true;
        }
        bytes.append(piece, static_cast<qsizetype>(got));
    }
}

namespace {

// Reads a large file and splits it into records at once: a second thread checks the text and
// splits it piece by piece right behind the reading, so a file is ready little after its last
// byte is in. Files this reading cannot take as they come give nothing, to be read the plain
// way: small ones, ones whose first piece holds no line break, Windows-1252 text (found invalid
// as UTF-8 on the way), a CR LF met in what began as an LF text, or a read that fails.
std::optional<DataFileContent> readWhileSplitting(QFile& file) {
    constexpr qint64 kPiece = qint64{4} << 20;
    const qint64 size = file.size();
    if (size < static_cast<qint64>(kParallelFrom) || std::thread::hardware_concurrency() < 2) {
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    char* d = bytes.data();
    const qint64 first = file.read(d, kPiece);
    if (first != kPiece) {
        return std::nullopt;
    }
    const std::optional<LineBreak> lb = detectLineBreak(d, static_cast<std::size_t>(first));
    if (!lb) {
        return std::nullopt;
    }
    DataFileContent content;
    content.format = FileFormat::native();
    content.format.lineBreak = *lb;
    const std::size_t breakSize = *lb == LineBreak::CrLf ? 2 : 1;
    content.format.leadingBreak =
        nextBreak(d, static_cast<std::size_t>(first), 0, *lb) == breakSize - 1 &&
        startsWithSep(d, static_cast<std::size_t>(first), breakSize);

    std::mutex mutex;
    std::condition_variable arrived;
    std::size_t filled = static_cast<std::size_t>(first);
    bool complete = false;
    bool failed = false;  // what was read cannot be taken as it comes
    std::vector<RecordArray::Span> spans;
    spans.reserve(static_cast<std::size_t>(size) / 64 + 16);

    std::thread worker([&] {
        RecordSplitter splitter(d, 0, lb, spans);
        std::size_t checked = 0;
        std::size_t seen = 0;  // the bytes there when last looked
        for (;;) {
            std::size_t known;
            bool end;
            {
                std::unique_lock lock(mutex);
                arrived.wait(lock, [&] { return filled > seen || complete; });
                known = filled;
                end = complete;
            }
            seen = known;
            // Checked up to an ASCII byte, so that no character is cut in two.
            std::size_t upTo = known;
            while (!end && upTo > checked && static_cast<unsigned char>(d[upTo - 1]) >= 0x80) {
                --upTo;
            }
            if (!isValidUtf8(std::string_view(d + checked, upTo - checked))) {
                failed = true;
                return;
            }
            checked = upTo;
            if (end) {
                splitter.finish(known);
            } else if (checked > 8) {
                splitter.advance(checked - 8, known);
            }
            if (splitter.metCrLfInLfText()) {
                failed = true;
                return;
            }
            if (end) {
                return;
            }
        }
    });
    bool readFailed = false;
    for (std::size_t at = static_cast<std::size_t>(first); at < static_cast<std::size_t>(size);) {
        const qint64 got =
            file.read(d + at, std::min<qint64>(kPiece, size - static_cast<qint64>(at)));
        if (got <= 0) {
            readFailed = true;
            break;
        }
        at += static_cast<std::size_t>(got);
        const std::lock_guard lock(mutex);
        filled = at;
        arrived.notify_one();
    }
    {
        const std::lock_guard lock(mutex);
        complete = true;
        arrived.notify_one();
    }
    worker.join();
    char probe;
    if (failed || readFailed || filled != static_cast<std::size_t>(size) ||
        file.read(&probe, 1) != 0) {
        return std::nullopt;  // read again the plain way, which also tells a failure
    }
    content.records = RecordArray::adopt(std::move(bytes), std::move(spans));
    return content;
}

}  // namespace

ReadResult readDataFile(const QString& fileName) {
    ReadResult result;
    result.kind = platform::pathKind(fileName);
    if (result.kind != platform::PathKind::RegularFile) {
        result.content = missingFileContent();
        return result;
    }
    QFile file(fileName);
    if (!platform::openRegularFile(file, result.error)) {
        return result;
    }
    result.stamp = platform::fileStamp(file);
    if (file.size() > kMaxFileSize) {
        result.error = QStringLiteral("The file is larger than 1 GB.");
        return result;
    }
    if (std::optional<DataFileContent> content = readWhileSplitting(file)) {
        result.content = std::move(content);
        return result;
    }
    QByteArray bytes;
    if (!file.seek(0) || !readWholeDevice(file, bytes, result.error)) {
        if (result.error.isEmpty()) {
            result.error = file.errorString();
        }
        return result;
    }
    result.content = parseDataFile(std::move(bytes));
    return result;
}

bool writeDataFile(QIODevice& device, const RecordArray& records, const FileFormat& format,
                   FileFormat& written, QString& error) {
    written = format;
    if (format.encoding == Encoding::Windows1252) {
        for (qsizetype i = 0; i < records.size(); ++i) {
            if (!fitsWindows1252(records.utf8(i))) {
                written.encoding = Encoding::Utf8;  // never drop a character the code page lacks
                break;
            }
        }
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
        error = device.errorString();
        return false;
    }
    return true;
}

SaveResult saveDataFile(const QString& fileName, const RecordArray& records,
                        const FileFormat& format, const platform::SafeWriteOptions& options) {
    SaveResult result;
    const platform::WriteOutcome written = platform::writeFileSafely(
        fileName,
        [&](QIODevice& out, QString& error) {
            return writeDataFile(out, records, format, result.format, error);
        },
        options);
    result.ok = written.ok;
    result.error = written.error;
    if (result.ok) {
        result.stamp = platform::fileStamp(fileName);
    }
    return result;
}

}  // namespace trovix::store
