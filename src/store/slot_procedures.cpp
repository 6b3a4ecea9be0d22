#include "store/slot_procedures.h"

#include "app/main_state.h"
#include "store/listing.h"

namespace trovix::store {
namespace {

void tellUser(app::MainState& state, const QString& text) {
    if (state.services.messages != nullptr) {
        state.services.messages->show(text, QString(), platform::MessageButtons::Ok,
                                      platform::MessageIcon::Warning);
    }
}

}  // namespace

void loadFile(app::MainState& state, SlotId id) {
    FileSlot& slot = state.slot(id);
    ReadResult read = readDataFile(slot.fileName);
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

void loadArray(app::MainState& state, SlotId id) {
    FileSlot& slot = state.slot(id);
    listAllRecords(slot.list, slot.records, slot.fileName, state.listingOptions());
}

bool saveFile(app::MainState& state, SlotId id) {
    FileSlot& slot = state.slot(id);
    if (slot.unreadable) {
        tellUser(state, QStringLiteral("The data file \"%1\" was not saved: it could not be "
                                       "read, so saving would overwrite its records.")
                            .arg(slot.fileName));
        return false;
    }
    const SaveResult saved = saveDataFile(slot.fileName, slot.records, slot.format);
    if (!saved.ok) {
        tellUser(state, QStringLiteral("The data file \"%1\" could not be saved:\n%2\n\n"
                                       "The file is unchanged and your changes are kept.")
                            .arg(slot.fileName, saved.error));
        return false;
    }
    slot.format = saved.format;
    return true;
}

void expandListData(app::MainState& state) {
    for (SlotId id : kAllSlots) {
        FileSlot& slot = state.slot(id);
        expandList(slot.list, slot.records, slot.fileName, state.displayFileNames());
    }
}

void contractListData(app::MainState& state) {
    for (SlotId id : kAllSlots) {
        FileSlot& slot = state.slot(id);
        contractList(slot.list, slot.records, slot.fileName, state.displayFileNames());
    }
}

}  // namespace trovix::store
