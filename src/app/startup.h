#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/save_journal.h"

namespace trovix {
struct MainState;
}

namespace trovix::app {

// The program folder joined with a file name by the platform's folder separator.
QString defaultDataFile(const QString& programFolder, const QString& name);

// What the program is started with.
struct StartupArguments {
    // The command line after the program's name, each argument read from its bytes with
    // platform::fileNameFromBytes() so that a name that is not valid text can be refused.
    QStringList arguments;
    QString runningProgram;  // the path of the program file
    // The saves cut short before this start, undone before any file was read.
    QList<platform::InterruptedSave> interruptedSaves = {};
};

// Brings the window's state up, as the window loads: the user is told of the saves that were
// cut short, then the command line ("clear", or three data file names), the settings, tool tips
// and fonts, the three slots loaded and listed, the unsaved changes of a run that did not close
// properly offered back, the search history, the update program's files, and the first layout.
void startUp(MainState& state, const StartupArguments& arguments = {});

}  // namespace trovix::app
