#pragma once

#include <QString>
#include <QtGlobal>
#include <cstddef>
#include <optional>

#include "platform/memory_limits.h"
#include "store/record_count.h"

// The memory a data file takes once loaded, and whether it fits the memory left.
namespace trovix::store {

// Kept free for everything else the program does while a file is loaded.
inline constexpr qint64 kMemoryReserve = qint64{64} << 20;

// The memory a loaded text takes: its bytes, an element per record and a list row per record
// that is listed (listing follows loading at once).
qint64 memoryNeeded(qint64 textBytes, const RecordCount& count);

// Why a file is not loaded, in figures: the memory it would take, the memory left beside what is
// kept free for the rest of the program, and what limits it.
struct MemoryShortfall {
    qint64 needed = 0;
    std::optional<std::size_t> records;  // when they are counted
    qint64 left = 0;
    QString limitedBy;  // as the room says
};

// The shortfall of a file of `needed` bytes in memory (and `records` records, when they are
// counted), or nothing when it fits the room.
std::optional<MemoryShortfall> shortfallFor(qint64 needed, std::optional<std::size_t> records,
                                            const platform::MemoryRoom& room);

}  // namespace trovix::store
