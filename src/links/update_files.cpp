#include "links/update_files.h"

#include <QDir>
#include <QFileInfo>

#include "platform/safe_file.h"

namespace trovix::links {
namespace {

QString programFileName() {
#ifdef Q_OS_WIN
    return QStringLiteral("trovix7.exe");
#else
    return QStringLiteral("trovix7");
#endif
}

void refresh(platform::Disk& disk, const QString& path, const QByteArray& expected) {
    if (const platform::Result<QByteArray> held = platform::readWholeFile(path);
        held && *held == expected) {
        return;
    }
    // A failure leaves the old file whole; the update program is not this one's business.
    [[maybe_unused]] const auto written =
        platform::writeFileSafely(disk, path, platform::bytesContent(expected));
}

}  // namespace

QByteArray versionLine(qint64 programSize) {
    return QByteArray::number(kVersionMajor) + '.' + QByteArray::number(kVersionMinor) + '.' +
           QByteArray::number(kVersionRevision) + '.' + QByteArray::number(programSize);
}

void refreshUpdateFiles(platform::Disk& disk, const QString& programFolder,
                        const QString& runningProgram) {
    const QDir folder(programFolder);
    const QFileInfo inFolder(folder.filePath(programFileName()));
    const qint64 size = inFolder.isFile() ? inFolder.size() : QFileInfo(runningProgram).size();
    const QByteArray version = versionLine(size);
    refresh(disk, folder.filePath(QStringLiteral("Patchlet.dat")),
            "Trovix7\r\ntrovix7\r\n" + version + "\r\n");
    refresh(disk, folder.filePath(QStringLiteral("trovix7.ver")), version);
}

}  // namespace trovix::links
