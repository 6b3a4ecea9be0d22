#include "store/refusal_text.h"

#include <QCoreApplication>

namespace trovix::store {

QString refusalText(const MemoryShortfall& shortfall) {
    const QString needed = platform::describeBytes(shortfall.needed);
    const QString left = platform::describeBytes(shortfall.left);
    if (shortfall.records) {
        // The count in the user's own digits and grouping.
        return QCoreApplication::translate(
                   "RefusalText",
                   "Its %Ln records would take about %1 of memory, and only %2 is left (%3).",
                   nullptr, static_cast<int>(*shortfall.records))
            .arg(needed, left, shortfall.limitedBy);
    }
    return QCoreApplication::translate(
               "RefusalText",
               "Reading it would take at least %1 of memory, and only %2 is left (%3).")
        .arg(needed, left, shortfall.limitedBy);
}

}  // namespace trovix::store
