#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "platform/result.h"
#include "platform/safe_file.h"
#include "store/data_format.h"
#include "store/record_array.h"

// Recovery files: the unsaved records of a slot, kept in the per-user state folder while the
// program runs, so that the next start can offer them back after a crash, a kill or a power
// cut. A recovery file never takes the place of a data file: the user chooses.
namespace trovix::store {

// What a recovery file says about the records it holds.
struct RecoveryHeader {
    QString dataFile;            // the data file's absolute path
    int slot = 0;                // 0, 1, 2 for the slots A, B, C
    qint64 changedAt = 0;        // the last change kept, in milliseconds since 1970 (UTC)
    platform::FileStamp loaded;  // the data file as the slot last read or saved it
    FileFormat format;           // the data file's format, for the save
};

struct RecoveredEdits {
    RecoveryHeader header;
    RecordArray records;
};

// The folder recovery files are kept in: "recovery" in the per-user state folder.
QString recoveryFolder();

// A recovery file's bytes: a header of short lines, then the records, each with its size in bytes,
// with the content's size and a hash of all that goes before it and of the content, so that a
// file cut short or damaged anywhere is never taken.
QByteArray recoveryFileBytes(const RecoveryHeader& header, const RecordArray& records);
// Reads a whole recovery file; the error says why it cannot be used.
platform::Result<RecoveredEdits> readRecoveryFile(const QString& path);

// A recovery file that no running copy of the program holds.
struct FoundRecovery {
    QString path;
    // The header, or why the file cannot be read.
    platform::Result<RecoveryHeader> header;
};
// The recovery files in `folder` that a program that ended without closing left behind, oldest
// change first. Those a running copy of the program keeps locked are left out, and so are those
// of another user.
QList<FoundRecovery> findRecoveryFiles(const QString& folder);

// Removes the unfinished writes of recovery files that a program left in `folder` when it
// stopped in the middle of one; a write a running copy still makes is left alone.
void removeUnfinishedWrites(const QString& folder);

}  // namespace trovix::store
