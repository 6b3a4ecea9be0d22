#pragma once

namespace trovix::app {
struct MainState;
}

namespace trovix::view {

// "Display File Names" ticked or unticked: adds or removes the file-name header row on top of
// all three lists, shown or hidden alike. An empty list has no header row to remove.
void toggleDisplayFileNames(app::MainState& state);

}  // namespace trovix::view
