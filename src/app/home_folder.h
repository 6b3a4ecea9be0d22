#pragma once

#include <QString>

namespace trovix::app {

// The folder that holds the program's files: relative data file names, the default data files
// with their backups, the update program and its files, and where the file dialog opens.
struct HomeFolder {
    QString path;
    bool perUser = false;  // the program's own folder is read only
};

// The program's own folder when the program may write there, as it may where it was built or
// unpacked. An installed program (its sample data files stand in `samplesFolder`, the data
// folder of its prefix) or a read-only program folder: the per-user data folder. Decided once,
// at start-up, without changing anything on disk.
HomeFolder chooseHomeFolder(const QString& programFolder, const QString& perUserFolder,
                            const QString& samplesFolder);

// Makes a per-user folder if it is missing, and copies the sample data files there that it
// lacks (a file already there is never overwritten).
void prepareHomeFolder(const HomeFolder& home, const QString& samplesFolder);

// Whether a file can be made in the folder.
bool folderIsWritable(const QString& folder);

}  // namespace trovix::app
