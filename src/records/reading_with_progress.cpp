#include "records/reading_with_progress.h"

#include "platform/native.h"
#include "records/slot_procedures.h"
#include "state/defaults.h"
#include "state/main_state.h"

namespace trovix::records {

platform::Result<store::ReadFile, store::ReadFailure> readWithProgress(const MainState& state,
                                                                       const QString& fileName) {
    platform::LoadProgress& progress = *state.services.loading;
    progress.started(fileName);
    // Told however the reading ends, also when it throws.
    struct Ends {
        platform::LoadProgress& progress;
        ~Ends() { progress.ended(); }
    } ends{progress};
    return store::readDataFile(fileName, *state.services.memory,
                               store::ReadingProgress([&](qint64 done, qint64 total) {
                                   return progress.at(done, total);
                               }));
}

void leaveUnread(MainState& state, lists::SlotId id) {
    lists::FileSlot& slot = state.slot(id);
    const QString usual = state.programFolder + platform::nativeFolderSeparator() +
                          QString::fromLatin1(kDefaultDataFiles[static_cast<int>(id)]);
    slot.rememberedInstead =
        !slot.readName.isEmpty() && slot.readName != slot.fileName ? slot.readName : usual;
    slot.records = store::missingFileContent().records;
    slot.format = store::FileFormat::native();
    slot.disk().unreadable = true;
    slot.changed = false;
    loadArray(slot, state.listingOptions());
}

}  // namespace trovix::records
