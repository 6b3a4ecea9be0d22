#pragma once

#include <QtGlobal>
#include <vector>

#include "store/record_array.h"

namespace trovix::records {

// The order an exchange sort leaves the records in: for i from the first element to the one
// before the last, and for each j after i, elements i and j are exchanged when the lower-case
// form of element i is greater than that of element j (compared by code point, a proper prefix
// being smaller). Returns, for each new position, the index the element had before.
//
// The exchange sort itself takes time quadratic in the number of elements. The order is the
// same: sorted by lower-case form, and within a group of equal forms the order the exchanges
// leave, computed without them. Only groups whose texts differ (case variants such as "Bob" and
// "bob") need that; it follows from how many smaller elements stand between the group's own.
std::vector<qint32> exchangeSortOrder(const store::RecordArray& records);

// The memory working out that order and putting the records in it takes, at most.
qint64 exchangeSortMemory(qsizetype records);

}  // namespace trovix::records
