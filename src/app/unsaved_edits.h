#pragma once

#include <QString>
#include <QTimer>
#include <array>

#include "lists/slot.h"
#include "state/unsaved_edits_keeper.h"
#include "store/recovery_writer.h"

namespace trovix {
struct MainState;
}

namespace trovix::app {

// Keeps every slot's unsaved records in a recovery file, so that a crash, a kill or a power
// cut loses nothing the next start cannot offer back. Changes are written once typing has
// paused for delayMs, and during steady typing at least every kLongestWait delays, on a thread of
// their own; typing never waits for the disk, and the window's share of a write (a copy of the
// record table) falls in a pause where it can. A slot's file goes as soon as the slot holds what
// its data file holds (saved, read again, or undone back to it), and every file goes on a clean
// close. When the system ends the program without a save, the files are brought up to date and
// stay. A write that fails is told once in the status bar, so that the user can save instead.
//
// The records a run that did not close properly left are offered back when a slot holds their
// data file: at start-up, and when a file is chosen for a slot. Recover puts them in the slot,
// marked changed, as one step that undo takes back; nothing is written to the data file until
// the user saves. The recovery file they came from becomes this run's own for the slot, so it
// stays until this run has kept the records itself, or they are saved. Discard removes it. A
// file that cannot be read is kept and named in a message. Recovery files of data files no slot
// holds are left for a later start; those of another user, or in a folder that is not a
// private folder of this user's, are never read, offered or removed.
class UnsavedEditsWatch : public UnsavedEditsKeeper {
  public:
    static constexpr int kDelayMs = 1000;
    static constexpr int kLongestWait = 5;  // delays

    UnsavedEditsWatch(MainState& state, const QString& folder, int delayMs = kDelayMs);
    ~UnsavedEditsWatch();
    UnsavedEditsWatch(const UnsavedEditsWatch&) = delete;
    UnsavedEditsWatch& operator=(const UnsavedEditsWatch&) = delete;

    std::array<QString, 3> keepNow() override;
    void forgetAll() override;
    void offer(std::optional<lists::SlotId> only) override;

    const store::RecoveryWriter& writer() const { return writer_; }

  private:
    void changed(lists::SlotId id, bool saved);
    void due();
    void tell(const QString& problem);
    void recover(lists::SlotId id, const QString& path);

    MainState& state_;
    store::RecoveryWriter writer_;
    QTimer timer_;
    qint64 firstUnwritten_ = 0;  // the first change since the last write, ms since 1970
    int delayMs_;
    std::array<bool, 3> dirty_{};
    std::array<qint64, 3> changedAt_{};  // of the last change, milliseconds since 1970
    QString told_;                       // the problem the status bar last told
};

}  // namespace trovix::app
