#include "widgets/system_close.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/shutdown.h"
#include "platform/qt/termination_signals.h"

namespace trovix::widgets {
namespace {

void endTheProgram() {
    QCoreApplication::exit(0);
}

// Runs the close without questions and ends the program. Before the window is first shown (a
// message box of start-up is open) the program's own event loop has not begun, and the exit
// only closes the box: the program then ends as soon as its loop runs.
class SystemClose : public QObject {
  public:
    SystemClose(QWidget& window, MainState& state) : QObject(&window), state_(state) {
        window.installEventFilter(this);
    }

    void closeAndEnd() {
        for (const QString& note : app::closeWithoutAsking(state_)) {
            std::fprintf(stderr, "trovix7: %s\n", qPrintable(QString(note).replace(u'\n', u' ')));
        }
        std::fflush(stderr);
        ended_ = true;
        endTheProgram();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (ended_ && event->type() == QEvent::Show) {
            QTimer::singleShot(0, qApp, &endTheProgram);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    MainState& state_;
    bool ended_ = false;
};

}  // namespace

void closeWhenTheSystemAsks(QWidget& window, MainState& state) {
    auto* close = new SystemClose(window, state);
    auto* signals = new platform::TerminationSignals(close);
    QObject::connect(signals, &platform::TerminationSignals::received, close,
                     [close](int) { close->closeAndEnd(); });
#if QT_CONFIG(sessionmanager)
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, close,
                     [&window, close](QSessionManager& manager) {
                         if (!manager.allowsInteraction()) {
                             close->closeAndEnd();
                             return;
                         }
                         const bool closed = window.close();
                         manager.release();
                         if (!closed) {
                             manager.cancel();
                         }
                     });
#endif
}

}  // namespace trovix::widgets
