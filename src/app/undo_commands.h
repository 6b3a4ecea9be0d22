#pragma once

namespace trovix {
struct MainState;
}

namespace trovix::app {

// Takes back the newest step of the records' history, or does the last one taken back again,
// and shows its outcome: the affected lists listed again (a search shown is run again), the
// restored record selected and in the edit box, the status bar brought up to date.
void undoCommand(MainState& state);
void redoCommand(MainState& state);

}  // namespace trovix::app
