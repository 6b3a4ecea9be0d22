#pragma once

#include <QString>

#include "store/memory_need.h"

// What the user is told of a data file that is not loaded for want of memory.
namespace trovix::store {

// How much memory the file would take, how much is left, and what limits it, in one sentence.
QString refusalText(const MemoryShortfall& shortfall);

}  // namespace trovix::store
