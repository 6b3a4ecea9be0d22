#include "store/read_while_splitting.h"

#include <QFile>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/parallel_work.h"
#include "store/in_place_splitter.h"
#include "store/memory_need.h"
#include "store/record_count.h"
#include "store/record_splitter.h"

namespace trovix::store {
namespace {

// Records of about this many bytes or more are read while splitting; shorter ones are counted
// first, so that their elements take no more memory than they need.
constexpr std::size_t kBytesPerRecordRead = 64;

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
