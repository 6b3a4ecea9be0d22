#include "records/slot_procedures.h"

#include "state/main_state.h"
#include "store/listing.h"

namespace trovix::records {
namespace {

void tellUser(MainState& state, const QString& text) {
    if (state.services.messages != nullptr) {
        state.services.messages->show(text, QString(), platform::MessageButtons::Ok,
                                      platform::MessageIcon::Warning);
    }
}

}  // namespace

void loadFile(MainState& state, store::SlotId id) {
    store::FileSlot& slot = state.slot(id);
    store::ReadResult read = store::readDataFile(slot.fileName);
    if (!read.content) {
        slot.unreadable = true;
        tellUser(state, QStringLiteral("The data file \"%1\" could not be read:\n%2\n\n"
                                       "Its records are not shown, and it will not be saved "
                                       "over until it has been read.")
                            .arg(slot.fileName, read.error));
        return;
    }
    slot.unreadable = false;
    slot.records = std::move(read.content->records);
    slot.format = read.content->format;
    loadArray(state, id);
}

void loadArray(MainState& state, store::SlotId id) {
    store::FileSlot& slot = state.slot(id);
    store::listAllRecords(slot.list, slot.records, slot.fileName, state.listingOptions());
}

bool saveFile(MainState& state, store::SlotId id) {
    store::FileSlot& slot = state.slot(id);
    if (slot.unreadable) {
        tellUser(state, QStringLiteral("The data file \"%1\" was not saved: it could not be "
                                       "read, so saving would overwrite its records.")
                            .arg(slot.fileName));
        return false;
    }
    const store::SaveResult saved = store::saveDataFile(slot.fileName, slot.records, slot.format);
    if (!saved.ok) {
        tellUser(state, QStringLiteral("The data file \"%1\" could not be saved:\n%2\n\n"
                                       "The file is unchanged and your changes are kept.")
                            .arg(slot.fileName, saved.error));
        return false;
    }
    slot.format = saved.format;
    return true;
}

void expandListData(MainState& state) {
    for (store::SlotId id : store::kAllSlots) {
        store::FileSlot& slot = state.slot(id);
        store::expandList(slot.list, slot.records, slot.fileName, state.displayFileNames());
    }
}

void contractListData(MainState& state) {
    for (store::SlotId id : store::kAllSlots) {
        store::FileSlot& slot = state.slot(id);
        store::contractList(slot.list, slot.records, slot.fileName, state.displayFileNames());
    }
}

}  // namespace trovix::records
