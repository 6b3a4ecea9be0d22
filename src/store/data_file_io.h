#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
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

// What a save replaces: the file as the caller read it, and who decides when it is found changed.
struct Replacing {
    platform::FileStamp stamp;
    // Asked when another program changed, replaced, made or removed the file since: the stamp of
    // the file there now, to replace that one instead, or nothing to leave it be.
    std::function<std::optional<platform::FileStamp>()> whenChanged;
};

// Saves safely: the old file stays whole until the new content is completely on the disk. With
// `replacing`, the new content takes the file's place only while the file is the one expected
// (platform::SafeFile::commit()); a file found changed is asked about and the content, already
// written, is put in place of the file agreed to, or the save stops with `changedMeanwhile`.
platform::Result<SavedFile, platform::WriteFailure> saveDataFile(
    platform::Disk& disk, const QString& fileName, const RecordArray& records,
    const FileFormat& format, const std::optional<Replacing>& replacing = std::nullopt);

}  // namespace trovix::store
