#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include "app/home_folder.h"
#include "app/startup.h"
#include "platform/file_names.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_font_dialog.h"
#include "platform/qt/qt_instance_guard.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/qt_shell.h"
#include "platform/save_journal.h"
#include "state/build_info.h"
#include "state/main_state.h"
#include "view/widgets/main_window.h"
#include "view/widgets/system_close.h"

namespace {

// Answers --help and --version as every program does, and exits then. Anything else on the
// command line is left to start-up: "clear", or three data file names.
void answerHelpAndVersion(const trovix::app::HomeFolder& home) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Trovix finds and keeps free-form text records in three data files.\n\n"
                       "Data files, their .old backups and the update program's files are "
                       "kept in\n  %1\n%2")
            .arg(QDir::toNativeSeparators(home.path),
                 home.perUser
                     ? QStringLiteral("(the per-user data folder: the program is installed, "
                                      "or its own folder is read only).")
                     : QStringLiteral("(the program's own folder).")));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("clear"),
                                 QStringLiteral("Start with the default settings."),
                                 QStringLiteral("[clear]"));
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QStringLiteral("Three data file names, relative to the folder above, to open and "
                       "remember."),
        QStringLiteral("[one.txt two.txt three.txt]"));
    if (!parser.parse(QCoreApplication::arguments())) {
        return;  // not an option of ours: start-up decides
    }
    if (parser.isSet(help)) {
        parser.showHelp(0);
    }
    if (parser.isSet(version)) {
        parser.showVersion();
    }
}

void nameTheApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Trovix"));
    QCoreApplication::setApplicationName(QStringLiteral("Trovix"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(trovix::kVersionText));
}

trovix::app::HomeFolder findHomeFolder() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return trovix::app::chooseHomeFolder(
        programFolder,
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/Trovix"),
        programFolder + QStringLiteral("/" TROVIX_SAMPLES_FROM_PROGRAM));
}

bool asksForHelpOrVersion(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "--version" || arg == "-v") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Help and the version need no window, nor a display to show one on.
    if (asksForHelpOrVersion(argc, argv)) {
        QCoreApplication application(argc, argv);
        nameTheApplication();
        answerHelpAndVersion(findHomeFolder());
    }
    QApplication application(argc, argv);
    nameTheApplication();
    // The launcher's icon from the desktop's theme; the window manager matches the launcher by
    // this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("trovix"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("trovix")));
    const trovix::app::HomeFolder home = findHomeFolder();

    trovix::MainState state;
    state.programFolder = QDir::toNativeSeparators(home.path);
    // Relative data file names refer to that folder.
    QDir::setCurrent(home.path);

    trovix::view::MainWindow window(state);

    // A save cut short by a kill or a crash is undone before any file is read.
    const QList<trovix::platform::InterruptedSave> interrupted =
        trovix::platform::recoverInterruptedSaves();
    trovix::platform::QtSettingsStore settings;
    trovix::platform::QtMessageBoxes messages(&window);
    trovix::platform::QtFileDialog files(&window);
    trovix::platform::QtFontDialog fonts(&window);
    trovix::platform::QtPrinter printer(&window);
    trovix::platform::QtClipboard clipboard;
    trovix::platform::QtShell shell;
    trovix::platform::QtScreen screen(&window);
    trovix::platform::QtInstanceGuard instance;
    state.services = {&settings,  &messages, &files,  &fonts,   &printer,
                      &clipboard, &shell,    &screen, &instance};

    // SIGTERM, SIGHUP and a logout close the window as the user does.
    trovix::view::closeWhenTheSystemAsks(window, state);

    // From the bytes, not from QCoreApplication::arguments(), which puts "\uFFFD" for bytes
    // that are not valid UTF-8 and so would name another file. Qt has taken its own options out
    // of argv.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << trovix::platform::fileNameFromBytes(argv[i]);
    }
    trovix::app::startUp(state, {arguments, QCoreApplication::applicationFilePath(), interrupted});
    window.show();
    return QApplication::exec();
}
