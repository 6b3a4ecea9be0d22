// The child of the recovery kill tests: holds a data file in slot A, keeps its unsaved changes as
// the program does, and edits its first record a number of times at random moments, saying each
// edit on its standard output. Then it waits to be killed. SIGTERM and SIGHUP end it as the
// system's close does, without a question and without AutoSave. DELAY_MS is the pause in typing
// after which the changes are written (the program's own when left out).
//
//   recovery_kill_child DATA_FILE RECOVERY_FOLDER EDITS [DELAY_MS]
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdio>

#include "app/event_handlers.h"
#include "app/shutdown.h"
#include "app/unsaved_edits.h"
#include "platform/fake/fake_services.h"
#include "platform/qt/termination_signals.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"

using namespace trovix;

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4 && arguments.size() != 5) {
        std::fputs("usage: recovery_kill_child DATA_FILE RECOVERY_FOLDER EDITS [DELAY_MS]\n",
                   stderr);
        return 2;
    }
    const int delayMs =
        arguments.size() == 5 ? arguments[4].toInt() : app::UnsavedEditsWatch::kDelayMs;
    platform::FakeServices fakes;
    MainState state{fakes.services()};
    app::connectEventHandlers(state);
    state.slot(lists::SlotId::A).fileName = arguments[1];
    records::loadFile(state.files(), lists::SlotId::A);
    state.listWithFocus = lists::SlotId::A;
    state.slot(lists::SlotId::A).list.setListIndex(0);
    app::UnsavedEditsWatch watch(state, arguments[2], delayMs);

    platform::TerminationSignals signals;
    QObject::connect(&signals, &platform::TerminationSignals::received, [&state] {
        app::closeWithoutAsking(state);
        QCoreApplication::exit(0);
    });

    const int edits = arguments[3].toInt();
    int done = 0;
    QTimer typing;
    typing.setSingleShot(true);
    QObject::connect(&typing, &QTimer::timeout, [&] {
        ++done;
        const QString text = QStringLiteral("edit %1").arg(done);
        state.editBox.setText(text);
        std::printf("%s\n", qPrintable(text));
        if (done == edits) {
            std::printf("done\n");
        } else {
            typing.start(QRandomGenerator::global()->bounded(delayMs / 50 + 1, delayMs / 2 + 2));
        }
        std::fflush(stdout);
    });
    typing.start(0);
    return QCoreApplication::exec();
}
