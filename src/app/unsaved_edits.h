#pragma once

#include <QString>
#include <QTimer>
#include <array>

#include "lists/slot.h"
#include "store/recovery_writer.h"

namespace trovix {
struct MainState;
}

namespace trovix::app {

// Keeps every slot's unsaved records in a recovery file, so that a crash, a kill or a power
// cut loses nothing the next start cannot offer back. Changes are written once typing has
// paused for delayMs, and during steady typing at least every kLongestWait delays, on a thread of
// their own; typing never waits for the disk, and the window's share of a write (a copy of the
// record table) falls in a pause where it can. A slot's file goes as soon as
// the slot holds what its data file holds (saved, read again, or undone back to it), and every
// file goes on a clean close. When the system ends the program without a save, the files are
// brought up to date and stay.
class UnsavedEditsWatch {
  public:
    static constexpr int kDelayMs = 1000;
    static constexpr int kLongestWait = 5;  // delays

    UnsavedEditsWatch(MainState& state, const QString& folder, int delayMs = kDelayMs);
    ~UnsavedEditsWatch();
    UnsavedEditsWatch(const UnsavedEditsWatch&) = delete;
    UnsavedEditsWatch& operator=(const UnsavedEditsWatch&) = delete;

    // Writes what changed now, and returns once it is on the disk.
    void keepNow();
    // Removes every file of this run.
    void forgetAll();

    const store::RecoveryWriter& writer() const { return writer_; }

  private:
    void changed(lists::SlotId id, bool saved);
    void due();

    MainState& state_;
    store::RecoveryWriter writer_;
    QTimer timer_;
    qint64 firstUnwritten_ = 0;  // the first change since the last write, ms since 1970
    int delayMs_;
    std::array<bool, 3> dirty_{};
    std::array<qint64, 3> changedAt_{};  // of the last change, milliseconds since 1970
    QString toldError_;                  // the write failure the status bar last told
};

// Start-up, once the slots are loaded: for each recovery file that a run which did not close
// properly left for a data file a slot holds, asks whether to recover the changes. Recover puts
// the recovered records in the slot, marked changed, as one step that undo takes back; nothing
// is written to the data file until the user saves. Discard removes the recovery file. A file
// that cannot be read is kept and named in a message. Recovery files of data files no slot
// holds are left for a later start.
void offerUnsavedEdits(MainState& state, const QString& folder);

}  // namespace trovix::app
