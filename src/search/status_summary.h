#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::search {

// Writes status bar panels 1 to 3: each file's name and its list's row count, "name  (n)".
void fillStatusBar(MainState& state);

}  // namespace trovix::search
