#pragma once

#include <QtGlobal>
#include <vector>

#include "store/record_array.h"

// Merging two sets of changes to one data file record by record, so that neither is lost.
namespace trovix::store {

// The records a merge gives, and what it did.
struct MergedRecords {
    RecordArray records;
    // Changes of mine in the result: records mine changed, added or deleted.
    int mine = 0;
    // Changes taken from theirs that mine did not make as well.
    int theirs = 0;
    // Records both sides changed, each its own way: both versions are kept, mine's first.
    int keptTwice = 0;
    // Where mine's version of each record kept twice stands in `records`, ascending; theirs'
    // follows it.
    std::vector<qint32> keptTwiceAt;
};

// Merges the changes mine and theirs made to the same base records:
// - a record changed or added on one side only takes that side's version;
// - a record deleted on one side and untouched on the other is deleted;
// - a record deleted on one side and changed on the other is kept, changed;
// - a record both sides changed, each its own way, is kept twice: mine's version, then theirs'.
// The records follow mine's order; records theirs added go after their nearest neighbour that
// both sides hold. When theirs only reordered the base (a sort) and mine did not, theirs'
// order is kept instead. Merging with a side that equals the base gives the other side exactly.
MergedRecords mergeRecords(const RecordArray& base, const RecordArray& mine,
                           const RecordArray& theirs);

// Another copy's records folded into mine, without a common base.
struct FoldedCopy {
    RecordArray records;
    // Records only the copy held, now added.
    int added = 0;
};

// Folds a copy of the same file into mine: records only in the copy are added after their
// nearest neighbour that both hold; records in both are kept once; mine's order stays.
FoldedCopy foldInCopy(const RecordArray& mine, const RecordArray& copy);

}  // namespace trovix::store
