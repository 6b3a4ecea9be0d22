#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>

#include "app/command_line.h"
#include "app/file_changes.h"
#include "app/home_folder.h"
#include "app/startup.h"
#include "app/unsaved_edits.h"
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
#include "platform/qt/qt_window_control.h"
#include "platform/save_journal.h"
#include "platform/system_disk.h"
#include "program_folders.h"
#include "state/language.h"
#include "state/main_state.h"
#include "store/recovery_file.h"
#include "widgets/main_window.h"
#include "widgets/program_end.h"
#include "widgets/system_close.h"

// The window's start, in the library that the program loads only to show it.
extern "C" Q_DECL_EXPORT int trovixShowWindow(int* argcPointer, char** argv,
                                              const trovix::app::CommandLine* commandLinePointer) {
    using namespace trovix::program;
    int& argc = *argcPointer;
    const trovix::app::CommandLine& commandLine = *commandLinePointer;
    QApplication application(argc, argv);
    nameTheApplication();
    trovix::loadTranslations();
    // The launcher's icon from the desktop's theme; the window manager matches the launcher by
    // this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.trovix.trovix"));
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
    trovix::platform::QtWindowControl windowControl(owner);

    trovix::MainState state({settings, messages, files, fonts, printer, clipboard, shell, screen,
                             instance, memory, disk, loading, windowControl});
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
        std::fputs(qPrintable(QCoreApplication::translate(
                                  "WindowMain",
                                  "%1: not used: %2\n  Give \"clear\", or three data file "
                                  "names.\n")
                                  .arg(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName(),
                                       unused.join(u' '))),
                   stderr);
    }
    // Unsaved changes are kept for the next start from the first change on, and those a run
    // that did not close properly left are offered back once the files are loaded.
    const QString recoveryFolder = trovix::store::recoveryFolder();
    trovix::app::UnsavedEditsWatch unsavedEdits(state, recoveryFolder);
    trovix::app::startUp(
        state, {commandLine.arguments, QCoreApplication::applicationFilePath(), interrupted});
    // Data files that another program changes are read again, or the user is asked.
    trovix::platform::QtFileWatcher fileWatcher;
    const trovix::app::FileChangeWatch fileChanges(state, fileWatcher);
    window.show();
    return trovix::widgets::endProgram(QApplication::exec(), instance);
}
