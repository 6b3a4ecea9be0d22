#include "records/slot_reload.h"

#include <optional>
#include <string>

#include "platform/memory_limits.h"
#include "platform/safe_file.h"
#include "state/main_state.h"
#include "store/data_file_io.h"

namespace trovix::records {
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

}  // namespace

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

}  // namespace trovix::records
