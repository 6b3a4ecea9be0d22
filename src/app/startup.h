#pragma once

#include <QString>

namespace trovix::app {

struct MainState;

// The program folder joined with a file name by the platform's folder separator.
QString defaultDataFile(const QString& programFolder, const QString& name);

// Brings the window's state up: default data files for slots without a name, then the three
// slots loaded and listed in the order A, B, C.
void startUp(MainState& state);

}  // namespace trovix::app
