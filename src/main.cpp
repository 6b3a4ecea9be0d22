#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <cstdio>
#include <vector>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/command_line.h"
#include "app/command_line_find.h"
#include "app/home_folder.h"
#include "app/settings.h"
#include "platform/file_names.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/system_disk.h"
#include "program_folders.h"
#include "state/language.h"

namespace {

using namespace trovix::program;

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

// The program's file name as it was called.
QString programName() {
    return QFileInfo(QCoreApplication::arguments().value(0)).fileName();
}

// Whether the standard input is a pipe, a file or a socket, to search when no file is named; not
// a terminal, nor a device such as /dev/null, which is what a script started without input has.
bool standardInputToRead() {
#ifdef Q_OS_WIN
    return !_isatty(_fileno(stdin));
#else
    struct stat status {};
    return ::fstat(STDIN_FILENO, &status) == 0 &&
           (S_ISFIFO(status.st_mode) || S_ISREG(status.st_mode) || S_ISSOCK(status.st_mode));
#endif
}

// The files --find searches: those named on the command line (relative to the current folder;
// "-" is the standard input), else the standard input when there is one to read, or else the
// three data files of the settings that exist, as the window would open them. The settings are
// only read.
QList<trovix::app::FindFile> filesToSearch(const QStringList& arguments, QString& folder) {
    QList<trovix::app::FindFile> files;
    if (arguments.isEmpty() && standardInputToRead()) {
        return {{trovix::app::kStandardInputName, QString()}};
    }
    if (!arguments.isEmpty()) {
        for (const QString& name : arguments) {
            files.append(name == QLatin1String("-")
                             ? trovix::app::FindFile{trovix::app::kStandardInputName, QString()}
                             : trovix::app::FindFile{name, name});
        }
        return files;
    }
    folder = findHomeFolder().path;
    trovix::platform::SystemDisk disk;
    const trovix::platform::QtSettingsStore settings(disk);
    for (const QString& name :
         trovix::app::storedDataFileNames(settings, QDir::toNativeSeparators(folder))) {
        const QString path = QDir(folder).absoluteFilePath(name);
        if (QFileInfo(path).isFile()) {
            files.append({name, path});
        }
    }
    return files;
}

int findFromCommandLine(const trovix::app::CommandLine& commandLine) {
#ifdef Q_OS_WIN
    // The records carry their own line ends; the console must not add a CR to them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    const bool terminal = _isatty(_fileno(stdout)) != 0;
#else
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
#endif
    QFile in;  // read only when searched; reading one that is not open is an error then
    in.open(stdin, QIODevice::ReadOnly);
    QFile out;
    QFile errors;
    if (!out.open(stdout, QIODevice::WriteOnly) || !errors.open(stderr, QIODevice::WriteOnly)) {
        return 2;
    }
    trovix::app::FindRequest request = commandLine.find;
    request.colour = trovix::app::colourOutput(request.colour, terminal, qgetenv("NO_COLOR"))
                         ? trovix::app::FindRequest::Colour::Always
                         : trovix::app::FindRequest::Colour::Never;
    const QList<trovix::app::FindFile> files =
        filesToSearch(commandLine.arguments, request.dataFolder);
    return trovix::app::findInFiles(request, files, in, out, errors, programName());
}

// Help, the version, a search and a mistaken command line are answered without a window, nor a
// display to show one on, and change nothing on disk. Returns the exit code.
int answerWithoutWindow(int argc, char* argv[], const trovix::app::CommandLine& commandLine) {
    using Request = trovix::app::CommandLine::Request;
    const QCoreApplication application(argc, argv);
    nameTheApplication();
    trovix::loadTranslations();
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
        case Request::Find:
            return findFromCommandLine(commandLine);
        case Request::Mistake:
        case Request::Start:
            break;
    }
    // Read again now that the texts can be translated.
    const QString mistake = trovix::app::readCommandLine(typedCommandLine(argc, argv)).mistake;
    std::fputs(
        qPrintable(QCoreApplication::translate("Main", "%1: %2\n%3\nRun \"%1 --help\" for more.\n")
                       .arg(programName(), mistake, trovix::app::usageText())),
        stderr);
    return 2;
}

// The window lives in a library of its own, loaded only to show it: answering the command line
// loads no GUI module. It is looked for where it is installed, then beside the program.
int showWindow(int& argc, char* argv[], const trovix::app::CommandLine& commandLine) {
    QString programFolder;
    {
        // The program's folder needs an application object; the window makes its own.
        int probeCount = argc;
        std::vector<char*> probeArguments(argv, argv + argc + 1);
        const QCoreApplication probe(probeCount, probeArguments.data());
        programFolder = QCoreApplication::applicationDirPath();
    }
    QStringList tried;
    for (const QString& folder :
         {programFolder + QStringLiteral("/" TROVIX_WINDOW_FROM_PROGRAM), programFolder}) {
        QLibrary library(QDir::cleanPath(folder + QStringLiteral("/" TROVIX_WINDOW_LIBRARY)));
        if (const auto show = reinterpret_cast<ShowWindow>(library.resolve(kShowWindowEntry))) {
            return show(&argc, argv, &commandLine);
        }
        tried << library.errorString();
    }
    // Mostly a program copied alone into a folder of data files: say what to copy with it.
    std::fputs(qPrintable(QCoreApplication::translate(
                              "Main",
                              "%1: the window cannot be shown:\n  %2\nA copied %1 needs its "
                              "window library beside it: copy %3 into the same folder.\n")
                              .arg(QFileInfo(QFile::decodeName(argv[0])).fileName(),
                                   tried.join(QStringLiteral("\n  ")),
                                   QStringLiteral(TROVIX_WINDOW_LIBRARY))),
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    const trovix::app::CommandLine commandLine =
        trovix::app::readCommandLine(typedCommandLine(argc, argv));
    if (commandLine.request != trovix::app::CommandLine::Request::Start) {
        return answerWithoutWindow(argc, argv, commandLine);
    }
    return showWindow(argc, argv, commandLine);
}
