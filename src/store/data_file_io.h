#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "platform/memory_limits.h"
#include "platform/result.h"
#include "platform/safe_file.h"
#include "store/data_format.h"
#include "store/reading_progress.h"

class QIODevice;

// Reading data files from the disk and saving them to it.
namespace trovix::store {

// True for an existing regular file (links followed). Any error counts as missing.
bool fileExists(const QString& fileName);

// A data file as it was read.
struct ReadFile {
    DataFileContent content;
    // What stands at the name. Anything but a regular file reads as a missing file.
    platform::PathKind kind = platform::PathKind::Missing;
    // The file as it was read, to tell later whether another program changed it.
    platform::FileStamp stamp;
};

// A data file that exists but was not read.
struct ReadFailure {
    QString reason;
    platform::PathKind kind = platform::PathKind::Missing;
    platform::FileStamp stamp;
    // Not read because it is too large: its records would not fit the memory left (or the
    // file is over 1 GB). `reason` says how much it needs and what limits the memory.
    bool refused = false;
    // Not read because the user cancelled the reading.
    bool cancelled = false;
};

// Reads a data file whole; a missing file, or anything that is not a regular file, gives
// missingFileContent(). Before the records are stored their memory is worked out from the
// file's size and its number of records; a file that would not fit the room `limits` leave is
// refused, and so is one whose reading runs out of memory all the same. The reading tells
// `progress` of each piece it takes in; when that says stop, the failure is `cancelled`.
platform::Result<ReadFile, ReadFailure> readDataFile(
    const QString& fileName, const platform::MemoryLimits& limits = platform::systemMemoryLimits(),
    ReadingProgress progress = {});

// Reads everything a device delivers until its end, a piece at a time, each told to
// `progress`; fails when that says stop.
platform::Result<QByteArray> readWholeDevice(QIODevice& device,
                                             ReadingProgress* progress = nullptr);

// A data file as it was saved.
struct SavedFile {
    FileFormat format;          // the format the file now has
    platform::FileStamp stamp;  // the file as written
};

// Saves safely: the old file stays whole until the new content is completely on the disk.
platform::Result<SavedFile, platform::WriteFailure> saveDataFile(platform::Disk& disk,
                                                                 const QString& fileName,
                                                                 const RecordArray& records,
                                                                 const FileFormat& format);

}  // namespace trovix::store
