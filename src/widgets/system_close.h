#pragma once

class QWidget;

namespace trovix {
struct MainState;
}

namespace trovix::widgets {

// Closes the program as the user closes it when the system asks it to end: on SIGTERM, SIGHUP
// or SIGINT (app::closeWithoutAsking, whose notes go to the standard error), and when the
// session manager asks it to save its data at logout. A logout that lets the program ask runs
// the window's own close, questions and all, and a close the user refuses cancels the logout.
void closeWhenTheSystemAsks(QWidget& window, MainState& state);

}  // namespace trovix::widgets
