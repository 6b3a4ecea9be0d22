#pragma once

#include <QString>

namespace trovix::app {
struct MainState;
}

namespace trovix::search {

// A path without its folders: the part after the last folder separator.
QString withoutFolder(const QString& fileName);

// Writes status bar panels 1 to 3: each file's name and its list's row count, "name  (n)".
void fillStatusBar(app::MainState& state);

}  // namespace trovix::search
