#include "store/memory_need.h"

#include <algorithm>

#include "store/record_array.h"

namespace trovix::store {

qint64 memoryNeeded(qint64 textBytes, const RecordCount& count) {
    constexpr qint64 kRowBytes = 8;
    return textBytes + static_cast<qint64>(count.records * sizeof(RecordArray::Span)) +
           static_cast<qint64>(count.nonEmpty) * kRowBytes;
}

std::optional<MemoryShortfall> shortfallFor(qint64 needed, std::optional<std::size_t> records,
                                            const platform::MemoryRoom& room) {
    const qint64 left = std::max<qint64>(0, room.bytes - kMemoryReserve);
    if (needed <= left) {
        return std::nullopt;
    }
    return MemoryShortfall{needed, records, left, room.limitedBy};
}

}  // namespace trovix::store
