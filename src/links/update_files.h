#pragma once

#include <QByteArray>
#include <QString>

#include "state/build_info.h"

namespace trovix::platform {
class Disk;
}

namespace trovix::links {

// The version line the update program reads: "7.1.319." followed by the program file's size.
QByteArray versionLine(qint64 programSize);

// Rewrites "Patchlet.dat" and "trovix7.ver" in the program folder when their content is out of
// date. The size is that of "trovix7" in the folder, or of the running program file when the
// folder holds none. A folder that cannot be written is skipped: the files only serve the
// update program and never stop this one.
void refreshUpdateFiles(platform::Disk& disk, const QString& programFolder,
                        const QString& runningProgram);

}  // namespace trovix::links
