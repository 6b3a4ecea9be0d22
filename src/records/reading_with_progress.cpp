#include "records/reading_with_progress.h"

#include "platform/native.h"
#include "records/slot_procedures.h"
#include "state/defaults.h"

namespace trovix::records {

platform::Result<store::ReadFile, store::ReadFailure> readWithProgress(
    const lists::FileContext& files, const QString& fileName) {
    platform::LoadProgress& progress = *files.services.loading;
    progress.started(fileName);
    // Told however the reading ends, also when it throws.
    struct Ends {
        platform::LoadProgress& progress;
        ~Ends() { progress.ended(); }
    } ends{progress};
    return store::readDataFile(fileName, *files.services.memory,
                               store::ReadingProgress([&](qint64 done, qint64 total) {
                                   return progress.at(done, total);
                               }));
}

void leaveUnread(const lists::FileContext& files, lists::SlotId id) {
    lists::FileSlot& slot = files.slot(id);
    const QString usual = files.programFolder + platform::nativeFolderSeparator() +
                          QString::fromLatin1(kDefaultDataFiles[static_cast<int>(id)]);
    slot.rememberedInstead =
        !slot.readName.isEmpty() && slot.readName != slot.fileName ? slot.readName : usual;
    slot.records = store::missingFileContent().records;
    slot.format = store::FileFormat::native();
    slot.disk().unreadable = true;
    slot.changed = false;
    loadArray(slot, files.listing);
}

}  // namespace trovix::records
