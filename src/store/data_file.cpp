#include "store/data_file.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/memory_limits.h"
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

// Where a splitter puts the records it finds: the end of a vector that grows, or a range set
// aside for exactly as many records as were counted.
class SpanSink {
  public:
    explicit SpanSink(std::vector<RecordArray::Span>& growing) : growing_(&growing) {}
    SpanSink(RecordArray::Span* begin, RecordArray::Span* end) : next_(begin), end_(end) {}

    void put(std::size_t at, std::size_t size) {
        const RecordArray::Span span{static_cast<std::uint32_t>(at),
                                     static_cast<std::uint32_t>(size)};
        if (growing_ != nullptr) {
            growing_->push_back(span);
        } else if (next_ == end_) {
            throw std::logic_error("more records than counted");
        } else {
            *next_++ = span;
        }
    }
    // Whether a range set aside was filled exactly.
    bool complete() const { return growing_ != nullptr || next_ == end_; }

  private:
    std::vector<RecordArray::Span>* growing_ = nullptr;
    RecordArray::Span* next_ = nullptr;
    RecordArray::Span* end_ = nullptr;
};

// Calls atBreak(p) for the LF of every line break in [from, to), in order, sixteen bytes at a
// time. In a CR LF text an LF is a break only when a CR at or after `lineStart()` stands before
// it; atBreak moves the line start on.
template <typename LineStart, typename AtBreak>
void forEachBreak(const char* d, std::size_t from, std::size_t to, bool crLf, LineStart lineStart,
                  AtBreak atBreak) {
    const auto atLf = [&](std::size_t p) {
        if (!crLf || (p > lineStart() && d[p - 1] == '\r')) {
            atBreak(p);
        }
    };
    std::size_t i = from;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= to; i += 16) {
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i)), lf)));
        while (mask != 0) {
            atLf(i + static_cast<std::size_t>(__builtin_ctz(mask)));
            mask &= mask - 1;
        }
    }
#endif
    for (; i < to; ++i) {
        if (d[i] == '\n') {
            atLf(i);
        }
    }
}

// What splitting [begin, end) will give, counted before anything is stored, by the rules the
// splitter below follows.
struct RecordCount {
    std::size_t records = 0;
    std::size_t nonEmpty = 0;  // each takes a row when the file is listed

    RecordCount& operator+=(const RecordCount& other) {
        records += other.records;
        nonEmpty += other.nonEmpty;
        return *this;
    }
};

RecordCount countRecords(const char* d, std::size_t begin, std::size_t end,
                         std::optional<LineBreak> lb) {
    RecordCount count;
    if (!lb) {
        return {1, end > begin ? 1u : 0u};
    }
    const std::size_t breakSize = lb == LineBreak::CrLf ? 2 : 1;
    std::size_t lineStart = begin;
    bool firstLine = true;  // the line at lineStart begins a record
    const auto recordEnds = [&](std::size_t lineLength) {
        ++count.records;
        count.nonEmpty += firstLine && lineLength == 0 ? 0 : 1;
    };
    forEachBreak(
        d, begin, end, lb == LineBreak::CrLf, [&] { return lineStart; },
        [&](std::size_t p) {
            const std::size_t next = p + 1;
            if (startsWithSep(d, end, next)) {
                firstLine = false;
            } else {
                recordEnds(next - breakSize - lineStart);
                firstLine = true;
            }
            lineStart = next;
        });
    recordEnds(end - lineStart);
    return count;
}

// Splits a text into records, moving lines down over the line breaks it removes, in one pass:
// every line break followed by the marker goes, every other ends a record. Lines only ever
// move down, to places already read, so what is still to be read is always the file's own
// bytes. The text may arrive piece by piece: advance() takes each piece, finish() the end.
class RecordSplitter {
  public:
    RecordSplitter(char* d, std::size_t begin, std::optional<LineBreak> lb, SpanSink& spans)
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
        if (lb_ && limit > scanned_) {
            forEachBreak(
                d_, scanned_, limit, crLf_, [&] { return read_; },
                [&](std::size_t p) { atBreak(p, known); });
        }
        scanned_ = std::max(scanned_, limit);
    }

    void finish(std::size_t end) {
        advance(end, end);
        moveLine(end);
        spans_.put(recordStart_, write_ - recordStart_);
    }

    // An LF text that turned out to hold a CR LF, which makes it a CR LF text.
    bool metCrLfInLfText() const { return crLfInLf_; }

  private:
    void moveLine(std::size_t lineEnd) {
        const std::size_t length = lineEnd - read_;
        if (write_ != read_ && length > 0) {
            std::memmove(d_ + write_, d_ + read_, length);
        }
        write_ += length;
    }
    void atBreak(std::size_t p, std::size_t known) {
        crLfInLf_ = crLfInLf_ || (!crLf_ && p > read_ && d_[p - 1] == '\r');
        moveLine(p + 1 - breakSize_);
        read_ = p + 1;
        if (!startsWithSep(d_, known, read_)) {
            spans_.put(recordStart_, write_ - recordStart_);
            recordStart_ = write_;
        }
    }

    char* d_;
    std::optional<LineBreak> lb_;
    bool crLf_;
    std::size_t breakSize_;
    SpanSink& spans_;
    std::size_t write_, read_, recordStart_, scanned_;
    bool crLfInLf_ = false;
};

// Runs work(begin, end) on [0, split) and [split + breakSize, n) at once, or on [0, n) alone
// when there is no split point. What either half throws comes out of this call, after both
// halves have ended.
template <typename Work>
void inHalves(std::size_t n, std::size_t split, std::size_t breakSize, Work work) {
    if (split == kNone) {
        work(std::size_t{0}, n, 0);
        return;
    }
    std::exception_ptr helperFailed;
    std::thread helper([&] {
        try {
            work(split + breakSize, n, 1);
        } catch (...) {
            helperFailed = std::current_exception();
        }
    });
    try {
        work(std::size_t{0}, split, 0);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (helperFailed) {
        std::rethrow_exception(helperFailed);
    }
}

// Kept free for everything else the program does while a file is loaded.
constexpr qint64 kMemoryReserve = qint64{64} << 20;

// The memory a loaded text takes: its bytes, an element per record and a list row per record
// that is listed (listing follows loading at once).
qint64 memoryNeeded(qint64 textBytes, const RecordCount& count) {
    constexpr qint64 kRowBytes = 8;
    return textBytes + static_cast<qint64>(count.records * sizeof(RecordArray::Span)) +
           static_cast<qint64>(count.nonEmpty) * kRowBytes;
}

// Why a file is not loaded, or nothing when `needed` fits the room beside the reserve.
QString refusalFor(qint64 needed, std::optional<std::size_t> records,
                   const platform::MemoryRoom& room) {
    const qint64 left = std::max<qint64>(0, room.bytes - kMemoryReserve);
    if (needed <= left) {
        return {};
    }
    const QString what =
        records ? QStringLiteral("Its %1 records would take about %2 of memory")
                      .arg(QLocale(QLocale::English).toString(static_cast<qulonglong>(*records)),
                           platform::describeBytes(needed))
                : QStringLiteral("Reading it would take at least %1 of memory")
                      .arg(platform::describeBytes(needed));
    return QStringLiteral("%1, and only %2 is left (%3).")
        .arg(what, platform::describeBytes(left), room.limitedBy);
}

// parseDataFile, unless the records would not fit `room`: then nothing, and `refusal` says why.
std::optional<DataFileContent> parseWithin(QByteArray bytes, const platform::MemoryRoom& room,
                                           QString& refusal) {
    DataFileContent content;
    content.format = FileFormat::native();
    auto n = static_cast<std::size_t>(bytes.size());
    if (n == 0) {
        return content;
    }
    const std::optional<LineBreak> detected = detectLineBreak(bytes.constData(), n);
    const std::size_t breakSize = detected == LineBreak::CrLf ? 2 : 1;
    std::size_t split = splitPoint(bytes.constData(), n, detected);

    // The halves end at a line break, so no character is cut in two, and the break between
    // them is ASCII. Each is checked and its records counted, so that the records get exactly
    // the memory they need.
    bool valid[2] = {true, true};
    RecordCount counts[2];
    const auto count = [&](std::size_t from, std::size_t to, int half) {
        counts[half] = countRecords(bytes.constData(), from, to, detected);
    };
    inHalves(n, split, breakSize, [&](std::size_t from, std::size_t to, int half) {
        count(from, to, half);
        valid[half] = isValidUtf8(std::string_view(bytes.constData() + from, to - from));
    });
    qint64 needed = memoryNeeded(static_cast<qint64>(n), RecordCount(counts[0]) += counts[1]);
    if (!valid[0] || !valid[1]) {
        const std::size_t converted = windows1252Utf8Size(std::string_view(bytes.constData(), n));
        // The old bytes and the new live side by side for a moment.
        needed += static_cast<qint64>(converted);
        if (converted >= RecordArray::kArenaBase) {
            refusal = QStringLiteral("As UTF-8 text it would take %1, more than Trovix can hold.")
                          .arg(platform::describeBytes(static_cast<qint64>(converted)));
            return std::nullopt;
        }
    }
    if (refusal = refusalFor(needed, counts[0].records + counts[1].records, room);
        !refusal.isEmpty()) {
        return std::nullopt;
    }
    if (!valid[0] || !valid[1]) {
        bytes = windows1252ToUtf8(std::string_view(bytes.constData(), n));
        content.format.encoding = Encoding::Windows1252;
        n = static_cast<std::size_t>(bytes.size());
        split = splitPoint(bytes.constData(), n, detected);
        counts[0] = counts[1] = {};
        inHalves(n, split, breakSize, count);
    }
    char* d = bytes.data();  // detaches once; the records point into this buffer afterwards
    if (detected) {
        content.format.lineBreak = *detected;
        content.format.leadingBreak =
            nextBreak(d, n, 0, *detected) == breakSize - 1 && startsWithSep(d, n, breakSize);
    }

    // Each half fills its own part of the elements, exactly as many as it counted.
    std::vector<RecordArray::Span> spans(counts[0].records + counts[1].records);
    inHalves(n, split, breakSize, [&](std::size_t from, std::size_t to, int half) {
        RecordArray::Span* first = spans.data() + (half == 0 ? 0 : counts[0].records);
        SpanSink sink(first, first + counts[half].records);
        RecordSplitter(d, from, detected, sink).finish(to);
        if (!sink.complete()) {
            throw std::logic_error("fewer records than counted");
        }
    });
    content.records = RecordArray::adopt(std::move(bytes), std::move(spans));
    return content;
}

}  // namespace

DataFileContent parseDataFile(QByteArray bytes) {
    QString unused;
    return *parseWithin(std::move(bytes), platform::MemoryRoom{}, unused);
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

// Records of about this many bytes or more are read while splitting; shorter ones are counted
// first, so that their elements take no more memory than they need.
constexpr std::size_t kBytesPerRecordRead = 64;

// Reads a large file and splits it into records at once: a second thread checks the text and
// splits it piece by piece right behind the reading, so a file is ready little after its last
// byte is in. Files this reading cannot take as they come give nothing, to be read the plain
// way: small ones, ones whose first piece holds no line break or short records, Windows-1252
// text (found invalid as UTF-8 on the way), a CR LF met in what began as an LF text, a read
// that fails, and files whose records might not fit the memory left if they were all short.
std::optional<DataFileContent> readWhileSplitting(QFile& file, const platform::MemoryRoom& room) {
    constexpr qint64 kPiece = qint64{4} << 20;
    const qint64 size = file.size();
    const auto mostRecords = static_cast<std::size_t>(size) + 1;
    if (size < static_cast<qint64>(kParallelFrom) || std::thread::hardware_concurrency() < 2 ||
        memoryNeeded(size, {mostRecords, mostRecords}) + kMemoryReserve > room.bytes) {
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    char* d = bytes.data();
    const qint64 first = file.read(d, kPiece);
    if (first != kPiece) {
        return std::nullopt;
    }
    const std::optional<LineBreak> lb = detectLineBreak(d, static_cast<std::size_t>(first));
    if (!lb || countRecords(d, 0, static_cast<std::size_t>(first), lb).records >
                   static_cast<std::size_t>(first) / kBytesPerRecordRead) {
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
    std::exception_ptr workerFailed;
    std::vector<RecordArray::Span> spans;
    spans.reserve(static_cast<std::size_t>(size) / kBytesPerRecordRead + 16);

    std::thread worker([&] {
        try {
            SpanSink sink(spans);
            RecordSplitter splitter(d, 0, lb, sink);
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
        } catch (...) {
            workerFailed = std::current_exception();
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
    if (workerFailed) {
        std::rethrow_exception(workerFailed);
    }
    char probe;
    if (failed || readFailed || filled != static_cast<std::size_t>(size) ||
        file.read(&probe, 1) != 0) {
        return std::nullopt;  // read again the plain way, which also tells a failure
    }
    content.records = RecordArray::adopt(std::move(bytes), std::move(spans));
    return content;
}

}  // namespace

namespace {

// Reads an open file whose size has been checked; any allocation that fails comes out as an
// exception.
void readOpenFile(QFile& file, const platform::MemoryRoom& room, ReadResult& result) {
    if (const QString refusal = refusalFor(file.size(), std::nullopt, room); !refusal.isEmpty()) {
        result.error = refusal;
        result.refused = true;
        return;
    }
    if (std::optional<DataFileContent> content = readWhileSplitting(file, room)) {
        result.content = std::move(content);
        return;
    }
    QByteArray bytes;
    if (!file.seek(0) || !readWholeDevice(file, bytes, result.error)) {
        if (result.error.isEmpty()) {
            result.error = file.errorString();
        }
        return;
    }
    result.content = parseWithin(std::move(bytes), room, result.error);
    result.refused = !result.content;
}

}  // namespace

ReadResult readDataFile(const QString& fileName, const platform::MemoryLimits& limits) {
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
        result.refused = true;
        return result;
    }
    try {
        readOpenFile(file, limits.room(), result);
    } catch (const std::bad_alloc&) {
        result = ReadResult{std::nullopt, QStringLiteral("There was not enough memory to read it."),
                            result.kind, result.stamp, true};
    } catch (const std::length_error&) {
        result =
            ReadResult{std::nullopt, QStringLiteral("Its records are more than Trovix can hold."),
                       result.kind, result.stamp, true};
    }
    return result;
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

bool writeDataFile(QIODevice& device, const RecordArray& records, const FileFormat& format,
                   FileFormat& written, QString& error) {
    written = format;
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
        error = device.errorString();
        return false;
    }
    return true;
}

SaveResult saveDataFile(const QString& fileName, const RecordArray& records,
                        const FileFormat& format) {
    SaveResult result;
    const platform::WriteOutcome written =
        platform::writeFileSafely(fileName, [&](QIODevice& out, QString& error) {
            return writeDataFile(out, records, format, result.format, error);
        });
    result.ok = written.ok;
    result.error = written.error;
    result.unchanged = written.unchanged;
    if (result.ok) {
        result.stamp = platform::fileStamp(fileName);
    }
    return result;
}

}  // namespace trovix::store
