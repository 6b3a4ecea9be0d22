#include "app/home_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "state/defaults.h"

namespace trovix::app {

bool folderIsWritable(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".trovix-XXXXXX")));
    return probe.open();
}

HomeFolder chooseHomeFolder(const QString& programFolder, const QString& perUserFolder,
                            const QString& samplesFolder) {
    // An installed program has its samples beside it, in the data folder of its prefix, and
    // keeps the user's files in the user's own folder even where root may write to /usr/bin.
    const bool installed =
        QFileInfo(QDir(samplesFolder).filePath(QString::fromLatin1(kDefaultDataFiles[0]))).isFile();
    if ((!installed && folderIsWritable(programFolder)) || perUserFolder.isEmpty()) {
        return {programFolder, false};
    }
    QDir().mkpath(perUserFolder);
    for (const char* name : kDefaultDataFiles) {
        const QString target = QDir(perUserFolder).filePath(QString::fromLatin1(name));
        if (!QFile::exists(target)) {
            QFile::copy(QDir(samplesFolder).filePath(QString::fromLatin1(name)), target);
            // An installed sample is read only; the user's copy is theirs to change.
            QFile::setPermissions(
                target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    return {perUserFolder, true};
}

}  // namespace trovix::app
