#include "store/refusal_text.h"

#include <QLocale>

namespace trovix::store {

QString refusalText(const MemoryShortfall& shortfall) {
    const QString what = shortfall.records
                             ? QStringLiteral("Its %1 records would take about %2 of memory")
                                   .arg(QLocale(QLocale::English)
                                            .toString(static_cast<qulonglong>(*shortfall.records)),
                                        platform::describeBytes(shortfall.needed))
                             : QStringLiteral("Reading it would take at least %1 of memory")
                                   .arg(platform::describeBytes(shortfall.needed));
    return QStringLiteral("%1, and only %2 is left (%3).")
        .arg(what, platform::describeBytes(shortfall.left), shortfall.limitedBy);
}

}  // namespace trovix::store
