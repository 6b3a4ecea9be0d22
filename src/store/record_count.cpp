#include "store/record_count.h"

#include "store/line_break_scan.h"

namespace trovix::store {

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

}  // namespace trovix::store
