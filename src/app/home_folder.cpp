#include "app/home_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include "state/defaults.h"

namespace trovix::app {

bool folderIsWritable(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".trovix-XXXXXX")));
    return probe.open();
}

HomeFolder chooseHomeFolder(const QString& programFolder, const QString& perUserFolder,
                            const QString& samplesFolder) {
    if (folderIsWritable(programFolder) || perUserFolder.isEmpty()) {
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
