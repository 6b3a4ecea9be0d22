#include "app/file_changes.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <string>

#include "app/search_commands.h"
#include "lists/listing.h"
#include "platform/memory_limits.h"
#include "search/search_engine.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "store/data_file_io.h"

namespace trovix::app {
namespace {

// How often a file that changes while it is read is read again before the reload waits for the
// next change.
constexpr int kReadAttempts = 3;

// The text of the record the slot's selected row shows, if any.
std::optional<std::string> selectedRecord(const lists::FileSlot& slot) {
    const int row = slot.list.listIndex();
    if (row < 0 || slot.list.isNoMatchRow(row) || slot.list.isHeaderRow(row)) {
        return std::nullopt;
    }
    const qint32 index = slot.list.itemData(row);
    if (!slot.records.contains(index)) {
        return std::nullopt;
    }
    return std::string(slot.records.utf8(index));
}

// The first record row that shows a record of this text; -1 for none.
int rowOfRecord(const lists::FileSlot& slot, const std::string& text) {
    for (int row = 0; row < slot.list.count(); ++row) {
        if (slot.list.isNoMatchRow(row) || slot.list.isHeaderRow(row) ||
            slot.list.isContinuationRow(row)) {
            continue;
        }
        const qint32 index = slot.list.itemData(row);
        if (slot.records.contains(index) && slot.records.utf8(index) == text) {
            return row;
        }
    }
    return -1;
}

// Reads a slot's file again after another program changed it, and shows its records as the
// list showed them before: `relist` fills the list from the new records (every record, or the
// matches of the search shown). A file still being written is never taken half-way: when its
// stamp changes while it is read, it is read again, a few times at most. The record that was
// selected stays selected when a record with the same text is there; otherwise nothing is, and
// the edit box, which showed it, is emptied. The slot's unsaved changes, if any, are dropped,
// and it is no longer marked changed.
ReloadOutcome reloadSlot(MainState& state, lists::SlotId id, const std::function<void()>& relist) {
    lists::FileSlot& slot = state.slot(id);
    const QString target = platform::fileBehindLinks(slot.fileName);
    std::optional<store::ReadFile> read;
    for (int attempt = 0; attempt < kReadAttempts && !read; ++attempt) {
        platform::Result<store::ReadFile, store::ReadFailure> candidate =
            store::readDataFile(slot.fileName, *state.services.memory);
        if (!candidate || !candidate->stamp.exists) {
            return ReloadOutcome::NotRead;
        }
        // The stamp of the open file from before the read against the name's after it: a write
        // or a rename in between means the bytes may be half old, half new.
        if (candidate->stamp == platform::fileStamp(target)) {
            read = std::move(*candidate);
        }
    }
    if (!read) {
        return ReloadOutcome::Unsettled;
    }

    // The reload is one step back in the undo history: what the slot held before it.
    std::array<std::optional<undo::SlotContent>, 3> before;
    before[static_cast<std::size_t>(id)] = slot;
    const std::optional<std::string> selected = selectedRecord(slot);
    const bool hadSelection = slot.list.listIndex() >= 0;
    slot.records = std::move(read->content.records);
    slot.format = read->content.format;
    slot.disk().stamp = read->stamp;
    slot.basedOn.reset();
    slot.disk().foundKind = read->kind;
    slot.readName = slot.fileName;
    slot.disk().unreadable = false;
    slot.changed = false;
    state.edits.recordContents(undo::nameWithFile(QStringLiteral("Reload"), slot.fileName),
                               std::move(before), state.fileSlots);
    state.edits.markSaved(id);  // the slot holds what its file holds
    {
        const BusySection busy(state);
        relist();
        slot.list.setListIndex(-1);
    }
    const int row = selected ? rowOfRecord(slot, *selected) : -1;
    if (row >= 0) {
        slot.list.setListIndex(row);  // the click handling shows the record again
    } else if (hadSelection) {
        const BusySection busy(state);
        state.editBox.setText(QString());
    }
    return ReloadOutcome::Reloaded;
}

}  // namespace

QString shortFileName(const lists::FileSlot& slot) {
    return QFileInfo(slot.fileName).fileName();
}

ReloadOutcome reloadChangedSlot(MainState& state, lists::SlotId id) {
    lists::FileSlot& slot = state.slot(id);
    const ReloadOutcome outcome = reloadSlot(state, id, [&state, &slot, id] {
        if (slot.shownSearch.isEmpty()) {
            lists::listAllRecords(slot.list, slot.records, slot.fileName, state.listingOptions());
        } else {
            listMatchesAgain(state, id);
        }
    });
    if (outcome == ReloadOutcome::Reloaded) {
        search::fillStatusBar(state.statusBar, state.fileSlots);
        state.statusBar.showMessage(QStringLiteral("%1 was changed on disk and has been read again")
                                        .arg(shortFileName(slot)));
    } else if (outcome == ReloadOutcome::NotRead) {
        state.statusBar.showMessage(
            QStringLiteral("%1 could not be read again; list %2 keeps its records")
                .arg(shortFileName(slot))
                .arg(static_cast<int>(id) + 1));
    }
    return outcome;
}

FileChangeWatch::FileChangeWatch(MainState& state, platform::FileWatcher& watcher)
    : state_(state), watcher_(watcher) {
    watcher_.setChangeHandler([this](const QString& file) { changed(file); });
    ChangeNotice* notice = &state_.changeNotice;
    QObject::connect(notice, &ChangeNotice::answered, &lifetime_,
                     [this](lists::SlotId id, ChangeNotice::Answer choice) { answer(id, choice); });
    QObject::connect(notice, &ChangeNotice::fileNamesChanged, &lifetime_,
                     [this] { watchSlotFiles(); });
    QObject::connect(notice, &ChangeNotice::stepTaken, &lifetime_, [this] { stepTaken(); });
    watchSlotFiles();
}

FileChangeWatch::~FileChangeWatch() {
    watcher_.setChangeHandler({});
    watcher_.callAfter(0, {});
}

void FileChangeWatch::watchSlotFiles() {
    QStringList files;
    for (const lists::SlotId id : lists::kAllSlots) {
        files.append(state_.slot(id).fileName);
    }
    watcher_.watch(files);
}

void FileChangeWatch::changed(const QString& file) {
    const qint64 now = watcher_.now();
    for (const lists::SlotId id : lists::kAllSlots) {
        SlotWatch& watch = slots_[static_cast<std::size_t>(id)];
        if (state_.slot(id).fileName != file) {
            continue;
        }
        if (!watch.pending) {
            watch.pending = true;
            watch.firstChange = now;
        }
        watch.lastChange = now;
    }
    schedule();
}

// The next moment a pending change is due: once it has settled, or a second after it began
// for a file that does not settle, and never sooner than a second after the slot's last
// reload.
void FileChangeWatch::schedule() {
    std::optional<qint64> next;
    for (const SlotWatch& watch : slots_) {
        if (!watch.pending) {
            continue;
        }
        qint64 at = std::min(watch.lastChange + kSettleMs, watch.firstChange + kReloadGapMs);
        if (watch.reloaded) {
            at = std::max(at, watch.lastReload + kReloadGapMs);
        }
        next = next ? std::min(*next, at) : at;
    }
    if (next) {
        watcher_.callAfter(std::max<qint64>(0, *next - watcher_.now()), [this] { due(); });
    }
}

void FileChangeWatch::due() {
    const qint64 now = watcher_.now();
    for (const lists::SlotId id : lists::kAllSlots) {
        SlotWatch& watch = slots_[static_cast<std::size_t>(id)];
        const bool settled =
            now >= watch.lastChange + kSettleMs || now >= watch.firstChange + kReloadGapMs;
        const bool rested = !watch.reloaded || now >= watch.lastReload + kReloadGapMs;
        if (watch.pending && settled && rested) {
            watch.pending = false;
            act(id);
        }
    }
    schedule();
}

void FileChangeWatch::act(lists::SlotId id) {
    SlotWatch& watch = slots_[static_cast<std::size_t>(id)];
    if (!state_.options.isChecked(Option::ReloadChangedFiles)) {
        return;
    }
    if (state_.busy) {  // the program is changing the lists itself: come back shortly
        watch.pending = true;
        watch.lastChange = watcher_.now();
        return;
    }
    lists::FileSlot& slot = state_.slot(id);
    const platform::FileStamp now = platform::fileStamp(platform::fileBehindLinks(slot.fileName));
    if (now == slot.disk().stamp) {
        // What the slot read or saved last, the program's own save included. A notice about an
        // earlier change was answered by that save.
        if (watch.awaitingAnswer) {
            watch.awaitingAnswer = false;
            showNextNotice();
        }
        return;
    }
    if (watch.told == now) {
        return;  // the user knows
    }
    watch.told = now;
    if (!now.exists) {
        state_.statusBar.showMessage(
            QStringLiteral("%1 was deleted or renamed on disk; list %2 keeps its records")
                .arg(shortFileName(slot))
                .arg(static_cast<int>(id) + 1));
        return;
    }
    if (slot.changed) {
        watch.awaitingAnswer = true;
        showNextNotice();
        return;
    }
    watch.reloaded = true;
    watch.lastReload = watcher_.now();
    if (reloadChangedSlot(state_, id) == ReloadOutcome::Unsettled) {
        watch.told.reset();
        watch.pending = true;
        watch.firstChange = watch.lastChange = watcher_.now();
    }
}

void FileChangeWatch::stepTaken() {
    for (const lists::SlotId id : lists::kAllSlots) {
        SlotWatch& watch = slots_[static_cast<std::size_t>(id)];
        // Undone back to what the list read: nothing unsaved is left to keep, so the list reads
        // the changed file as any list without changes does.
        if (watch.awaitingAnswer && !state_.slot(id).changed) {
            watch.awaitingAnswer = false;
            watch.told.reset();
            act(id);
        }
    }
    showNextNotice();
}

void FileChangeWatch::answer(lists::SlotId id, ChangeNotice::Answer choice) {
    slots_[static_cast<std::size_t>(id)].awaitingAnswer = false;
    if (choice == ChangeNotice::Answer::Reload) {
        reloadChangedSlot(state_, id);
    }
    showNextNotice();
}

// Shows the notice for the first slot that awaits an answer, or hides it when none does.
void FileChangeWatch::showNextNotice() {
    for (const lists::SlotId id : lists::kAllSlots) {
        if (slots_[static_cast<std::size_t>(id)].awaitingAnswer) {
            state_.changeNotice.show(
                id, QStringLiteral("%1 was changed on disk.").arg(shortFileName(state_.slot(id))));
            return;
        }
    }
    state_.changeNotice.hide();
}

}  // namespace trovix::app
