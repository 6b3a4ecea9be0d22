#include "widgets/splitter_bar.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScreen>

#include "app/event_handlers.h"
#include "state/main_state.h"
#include "view/splitter.h"

namespace trovix::widgets {
namespace {

// The mask of pressed buttons the bar's handler expects: 1 left, 2 right, 4 middle.
int buttonMask(Qt::MouseButtons buttons) {
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) |
           (buttons.testFlag(Qt::RightButton) ? 2 : 0) |
           (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

constexpr double kKeyStepTwips = 120;

}  // namespace

SplitterBar::SplitterBar(MainState& state, QWidget* parent) : QFrame(parent), state_(state) {
    setCursor(Qt::SizeVerCursor);  // the north-south sizing arrow, whatever the buttons
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QCoreApplication::translate("SplitterBar",
                                                  "Splitter between the results and the edit box"));
    setToolTip(
        QCoreApplication::translate("SplitterBar",
                                    "Drag, or use the arrow keys, to share the room between the "
                                    "results and the edit box"));
}

double SplitterBar::twipsPerPixel() const {
    return state_.services.screen->twipsPerPixel();
}

void SplitterBar::showPlace() {
    setAccessibleDescription(
        QCoreApplication::translate("SplitterBar", "%1 twips above the window's bottom edge")
            .arg(QLocale().toString(state_.gap)));
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    app::splitterMoved(state_, buttonMask(event->buttons()),
                       event->position().y() * twipsPerPixel());
    showPlace();
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    QFrame::mouseReleaseEvent(event);
    setCursor(Qt::SizeVerCursor);
}

void SplitterBar::keyPressEvent(QKeyEvent* event) {
    double step = 0;
    switch (event->key()) {
        case Qt::Key_Up:
            step = -kKeyStepTwips;
            break;
        case Qt::Key_Down:
            step = kKeyStepTwips;
            break;
        case Qt::Key_PageUp:
            step = -5 * kKeyStepTwips;
            break;
        case Qt::Key_PageDown:
            step = 5 * kKeyStepTwips;
            break;
        default:
            QFrame::keyPressEvent(event);
            return;
    }
    app::splitterMoved(state_, view::kLeftButton, step);
    showPlace();
}

}  // namespace trovix::widgets
