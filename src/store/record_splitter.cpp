#include "store/record_splitter.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/parallel_work.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace trovix::store {
namespace {

// Large files are validated and split in parts at once, none smaller than this.
constexpr std::size_t kLeastPerPart = std::size_t{4} << 20;

// The parts a text is validated and split in, each holding whole records: they are cut at line
// breaks that end a record (are not followed by the marker), the break itself in neither part.
std::vector<platform::PartRange> recordParts(const char* d, std::size_t n,
                                             std::optional<LineBreak> lb) {
    const std::size_t parts = lb ? platform::partsFor(n, kLeastPerPart) : 1;
    const std::size_t breakSize = lb == LineBreak::CrLf ? 2 : 1;
    return platform::cutIntoParts(n, parts, [&](std::size_t from) {
        std::optional<std::pair<std::size_t, std::size_t>> cut;
        for (std::size_t at = from; (at = nextBreak(d, n, at, *lb)) != kNoBreak; ++at) {
            if (at + 1 - breakSize >= from && !startsWithSep(d, n, at + 1)) {
                cut.emplace(at + 1 - breakSize, at + 1);
                break;
            }
        }
        return cut;
    });
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

// Runs work(begin, end, part) on every part at once. What any part throws comes out of this
// call, after all parts have ended.
template <typename Work>
void inParts(const std::vector<platform::PartRange>& parts, Work work) {
    platform::forEachPart(
        parts.size(), [&](std::size_t part) { work(parts[part].begin, parts[part].end, part); });
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

// Records of about this many bytes or more are read while splitting; shorter ones are counted
// first, so that their elements take no more memory than they need.
constexpr std::size_t kBytesPerRecordRead = 64;

}  // namespace

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

platform::Result<DataFileContent> parseDataFileWithin(QByteArray bytes,
                                                      const platform::MemoryRoom& room) {
    DataFileContent content;
    content.format = FileFormat::native();
    auto n = static_cast<std::size_t>(bytes.size());
    if (n == 0) {
        return content;
    }
    const std::optional<LineBreak> detected = detectLineBreak(bytes.constData(), n);
    const std::size_t breakSize = detected == LineBreak::CrLf ? 2 : 1;
    std::vector<platform::PartRange> parts = recordParts(bytes.constData(), n, detected);

    // The parts end at a line break, so no character is cut in two, and the breaks between
    // them are ASCII. Each is checked and its records counted, so that the records get exactly
    // the memory they need.
    std::vector<RecordCount> counts(parts.size());
    std::vector<char> valid(parts.size(), 1);  // not vector<bool>: each part writes its own
    const auto count = [&](std::size_t from, std::size_t to, std::size_t part) {
        counts[part] = countRecords(bytes.constData(), from, to, detected);
    };
    inParts(parts, [&](std::size_t from, std::size_t to, std::size_t part) {
        count(from, to, part);
        valid[part] = isValidUtf8(std::string_view(bytes.constData() + from, to - from));
    });
    const auto total = [&counts] {
        RecordCount all;
        for (const RecordCount& c : counts) {
            all += c;
        }
        return all;
    };
    const bool allValid = std::find(valid.begin(), valid.end(), 0) == valid.end();
    qint64 needed = memoryNeeded(static_cast<qint64>(n), total());
    if (!allValid) {
        const std::size_t converted = windows1252Utf8Size(std::string_view(bytes.constData(), n));
        // The old bytes and the new live side by side for a moment.
        needed += static_cast<qint64>(converted);
        if (converted >= RecordArray::kArenaBase) {
            return platform::fail(
                QStringLiteral("As UTF-8 text it would take %1, more than Trovix can hold.")
                    .arg(platform::describeBytes(static_cast<qint64>(converted))));
        }
    }
    if (QString refusal = refusalFor(needed, total().records, room); !refusal.isEmpty()) {
        return platform::fail(std::move(refusal));
    }
    if (!allValid) {
        bytes = windows1252ToUtf8(std::string_view(bytes.constData(), n));
        content.format.encoding = Encoding::Windows1252;
        n = static_cast<std::size_t>(bytes.size());
        parts = recordParts(bytes.constData(), n, detected);
        counts.assign(parts.size(), {});
        inParts(parts, count);
    }
    char* d = bytes.data();  // detaches once; the records point into this buffer afterwards
    if (detected) {
        content.format.lineBreak = *detected;
        content.format.leadingBreak =
            nextBreak(d, n, 0, *detected) == breakSize - 1 && startsWithSep(d, n, breakSize);
    }

    // Each part fills its own stretch of the elements, exactly as many as it counted.
    std::vector<std::size_t> firstOf(parts.size(), 0);
    for (std::size_t part = 1; part < parts.size(); ++part) {
        firstOf[part] = firstOf[part - 1] + counts[part - 1].records;
    }
    std::vector<RecordArray::Span> spans(total().records);
    inParts(parts, [&](std::size_t from, std::size_t to, std::size_t part) {
        RecordArray::Span* first = spans.data() + firstOf[part];
        SpanSink sink(first, first + counts[part].records);
        RecordSplitter(d, from, detected, sink).finish(to);
        if (!sink.complete()) {
            throw std::logic_error("fewer records than counted");
        }
    });
    content.records = RecordArray::adopt(std::move(bytes), std::move(spans));
    return content;
}

DataFileContent parseDataFile(QByteArray bytes) {
    return std::move(*parseDataFileWithin(std::move(bytes), platform::MemoryRoom{}));
}

namespace {

// How far the reading of a file has come, as the reading thread tells the splitting one.
class Arrivals {
  public:
    explicit Arrivals(std::size_t filled) : filled_(filled) {}

    // The bytes before `filled` are in.
    void arrived(std::size_t filled) {
        const std::lock_guard lock(mutex_);
        filled_ = filled;
        arrived_.notify_one();
    }
    // No more bytes will come.
    void completed() {
        const std::lock_guard lock(mutex_);
        complete_ = true;
        arrived_.notify_one();
    }
    // Waits until more than `seen` bytes are in, or the reading ended. Returns the bytes in and
    // whether they are all.
    std::pair<std::size_t, bool> waitBeyond(std::size_t seen) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [&] { return filled_ > seen || complete_; });
        return {filled_, complete_};
    }
    // The bytes in, once the splitting thread has ended.
    std::size_t filled() const { return filled_; }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::size_t filled_;
    bool complete_ = false;
};

// Checks the text at `d` and splits it into `sink` as its bytes arrive, right behind the
// reading. Returns false when it cannot be taken as it comes: it is not UTF-8, or an LF text
// holds a CR LF.
bool splitAsItArrives(char* d, LineBreak lb, Arrivals& arrivals, SpanSink& sink) {
    RecordSplitter splitter(d, 0, lb, sink);
    std::size_t checked = 0;
    std::size_t seen = 0;  // the bytes there when last looked
    for (;;) {
        const auto [known, end] = arrivals.waitBeyond(seen);
        seen = known;
        // Checked up to an ASCII byte, so that no character is cut in two.
        std::size_t upTo = known;
        while (!end && upTo > checked && static_cast<unsigned char>(d[upTo - 1]) >= 0x80) {
            --upTo;
        }
        if (!isValidUtf8(std::string_view(d + checked, upTo - checked))) {
            return false;
        }
        checked = upTo;
        if (end) {
            splitter.finish(known);
        } else if (checked > 8) {
            splitter.advance(checked - 8, known);
        }
        if (splitter.metCrLfInLfText()) {
            return false;
        }
        if (end) {
            return true;
        }
    }
}

// The format of a file as the `first` bytes at `d` show it, or none when they hold no line
// break, or records too short to be read while splitting.
std::optional<FileFormat> formatToSplitWhileReading(const char* d, std::size_t first) {
    const std::optional<LineBreak> lb = detectLineBreak(d, first);
    if (!lb || countRecords(d, 0, first, lb).records > first / kBytesPerRecordRead) {
        return std::nullopt;
    }
    FileFormat format = FileFormat::native();
    format.lineBreak = *lb;
    const std::size_t breakSize = *lb == LineBreak::CrLf ? 2 : 1;
    format.leadingBreak =
        nextBreak(d, first, 0, *lb) == breakSize - 1 && startsWithSep(d, first, breakSize);
    return format;
}

// Reads the rest of a file into `d`, from `at` to `size`, a piece at a time, and tells
// `arrivals` and `progress` of each piece. Returns false when a read fails, the file ends early
// or the progress says stop.
bool readRest(QFile& file, char* d, std::size_t at, std::size_t size, qint64 piece,
              Arrivals& arrivals, ReadingProgress& progress) {
    while (at < size) {
        const qint64 got =
            file.read(d + at, std::min<qint64>(piece, static_cast<qint64>(size - at)));
        if (got <= 0) {
            return false;
        }
        at += static_cast<std::size_t>(got);
        arrivals.arrived(at);
        if (!progress.tell(static_cast<qint64>(at), static_cast<qint64>(size))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<DataFileContent> readWhileSplitting(QFile& file, const platform::MemoryRoom& room,
                                                  ReadingProgress& progress) {
    constexpr qint64 kPiece = kReadPiece;
    const qint64 size = file.size();
    const auto mostRecords = static_cast<std::size_t>(size) + 1;
    if (platform::partsFor(static_cast<std::size_t>(size), kLeastPerPart) < 2 ||
        memoryNeeded(size, {mostRecords, mostRecords}) + kMemoryReserve > room.bytes) {
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    char* d = bytes.data();
    const qint64 first = file.read(d, kPiece);
    if (first != kPiece || !progress.tell(first, size)) {
        return std::nullopt;
    }
    const std::optional<FileFormat> format =
        formatToSplitWhileReading(d, static_cast<std::size_t>(first));
    if (!format) {
        return std::nullopt;
    }

    // The splitting follows the reading on a thread of its own. The reading always tells the
    // end, also when it throws, so that the splitting ends too.
    Arrivals arrivals(static_cast<std::size_t>(first));
    bool failed = false;  // what was read cannot be taken as it comes
    bool readFailed = false;
    std::vector<RecordArray::Span> spans;
    spans.reserve(static_cast<std::size_t>(size) / kBytesPerRecordRead + 16);
    platform::sideBySide(
        [&] {
            struct TellsTheEnd {
                Arrivals& arrivals;
                ~TellsTheEnd() { arrivals.completed(); }
            } tellsTheEnd{arrivals};
            readFailed = !readRest(file, d, static_cast<std::size_t>(first),
                                   static_cast<std::size_t>(size), kPiece, arrivals, progress);
        },
        [&] {
            SpanSink sink(spans);
            failed = !splitAsItArrives(d, format->lineBreak, arrivals, sink);
        });
    char probe;
    if (failed || readFailed || arrivals.filled() != static_cast<std::size_t>(size) ||
        file.read(&probe, 1) != 0) {
        return std::nullopt;  // read again the plain way, which also tells a failure
    }
    DataFileContent content;
    content.format = *format;
    content.records = RecordArray::adopt(std::move(bytes), std::move(spans));
    return content;
}

}  // namespace trovix::store
