#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "lists/slot.h"
#include "platform/file_watcher.h"
#include "platform/safe_file.h"
#include "state/change_notice.h"
#include "store/data_file_io.h"

namespace trovix {
struct MainState;
}

namespace trovix::app {

enum class ReloadOutcome {
    Reloaded,
    // The file kept changing while it was read: nothing was taken, try again later.
    Unsettled,
    // The file is gone, or could not be read: the slot keeps its records.
    NotRead,
};

// Keeps the slots in step with their files when another program changes them, while
// "Reload Changed Files" is ticked:
// - a slot without unsaved changes reads its file again by itself, and the status bar says so;
// - a slot with unsaved changes is never read again by itself: the change notice asks, and the
//   user merges the file with the changes, reloads, or keeps the changes (the next save then
//   asks, as it always does);
// - a file deleted or renamed away leaves the slot's records as they are, and the status bar
//   says so.
// A change is acted on once it has settled (no further change for a moment), and a file that
// keeps changing is read at most once a second. A file that holds what the slot last read or
// saved (the program's own save), or last merged, is not read again.
// It also offers the conflict copies that sync tools leave beside the slots' files, one at a
// time, whether or not "Reload Changed Files" is ticked: the user merges a copy in or ignores
// it, and an ignored copy is not offered again, in this run or a later one, while it stays as
// it was.
class FileChangeWatch {
  public:
    static constexpr qint64 kSettleMs = 200;
    static constexpr qint64 kReloadGapMs = 1000;

    FileChangeWatch(MainState& state, platform::FileWatcher& watcher);
    ~FileChangeWatch();
    FileChangeWatch(const FileChangeWatch&) = delete;
    FileChangeWatch& operator=(const FileChangeWatch&) = delete;

    // Watches the files the slots hold now.
    void watchSlotFiles();

  private:
    struct SlotWatch {
        bool pending = false;
        qint64 firstChange = 0;  // of the changes not yet acted on
        qint64 lastChange = 0;
        bool reloaded = false;
        qint64 lastReload = 0;
        // The file as the user was last told of it, so that one change is told once.
        std::optional<platform::FileStamp> told;
        bool awaitingAnswer = false;
        // The conflict copy offered for the slot's file; empty for none.
        QString copy;
        // How many copies the slot had taken in when its folder was last looked at.
        std::size_t takenCopies = 0;
    };
    struct IgnoredCopy {
        QString path;
        platform::FileStamp stamp;
    };

    void changed(const QString& file);
    void schedule();
    void due();
    void act(lists::SlotId id);
    void answer(lists::SlotId id, ChangeNotice::Kind kind, ChangeNotice::Answer answer);
    void lookForConflictCopies(lists::SlotId id);
    void readIgnoredCopies();
    void storeIgnoredCopies();
    void stepTaken();
    void showNextNotice();

    MainState& state_;
    platform::FileWatcher& watcher_;
    QObject lifetime_;  // the connections to the change notice end with the watch
    std::array<SlotWatch, 3> slots_;
    std::vector<IgnoredCopy> ignored_;
};

// The name of a slot's file as messages about changes on disk give it: the file name alone.
QString shortFileName(const lists::FileSlot& slot);

// Reads a data file whole, as another program left it. A file still being written is never
// taken half-way: when its stamp changes while it is read, it is read again, a few times at
// most. Nothing when it could not be read; `why` says why.
std::optional<store::ReadFile> readSettledFile(MainState& state, const QString& fileName,
                                               ReloadOutcome& why);

// Gives a slot new records as one step of the undo history (`stepName`), lists them as the list
// showed them (every record, or the matches of the search shown) and refreshes the status bar:
// `update` changes the slot. Then the list selects record `show`, if given and listed, or else
// a record with the text of the one selected before; if neither is listed, nothing is selected
// and the edit box, which showed a record, is emptied.
void replaceSlotRecords(MainState& state, lists::SlotId id, const QString& stepName,
                        const std::function<void(lists::FileSlot&)>& update,
                        std::optional<qint32> show = std::nullopt);

// Reads a slot's file again after another program changed it, lists its records as the list
// showed them (all of them, or the matches of the search shown), refreshes the status bar and
// says in it what happened. The slot's unsaved changes are dropped.
ReloadOutcome reloadChangedSlot(MainState& state, lists::SlotId id);

}  // namespace trovix::app
