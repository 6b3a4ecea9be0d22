#include "app/file_changes.h"

#include <QFileInfo>
#include <algorithm>

#include "lists/listing.h"
#include "search/search_engine.h"
#include "search/status_summary.h"
#include "state/main_state.h"

namespace trovix::app {

QString shortFileName(const lists::FileSlot& slot) {
    return QFileInfo(slot.fileName).fileName();
}

records::ReloadOutcome reloadChangedSlot(MainState& state, lists::SlotId id) {
    lists::FileSlot& slot = state.slot(id);
    const records::ReloadOutcome outcome = records::reloadSlot(state, id, [&state, &slot, id] {
        if (slot.shownSearch.isEmpty()) {
            lists::listAllRecords(slot.list, slot.records, slot.fileName, state.listingOptions());
        } else {
            search::listMatchesAgain(state, id);
        }
    });
    if (outcome == records::ReloadOutcome::Reloaded) {
        search::fillStatusBar(state.statusBar, state.fileSlots);
        state.statusBar.showMessage(QStringLiteral("%1 was changed on disk and has been read again")
                                        .arg(shortFileName(slot)));
    } else if (outcome == records::ReloadOutcome::NotRead) {
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
    state_.changeNotice.setAnswerHandler(
        [this](lists::SlotId id, ChangeNotice::Answer choice) { answer(id, choice); });
    state_.changeNotice.setFileNamesHandler([this] { watchSlotFiles(); });
    state_.changeNotice.setStepHandler([this] { stepTaken(); });
    watchSlotFiles();
}

FileChangeWatch::~FileChangeWatch() {
    watcher_.setChangeHandler({});
    watcher_.callAfter(0, {});
    state_.changeNotice.setAnswerHandler({});
    state_.changeNotice.setFileNamesHandler({});
    state_.changeNotice.setStepHandler({});
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
    if (reloadChangedSlot(state_, id) == records::ReloadOutcome::Unsettled) {
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
