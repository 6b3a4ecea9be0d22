#include <QApplication>
#include <QDir>

#include "app/startup.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_font_dialog.h"
#include "platform/qt/qt_instance_guard.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/qt_shell.h"
#include "state/main_state.h"
#include "view/widgets/main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Trovix"));
    QCoreApplication::setApplicationName(QStringLiteral("Trovix"));
    QCoreApplication::setApplicationVersion(QStringLiteral("7.1.319"));

    trovix::MainState state;
    state.programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    // Relative data file names refer to the program's folder.
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    trovix::view::MainWindow window(state);

    trovix::platform::QtSettingsStore settings;
    trovix::platform::QtMessageBoxes messages(&window);
    trovix::platform::QtFileDialog files(&window);
    trovix::platform::QtFontDialog fonts(&window);
    trovix::platform::QtPrinter printer(&window);
    trovix::platform::QtClipboard clipboard;
    trovix::platform::QtShell shell;
    trovix::platform::QtScreen screen;
    trovix::platform::QtInstanceGuard instance;
    state.services = {&settings,  &messages, &files,  &fonts,   &printer,
                      &clipboard, &shell,    &screen, &instance};

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();  // the program's own name
    trovix::app::startUp(state, {arguments, QCoreApplication::applicationFilePath()});
    window.show();
    return QApplication::exec();
}
