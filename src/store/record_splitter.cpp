#include "store/record_splitter.h"

#include <QCoreApplication>
#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/parallel_work.h"
#include "store/in_place_splitter.h"
#include "store/memory_need.h"
#include "store/record_count.h"
#include "store/refusal_text.h"

namespace trovix::store {
namespace {

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

// Runs work(begin, end, part) on every part at once. What any part throws comes out of this
// call, after all parts have ended.
template <typename Work>
void inParts(const std::vector<platform::PartRange>& parts, Work work) {
    platform::forEachPart(
        parts.size(), [&](std::size_t part) { work(parts[part].begin, parts[part].end, part); });
}

}  // namespace

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
                QCoreApplication::translate(
                    "RecordSplitter", "As UTF-8 text it would take %1, more than Trovix can hold.")
                    .arg(platform::describeBytes(static_cast<qint64>(converted))));
        }
    }
    if (const std::optional<MemoryShortfall> shortfall =
            shortfallFor(needed, total().records, room)) {
        return platform::fail(refusalText(*shortfall));
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
            throw std::logic_error("fewer records than counted");  // not shown
        }
    });
    content.records = RecordArray::adopt(std::move(bytes), std::move(spans));
    return content;
}

DataFileContent parseDataFile(QByteArray bytes) {
    return std::move(*parseDataFileWithin(std::move(bytes), platform::MemoryRoom{}));
}

}  // namespace trovix::store
