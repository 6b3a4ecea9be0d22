#include "view/widgets/system_close.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QWidget>
#include <cstdio>

#include "app/shutdown.h"
#include "platform/qt/termination_signals.h"

namespace trovix::view {
namespace {

void closeAndEnd(MainState& state) {
    for (const QString& note : app::closeWithoutAsking(state)) {
        std::fprintf(stderr, "trovix7: %s\n", qPrintable(QString(note).replace(u'\n', u' ')));
    }
    std::fflush(stderr);
    QCoreApplication::exit(0);
}

}  // namespace

void closeWhenTheSystemAsks(QWidget& window, MainState& state) {
    auto* signals = new platform::TerminationSignals(&window);
    QObject::connect(signals, &platform::TerminationSignals::received, &window,
                     [&state](int) { closeAndEnd(state); });
#if QT_CONFIG(sessionmanager)
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&window, &state](QSessionManager& manager) {
                         if (!manager.allowsInteraction()) {
                             closeAndEnd(state);
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

}  // namespace trovix::view
