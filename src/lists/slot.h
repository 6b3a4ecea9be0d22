#pragma once

#include <QString>
#include <array>
#include <map>
#include <optional>
#include <vector>

#include "lists/listing.h"
#include "lists/recent_finds.h"
#include "lists/result_list.h"
#include "platform/safe_file.h"
#include "platform/services.h"
#include "store/data_format.h"
#include "store/record_array.h"

namespace trovix::lists {

enum class SlotId { A = 0, B = 1, C = 2 };
inline constexpr SlotId kAllSlots[] = {SlotId::A, SlotId::B, SlotId::C};

// What a slot knows of the file at its name. Only reading and saving the file change it: an
// undo puts records back, never what is on the disk.
struct DiskState {
    // The file as it was last read or written, to notice another program's changes.
    platform::FileStamp stamp;
    // What stood at the name when it was last read (a folder, say), to tell the user what a
    // file made there since replaced.
    platform::PathKind foundKind = platform::PathKind::Missing;
    // The file as this slot's last save left it: another list of the window that holds the same
    // file tells its save from another program's change by it.
    platform::FileStamp savedStamp;
    // Set when the file exists but could not be read: saving over it would destroy it.
    bool unreadable = false;
    // The records the file held as last read or written: what a merge with another program's
    // change compares both sides with. Shares the loaded buffer with the slot's records. Kept
    // for the file the slot holds only: another file's would keep its whole buffer in memory.
    std::optional<store::RecordArray> records;
};

// A sync tool's conflict copy of a data file whose records a slot took in: it goes to the trash
// once they are saved, while it is still as it was then.
struct TakenCopy {
    QString path;
    platform::FileStamp stamp;
};

// What a slot holds of a file: its name, its records and how they are written. A file read
// again, another file chosen or a recovery takes its place whole, and undo puts it back.
struct SlotContent {
    QString fileName;
    store::RecordArray records;
    store::FileFormat format = store::FileFormat::native();
    // The name of the file the records were last read from; empty before the first read.
    QString readName;
    // The file the records are based on, when it is not the one last read or saved (recovered
    // records are based on the file as the run that was not closed properly read it): a save
    // asks when the file on the disk is not this one.
    std::optional<platform::FileStamp> basedOn;
    // The records of that file, when known (a merge took them from it): what a later merge
    // compares both sides with.
    std::optional<store::RecordArray> basedOnRecords;
    // The conflict copies these records took in.
    std::vector<TakenCopy> takenCopies;
};

// One data file in memory: its content, whether the records differ from the file, and the
// result list that shows them.
struct FileSlot : SlotContent {
    bool changed = false;
    // Set when the user cancelled reading the file: the name the settings keep in its place.
    QString rememberedInstead;
    // The search text whose matches the list shows, and whether it ignored case; empty while
    // the list shows every record. A reload from disk lists the same again.
    QString shownSearch;
    bool shownSearchIgnoresCase = true;
    // What the last searches found, while the records have not changed since.
    RecentFinds recentFinds;
    ResultList list{records};
    // What the slot knows of each file it held, by name. Reading and saving a file change it;
    // an undo that gives the slot another name back finds here what is known of that file.
    std::map<QString, DiskState> knownFiles;

    // What is known of the file at the slot's name.
    DiskState& disk() { return knownFiles[fileName]; }
    const DiskState& disk() const {
        static const DiskState nothingKnown;
        const auto known = knownFiles.find(fileName);
        return known == knownFiles.end() ? nothingKnown : known->second;
    }
    // The file a save must find at the name to replace it without asking.
    const platform::FileStamp& expectedFile() const { return basedOn ? *basedOn : disk().stamp; }
    // The slot's records are what its file holds, as just read or written with this stamp.
    void matchFile(const platform::FileStamp& stamp) {
        for (auto& [name, known] : knownFiles) {
            known.records.reset();
        }
        disk().stamp = stamp;
        disk().records = records;
        basedOn.reset();
        basedOnRecords.reset();
    }
    // The records of the expected file, or none when they are not known (recovered records, or
    // a file the slot held before another and got back by an undo).
    const store::RecordArray* expectedRecords() const {
        if (basedOn) {
            return basedOnRecords ? &*basedOnRecords : nullptr;
        }
        return disk().records ? &*disk().records : nullptr;
    }
};

// The window's three slots, in the order A, B, C.
using FileSlots = std::array<FileSlot, 3>;

// What reading and saving the slots' files take: the three slots (a save tells another list's
// save of the same file from another program's change), the outside world, how the lists show
// records, and the folder that holds the usual data files.
struct FileContext {
    FileSlots& slots;
    const platform::Services& services;
    ListingOptions listing;
    QString programFolder;

    FileSlot& slot(SlotId id) const { return slots[static_cast<std::size_t>(id)]; }
};

inline FileSlot& slotOf(FileSlots& slots, SlotId id) {
    return slots[static_cast<std::size_t>(id)];
}
inline const FileSlot& slotOf(const FileSlots& slots, SlotId id) {
    return slots[static_cast<std::size_t>(id)];
}

// The number the settings keep the list with focus by: 1, 2, 3 for the lists of slots A, B,
// C; 0, or any other number, for none.
inline int listNumber(std::optional<SlotId> id) {
    return id ? static_cast<int>(*id) + 1 : 0;
}
inline std::optional<SlotId> slotOfListNumber(int number) {
    if (number < 1 || number > 3) {
        return std::nullopt;
    }
    return static_cast<SlotId>(number - 1);
}

}  // namespace trovix::lists
