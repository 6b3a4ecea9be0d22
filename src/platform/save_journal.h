#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "platform/result.h"

class QFile;

namespace trovix::platform {

class Disk;

// Where rollback copies are kept: the per-user state folder, $XDG_STATE_HOME/Trovix
// (~/.local/state/Trovix) on Linux and other Unix systems, the per-user data folder's
// Trovix/state elsewhere.
QString rollbackFolder();

// The rollback copy of a file that is about to be written over itself (a writable file in a
// read-only folder). It holds the file's path, its identity on the disk, its old content with
// that content's size and hash, and the size and hash of the new content, and it is on the disk
// before the first byte of the file changes. Should the program die while the file is being
// written, the next start finds it and puts the old content back (recoverInterruptedSaves).
//
// While a save holds its rollback copy, the copy is locked, so that another copy of the program
// starting meanwhile does not take a save that is still running for one that was cut short.
class RollbackCopy {
  public:
    explicit RollbackCopy(Disk& disk) : disk_(disk) {}
    ~RollbackCopy();  // unlocks; the copy itself stays on the disk unless discarded
    RollbackCopy(const RollbackCopy&) = delete;
    RollbackCopy& operator=(const RollbackCopy&) = delete;

    // Writes and syncs the copy, and the folder that holds it.
    Result<void> write(const QString& target, const QByteArray& oldContent,
                       const QByteArray& newContent);
    // Removes it: the file holds either content completely.
    void discard();
    const QString& path() const { return path_; }

  private:
    void unlock();

    Disk& disk_;
    QString path_;
    int lockHandle_ = -1;
};

// Writes `old` over the file at `path` from its start, cuts the file to that size, syncs it and
// reads it back: true only when the file then holds exactly `old`. Needs no new space on the
// disk when the file held `old` before, whatever was written into it since.
Result<void> putBackOldContent(Disk& disk, QFile& file, const QByteArray& old);

// What start-up did with a save that was cut short.
struct InterruptedSave {
    enum class Outcome {
        Restored,           // the file was part old, part new; its old content is back, checked
        NotRestored,        // putting the old content back failed; the rollback copy stays
        ReplacedMeanwhile,  // the file was removed or replaced since; the old content was put
                            // into a file of its own in the rollback folder
        SetUndone,  // one of several files replaced together; its old content is back, so that
                    // the set is as it was
    };
    Outcome outcome = Outcome::Restored;
    QString file;    // the file that was being saved
    QString detail;  // NotRestored: why; ReplacedMeanwhile: where the old content is now
    QString copy;    // NotRestored: the rollback copy that stays
};

// Looks for rollback copies left by saves that were cut short (the program was killed, or the
// system went down), and for sets of files replaced together (replacement_set.h), and undoes
// each such save: a file that holds neither its old nor its new
// content completely gets its old content back. A copy whose file holds either content is
// removed without a word; so is a copy that was itself not complete, as its file was not yet
// touched. Returns what the user should be told.
QList<InterruptedSave> recoverInterruptedSaves(Disk& disk);

// Removes the rollback copies of `file` that no running save holds: once the file has been
// saved completely, an older copy would only undo that save.
void discardRollbackCopiesOf(const QString& file);

}  // namespace trovix::platform
