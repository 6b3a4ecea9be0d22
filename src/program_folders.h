#pragma once

#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>

#include "app/command_line.h"
#include "app/home_folder.h"
#include "state/build_info.h"

// What the program and its window library both decide at start-up, the same way.
namespace trovix::program {

inline void nameTheApplication() {
    // The names of the settings' and data folders, not words to translate.
    QCoreApplication::setOrganizationName(QStringLiteral("Trovix"));
    QCoreApplication::setApplicationName(QStringLiteral("Trovix"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(trovix::kVersionText));
}

inline QString samplesFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/" TROVIX_SAMPLES_FROM_PROGRAM);
}

// Decided without changing anything on disk.
inline app::HomeFolder findHomeFolder() {
    return app::chooseHomeFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/Trovix"),
        samplesFolder());
}

// The signature of the window library's entry: shows the window for the command line read and
// returns the exit code once it closes. `argc` must outlive the window.
using ShowWindow = int (*)(int* argc, char** argv, const app::CommandLine* commandLine);
inline constexpr char kShowWindowEntry[] = "trovixShowWindow";

}  // namespace trovix::program
