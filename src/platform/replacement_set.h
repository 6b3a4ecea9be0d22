#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <vector>

#include "platform/result.h"
#include "platform/safe_file.h"
#include "platform/save_journal.h"

namespace trovix::platform {

class Disk;
class ReplacementFile;

// Several files replaced together, all or none, also across a kill or a power cut.
//
// Each file's new content is written whole beside it first (prepare()). commit() then writes a
// journal of the set to the per-user state folder and puts the new files in place one by one;
// each old file is moved aside, not removed, until every new file is in place. Should the
// program stop before that, the next start finds the journal and puts every old file back
// (recoverInterruptedSets()); once all are in place the journal says so, and the old files go.
// A new file takes a file's place by an exchange of the two names where the system offers one,
// so the name never stands empty; elsewhere the old file is renamed aside first.
//
// Only files that can get a new file beside them are replaced: a set never writes a file in
// place.
class ReplacementSet {
  public:
    explicit ReplacementSet(Disk& disk);
    ~ReplacementSet();  // what was prepared and not committed is removed
    ReplacementSet(const ReplacementSet&) = delete;
    ReplacementSet& operator=(const ReplacementSet&) = delete;

    // Writes `content` beside `target` (links followed), to take its place with the others.
    Result<void, WriteFailure> prepare(const QString& target, const ContentWriter& content);
    // Puts every prepared file in the place of its target, or none: after a failure every
    // target holds what it held before, unless the failure says otherwise.
    Result<void, WriteFailure> commit();

  private:
    struct Member;
    Disk& disk_;
    std::vector<std::unique_ptr<Member>> members_;
};

// Undoes the sets a program that stopped left half done, every file of the set getting its old
// content back, and finishes those it left done but not tidied up. Called by
// recoverInterruptedSaves().
QList<InterruptedSave> recoverInterruptedSets(Disk& disk);

}  // namespace trovix::platform
