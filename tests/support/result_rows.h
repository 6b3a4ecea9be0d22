#pragma once

#include <QStringList>

#include "lists/result_list.h"

namespace trovix::testing {

// The rows of a result list as "tag|text".
inline QStringList rowsOf(const lists::ResultList& list) {
    QStringList out;
    for (int r = 0; r < list.count(); ++r) {
        out << QStringLiteral("%1|%2").arg(list.itemData(r)).arg(list.text(r));
    }
    return out;
}

}  // namespace trovix::testing
