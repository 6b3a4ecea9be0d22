#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <cstdio>

#include "app/command_line.h"
#include "app/file_changes.h"
#include "app/home_folder.h"
#include "app/startup.h"
#include "platform/file_names.h"
#include "platform/memory_limits.h"
#include "platform/qt/owner_window.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_file_watcher.h"
#include "platform/qt/qt_font_dialog.h"
#include "platform/qt/qt_instance_guard.h"
#include "platform/qt/qt_load_progress.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/qt_shell.h"
#include "platform/save_journal.h"
#include "platform/system_disk.h"
#include "state/build_info.h"
#include "state/main_state.h"
#include "widgets/main_window.h"
#include "widgets/program_end.h"
#include "widgets/system_close.h"

namespace {

void nameTheApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Trovix"));
    QCoreApplication::setApplicationName(QStringLiteral("Trovix"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(trovix::kVersionText));
}

QString samplesFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/" TROVIX_SAMPLES_FROM_PROGRAM);
}

// Decided without changing anything on disk.
trovix::app::HomeFolder findHomeFolder() {
    return trovix::app::chooseHomeFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/Trovix"),
        samplesFolder());
}

// The command line as it was typed, before QApplication takes Qt's options out of it.
QStringList typedCommandLine(int argc, char* argv[]) {
    QStringList typed;
    // From the bytes: QString::fromLocal8Bit puts "\uFFFD" for bytes that are not valid UTF-8,
    // which would name another file; these are marked so that start-up refuses them.
    for (int i = 0; i < argc; ++i) {
        typed << trovix::platform::fileNameFromBytes(argv[i]);
    }
    return typed;
}

// Help, the version and a mistaken command line are answered without a window, nor a display to
// show one on, and change nothing on disk. Returns the exit code.
int answerWithoutWindow(int argc, char* argv[], const trovix::app::CommandLine& commandLine) {
    using Request = trovix::app::CommandLine::Request;
    const QCoreApplication application(argc, argv);
    nameTheApplication();
    switch (commandLine.request) {
        case Request::Help:
        case Request::HelpWithQtOptions:
            std::fputs(qPrintable(trovix::app::helpText(
                           findHomeFolder(), commandLine.request == Request::HelpWithQtOptions)),
                       stdout);
            return 0;
        case Request::Version:
            std::printf("%s\n", qPrintable(trovix::app::versionText()));
            return 0;
        case Request::Mistake:
        case Request::Start:
            break;
    }
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    std::fprintf(stderr, "%s: %s\n%s\nRun \"%s --help\" for more.\n", qPrintable(program),
                 qPrintable(commandLine.mistake), qPrintable(trovix::app::usageText()),
                 qPrintable(program));
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    const trovix::app::CommandLine commandLine =
        trovix::app::readCommandLine(typedCommandLine(argc, argv));
    if (commandLine.request != trovix::app::CommandLine::Request::Start) {
        return answerWithoutWindow(argc, argv, commandLine);
    }
    QApplication application(argc, argv);
    nameTheApplication();
    // The launcher's icon from the desktop's theme; the window manager matches the launcher by
    // this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("trovix"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("trovix")));
    const trovix::app::HomeFolder home = findHomeFolder();
    trovix::app::prepareHomeFolder(home, samplesFolder());

    // The services first, so that they outlive the state and the window that use them. Those
    // that show something belong to the window, named once it exists.
    trovix::platform::SystemDisk disk;
    // A save cut short by a kill or a crash is undone before any file is read.
    const QList<trovix::platform::InterruptedSave> interrupted =
        trovix::platform::recoverInterruptedSaves(disk);
    trovix::platform::OwnerWindow owner;
    trovix::platform::QtSettingsStore settings(disk);
    trovix::platform::QtMessageBoxes messages(owner);
    trovix::platform::QtFileDialog files(owner);
    trovix::platform::QtFontDialog fonts(owner);
    trovix::platform::QtPrinter printer(owner);
    trovix::platform::QtClipboard clipboard;
    trovix::platform::QtShell shell;
    trovix::platform::QtScreen screen(owner);
    trovix::platform::QtInstanceGuard instance;
    trovix::platform::QtLoadProgress loading(owner);
    const trovix::platform::SystemMemoryLimits memory;

    trovix::MainState state({settings, messages, files, fonts, printer, clipboard, shell, screen,
                             instance, memory, disk, loading});
    state.programFolder = QDir::toNativeSeparators(home.path);
    // Relative data file names refer to that folder.
    QDir::setCurrent(home.path);

    trovix::widgets::MainWindow window(state);
    owner.set(&window);

    // SIGTERM, SIGHUP and a logout close the window as the user does.
    trovix::widgets::closeWhenTheSystemAsks(window, state);

    // Names Qt took for its own options' values, or too few or too many, are not dropped
    // without a word.
    if (const QStringList unused = trovix::app::unusedArguments(commandLine.arguments);
        !unused.isEmpty()) {
        std::fprintf(stderr, "%s: not used: %s\n  Give \"clear\", or three data file names.\n",
                     qPrintable(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()),
                     qPrintable(unused.join(u' ')));
    }
    trovix::app::startUp(
        state, {commandLine.arguments, QCoreApplication::applicationFilePath(), interrupted});
    // Data files that another program changes are read again, or the user is asked.
    trovix::platform::QtFileWatcher fileWatcher;
    const trovix::app::FileChangeWatch fileChanges(state, fileWatcher);
    window.show();
    return trovix::widgets::endProgram(QApplication::exec(), instance);
}
