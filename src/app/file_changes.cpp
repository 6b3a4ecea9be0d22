#include "app/file_changes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "app/file_merge.h"
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

// The first record row that shows record `index`; -1 for none.
int rowOfIndex(const lists::FileSlot& slot, qint32 index) {
    for (int row = 0; row < slot.list.count(); ++row) {
        if (!slot.list.isNoMatchRow(row) && !slot.list.isHeaderRow(row) &&
            slot.list.itemData(row) == index) {
            return row;
        }
    }
    return -1;
}

}  // namespace

std::optional<store::ReadFile> readSettledFile(MainState& state, const QString& fileName,
                                               ReloadOutcome& why) {
    const QString target = platform::fileBehindLinks(fileName);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        platform::Result<store::ReadFile, store::ReadFailure> candidate =
            store::readDataFile(fileName, *state.services.memory);
        if (!candidate || !candidate->stamp.exists) {
            why = ReloadOutcome::NotRead;
            return std::nullopt;
        }
        // The stamp of the open file from before the read against the name's after it: a write
        // or a rename in between means the bytes may be half old, half new.
        if (candidate->stamp == platform::fileStamp(target)) {
            return std::move(*candidate);
        }
    }
    why = ReloadOutcome::Unsettled;
    return std::nullopt;
}

void replaceSlotRecords(MainState& state, lists::SlotId id, const QString& stepName,
                        const std::function<void(lists::FileSlot&)>& update,
                        std::optional<qint32> show) {
    lists::FileSlot& slot = state.slot(id);
    std::array<std::optional<undo::SlotContent>, 3> before;
    before[static_cast<std::size_t>(id)] = slot;
    const std::optional<std::string> selected = selectedRecord(slot);
    const bool hadSelection = slot.list.listIndex() >= 0;
    update(slot);
    state.edits.recordContents(stepName, std::move(before), state.fileSlots);
    if (!slot.changed) {
        state.edits.markSaved(id);  // the slot holds what its file holds
    }
    {
        const BusySection busy(state);
        if (slot.shownSearch.isEmpty()) {
            lists::listAllRecords(slot.list, slot.records, slot.fileName, state.listingOptions());
        } else {
            listMatchesAgain(state, id);
        }
        slot.list.setListIndex(-1);
    }
    int row = show ? rowOfIndex(slot, *show) : -1;
    if (row < 0 && selected) {
        row = rowOfRecord(slot, *selected);
    }
    if (row >= 0) {
        slot.list.setListIndex(row);  // the click handling shows the record again
    } else if (hadSelection) {
        const BusySection busy(state);
        state.editBox.setText(QString());
    }
    search::fillStatusBar(state.statusBar, state.fileSlots);
}

QString shortFileName(const lists::FileSlot& slot) {
    return QFileInfo(slot.fileName).fileName();
}

ReloadOutcome reloadChangedSlot(MainState& state, lists::SlotId id) {
    lists::FileSlot& slot = state.slot(id);
    ReloadOutcome outcome = ReloadOutcome::Reloaded;
    std::optional<store::ReadFile> read = readSettledFile(state, slot.fileName, outcome);
    if (read) {
        // The slot's unsaved changes, if any, are dropped: it holds what the file holds.
        replaceSlotRecords(state, id, undo::nameWithFile(undo::FileStep::Reload, slot.fileName),
                           [&read](lists::FileSlot& reloaded) {
                               reloaded.records = std::move(read->content.records);
                               reloaded.format = read->content.format;
                               reloaded.matchFile(read->stamp);
                               reloaded.disk().foundKind = read->kind;
                               reloaded.readName = reloaded.fileName;
                               reloaded.disk().unreadable = false;
                               reloaded.changed = false;
                           });
        state.statusBar.showMessage(
            QCoreApplication::translate("FileChanges",
                                        "%1 was changed on disk and has been read again")
                .arg(shortFileName(slot)));
    } else if (outcome == ReloadOutcome::NotRead) {
        state.statusBar.showMessage(
            QCoreApplication::translate("FileChanges",
                                        "%1 could not be read again; list %2 keeps its records")
                .arg(shortFileName(slot), QString::number(static_cast<int>(id) + 1)));
    }
    return outcome;
}

FileChangeWatch::FileChangeWatch(MainState& state, platform::FileWatcher& watcher)
    : state_(state), watcher_(watcher) {
    watcher_.setChangeHandler([this](const QString& file) { changed(file); });
    ChangeNotice* notice = &state_.changeNotice;
    QObject::connect(notice, &ChangeNotice::answered, &lifetime_,
                     [this](lists::SlotId id, ChangeNotice::Kind kind,
                            ChangeNotice::Answer choice) { answer(id, kind, choice); });
    QObject::connect(notice, &ChangeNotice::fileNamesChanged, &lifetime_,
                     [this] { watchSlotFiles(); });
    QObject::connect(notice, &ChangeNotice::stepTaken, &lifetime_, [this] { stepTaken(); });
    readIgnoredCopies();
    watchSlotFiles();
}

namespace {

// The settings keep the ignored conflict copies, newest last, as "IgnoredCopy1" to
// "IgnoredCopy20" of section "ConflictCopies": "<size> <modified> <device> <inode> <path>".
const QString kCopiesSection = QStringLiteral("ConflictCopies");  // not shown
constexpr int kMostIgnoredCopies = 20;

QString ignoredCopyKey(int n) {
    return QStringLiteral("IgnoredCopy%1").arg(n);
}

}  // namespace

void FileChangeWatch::readIgnoredCopies() {
    for (int n = 1; n <= kMostIgnoredCopies; ++n) {
        const std::optional<QString> value =
            state_.services.settings->value(kCopiesSection, ignoredCopyKey(n));
        const QStringList parts = value ? value->split(u' ') : QStringList();
        if (parts.size() < 5) {
            break;
        }
        IgnoredCopy copy{parts.mid(4).join(u' '), {}};
        copy.stamp.exists = true;
        copy.stamp.size = parts[0].toLongLong();
        copy.stamp.modified = parts[1].toLongLong();
        copy.stamp.device = parts[2].toULongLong();
        copy.stamp.inode = parts[3].toULongLong();
        ignored_.push_back(copy);
    }
}

void FileChangeWatch::storeIgnoredCopies() {
    // Copies gone from the disk need no remembering; of the rest, the newest are kept.
    std::erase_if(ignored_, [](const IgnoredCopy& copy) { return !QFileInfo::exists(copy.path); });
    if (ignored_.size() > static_cast<std::size_t>(kMostIgnoredCopies)) {
        ignored_.erase(ignored_.begin(), ignored_.end() - kMostIgnoredCopies);
    }
    state_.services.settings->removeSection(kCopiesSection);
    int n = 0;
    for (const IgnoredCopy& copy : ignored_) {
        state_.services.settings->setValue(kCopiesSection, ignoredCopyKey(++n),
                                           QStringLiteral("%1 %2 %3 %4 %5")  // not shown
                                               .arg(copy.stamp.size)
                                               .arg(copy.stamp.modified)
                                               .arg(copy.stamp.device)
                                               .arg(copy.stamp.inode)
                                               .arg(copy.path));
    }
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
    for (const lists::SlotId id : lists::kAllSlots) {
        lookForConflictCopies(id);
    }
}

// Offers the first conflict copy beside the slot's file that the user has neither taken in (and
// not yet saved) nor ignored as it is.
void FileChangeWatch::lookForConflictCopies(lists::SlotId id) {
    SlotWatch& watch = slots_[static_cast<std::size_t>(id)];
    const lists::FileSlot& slot = state_.slot(id);
    watch.copy.clear();
    watch.takenCopies = slot.takenCopies.size();
    const bool heldBefore = std::any_of(
        lists::kAllSlots, lists::kAllSlots + static_cast<int>(id),
        [&](lists::SlotId other) { return state_.slot(other).fileName == slot.fileName; });
    if (slot.fileName.isEmpty() || heldBefore) {
        return;  // the first list that holds a file is offered its copies
    }
    for (const QString& copy : conflictCopiesOf(slot.fileName)) {
        const platform::FileStamp stamp = platform::fileStamp(copy);
        const auto same = [&](const auto& known) {
            return known.path == copy && known.stamp.sameFileAs(stamp);
        };
        if (std::none_of(slot.takenCopies.begin(), slot.takenCopies.end(), same) &&
            std::none_of(ignored_.begin(), ignored_.end(), same)) {
            watch.copy = copy;
            break;
        }
    }
    showNextNotice();
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
    if (state_.busy) {  // the program is changing the lists itself: come back shortly
        watch.pending = true;
        watch.lastChange = watcher_.now();
        return;
    }
    lookForConflictCopies(id);
    if (!state_.options.isChecked(Option::ReloadChangedFiles)) {
        return;
    }
    lists::FileSlot& slot = state_.slot(id);
    const platform::FileStamp now = platform::fileStamp(platform::fileBehindLinks(slot.fileName));
    if (now == slot.disk().stamp || now == slot.expectedFile()) {
        // What the slot read, saved or merged last, the program's own save included. A notice
        // about an earlier change was answered by that save or merge.
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
            QCoreApplication::translate("FileChanges",
                                        "%1 was deleted or renamed on disk; list %2 keeps its "
                                        "records")
                .arg(shortFileName(slot), QString::number(static_cast<int>(id) + 1)));
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
        // A conflict copy whose taking in was undone or redone is offered again, or no longer:
        // the folder is looked at again only then, not at every step.
        if (state_.slot(id).takenCopies.size() != watch.takenCopies) {
            lookForConflictCopies(id);
        }
    }
    showNextNotice();
}

void FileChangeWatch::answer(lists::SlotId id, ChangeNotice::Kind kind,
                             ChangeNotice::Answer choice) {
    SlotWatch& watch = slots_[static_cast<std::size_t>(id)];
    if (kind == ChangeNotice::Kind::ConflictCopy) {
        const QString copy = std::exchange(watch.copy, QString());
        if (choice == ChangeNotice::Answer::Merge) {
            takeInConflictCopy(state_, id, copy);
        } else if (choice == ChangeNotice::Answer::Ignore) {
            ignored_.push_back({copy, platform::fileStamp(copy)});
            storeIgnoredCopies();
        }
        lookForConflictCopies(id);  // the next copy, if any
        return;
    }
    watch.awaitingAnswer = false;
    if (choice == ChangeNotice::Answer::Merge) {
        mergeChangedSlot(state_, id);
    } else if (choice == ChangeNotice::Answer::Reload) {
        reloadChangedSlot(state_, id);
    }
    showNextNotice();
}

// Shows the notice for the first slot whose changed file awaits an answer, or else for the first
// conflict copy offered, or hides it when there is none.
void FileChangeWatch::showNextNotice() {
    for (const lists::SlotId id : lists::kAllSlots) {
        if (slots_[static_cast<std::size_t>(id)].awaitingAnswer) {
            state_.changeNotice.show(
                id, QCoreApplication::translate("FileChanges", "%1 was changed on disk.")
                        .arg(shortFileName(state_.slot(id))));
            return;
        }
    }
    for (const lists::SlotId id : lists::kAllSlots) {
        if (!slots_[static_cast<std::size_t>(id)].copy.isEmpty()) {
            state_.changeNotice.show(
                id,
                QCoreApplication::translate("FileChanges", "A conflict copy of %1 was found")
                    .arg(shortFileName(state_.slot(id))),
                ChangeNotice::Kind::ConflictCopy);
            return;
        }
    }
    state_.changeNotice.hide();
}

}  // namespace trovix::app
