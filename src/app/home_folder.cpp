#include "app/home_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "platform/safe_file.h"
#include "state/defaults.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace trovix::app {

bool folderIsWritable(const QString& folder) {
#ifdef Q_OS_UNIX
    // Asked of the system rather than tried, so that nothing on disk changes.
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
#else
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".trovix-XXXXXX")));
    return probe.open();
#endif
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
    return {perUserFolder, true};
}

void prepareHomeFolder(const HomeFolder& home, const QString& samplesFolder) {
    if (!home.perUser) {
        return;
    }
    QDir().mkpath(home.path);
    for (const char* name : kDefaultDataFiles) {
        const QString sample = QDir(samplesFolder).filePath(QString::fromLatin1(name));
        const QString target = QDir(home.path).filePath(QString::fromLatin1(name));
        // Only a regular file is copied: reading a named pipe would wait for a writer.
        if (platform::pathKind(target) != platform::PathKind::Missing ||
            platform::pathKind(sample) != platform::PathKind::RegularFile) {
            continue;
        }
        QFile::copy(sample, target);
        // An installed sample is read only; the user's copy is theirs to change.
        QFile::setPermissions(
            target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

}  // namespace trovix::app
