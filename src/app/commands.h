#pragma once

#include <QString>

namespace trovix::app {

struct MainState;

// A click on the toolbar button with this key; keys without a command do nothing. A two-state
// button has already changed its pressed state when this runs.
void toolbarButtonClick(MainState& state, const QString& key);

// Full data view switched on or off with the "data" button.
void switchFullDataView(MainState& state);

}  // namespace trovix::app
