#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "state/build_info.h"
#include "state/text.h"

namespace trovix::app {
namespace {

struct QtOption {
    const char* name;
    const char* value;  // the name of its value; none when it takes none
    const char* description;
};

// The options QApplication takes out of the command line on Linux, those of X11 where the
// program runs on X11.
constexpr QtOption kQtOptions[] = {
    {"platform", QT_TRANSLATE_NOOP("CommandLine", "name"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: the platform plugin (xcb, wayland, offscreen, ...).")},
    {"platformpluginpath", QT_TRANSLATE_NOOP("CommandLine", "path"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: where the platform plugins are.")},
    {"platformtheme", QT_TRANSLATE_NOOP("CommandLine", "name"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: the platform theme.")},
    {"plugin", QT_TRANSLATE_NOOP("CommandLine", "plugin"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: loads an input plugin.")},
    {"qwindowgeometry", QT_TRANSLATE_NOOP("CommandLine", "geometry"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: the window's place and size, as WxH+X+Y.")},
    {"qwindowicon", QT_TRANSLATE_NOOP("CommandLine", "icon"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: the window's icon.")},
    {"qwindowtitle", QT_TRANSLATE_NOOP("CommandLine", "title"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: the window's title.")},
    {"session", QT_TRANSLATE_NOOP("CommandLine", "session"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: the session to restore.")},
    {"style", QT_TRANSLATE_NOOP("CommandLine", "style"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: the widget style (Fusion, ...).")},
    {"stylesheet", QT_TRANSLATE_NOOP("CommandLine", "file"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: a style sheet.")},
    {"qmljsdebugger", QT_TRANSLATE_NOOP("CommandLine", "options"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt: the QML debugger's options.")},
    {"reverse", nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "Qt: lays the window out from right to left.")},
    {"testability", nullptr, QT_TRANSLATE_NOOP("CommandLine", "Qt: loads the testability plugin.")},
    {"widgetcount", nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "Qt: counts the widgets left at the end.")},
    {"display", QT_TRANSLATE_NOOP("CommandLine", "display"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt on X11: the X server's display.")},
    {"geometry", QT_TRANSLATE_NOOP("CommandLine", "geometry"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt on X11: as -qwindowgeometry.")},
    {"title", QT_TRANSLATE_NOOP("CommandLine", "title"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt on X11: as -qwindowtitle.")},
    {"icon", QT_TRANSLATE_NOOP("CommandLine", "icon"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt on X11: as -qwindowicon.")},
    {"name", QT_TRANSLATE_NOOP("CommandLine", "name"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt on X11: the program's resource name.")},
    {"visual", QT_TRANSLATE_NOOP("CommandLine", "visual"),
     QT_TRANSLATE_NOOP("CommandLine", "Qt on X11: the visual.")},
    {"nograb", nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "Qt on X11: never grabs the mouse or the keyboard.")},
    {"dograb", nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "Qt on X11: grabs them even under a debugger.")},
};

const QString kHelp = QStringLiteral("help");
const QString kHelpAll = QStringLiteral("help-all");
const QString kVersion = QStringLiteral("version");
const QString kFind = QStringLiteral("find");
const QString kCase = QStringLiteral("case");
const QString kCount = QStringLiteral("count");
const QString kFilesWithMatches = QStringLiteral("files-with-matches");
const QString kLineNumber = QStringLiteral("line-number");
const QString kColor = QStringLiteral("color");

// A text of the table above, in the language shown.
QString translated(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

// The program's options and arguments; Qt's options are listed only when asked for.
void describe(QCommandLineParser& parser, const QString& description, bool withQtOptions) {
    // Qt's options are words after one dash, as in "-style Fusion"; so are ours ("-help").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(description);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("?"), kHelp},
                      QCoreApplication::translate("CommandLine", "Shows this help.")});
    parser.addOption({kHelpAll, QCoreApplication::translate("CommandLine",
                                                            "Shows this help with Qt's options.")});
    parser.addOption({{QStringLiteral("v"), kVersion},
                      QCoreApplication::translate("CommandLine", "Shows the version.")});
    parser.addOption({kFind,
                      QCoreApplication::translate(
                          "CommandLine",
                          "Prints, without a window, every record of the files given (- is the "
                          "standard input; with none, the standard input when it is a pipe or a "
                          "file, else the three data files of the settings) that holds all the "
                          "words, letter case ignored. Each record is printed as its file holds "
                          "it, every line; its further lines begin with -----. With more than one "
                          "file, each line begins with the file's name and a colon. Exit code 0: "
                          "found, 1: nothing found, 2: an error."),
                      QCoreApplication::translate("CommandLine", "words")});
    parser.addOption({kCase, QCoreApplication::translate("CommandLine",
                                                         "With --find: letter case must match.")});
    parser.addOption(
        {kCount, QCoreApplication::translate(
                     "CommandLine", "With --find: prints the number of records found per file.")});
    parser.addOption(
        {kFilesWithMatches, QCoreApplication::translate("CommandLine",
                                                        "With --find: prints only the names of the "
                                                        "files in which a record was found.")});
    parser.addOption({{QStringLiteral("n"), kLineNumber},
                      QCoreApplication::translate("CommandLine",
                                                  "With --find: begins each line printed with "
                                                  "its number in the file.")});
    parser.addOption({{kColor, QStringLiteral("colour")},
                      QCoreApplication::translate(
                          "CommandLine",
                          "With --find: marks the words found in colour: auto (when the output "
                          "is a terminal and NO_COLOR is not set), always or never."),
                      QCoreApplication::translate("CommandLine", "when"),
                      QStringLiteral("auto")});  // a value typed, not shown
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name), translated(qt.description));
        if (qt.value != nullptr) {
            option.setValueName(translated(qt.value));
        }
        if (!withQtOptions) {
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        }
        parser.addOption(option);
    }
    // "clear" is typed as it stands, and the file names are an example of three.
    parser.addPositionalArgument(
        QStringLiteral("clear"),
        QCoreApplication::translate("CommandLine", "Start with the default settings."),
        QStringLiteral("[clear]"));
    parser.addPositionalArgument(
        QCoreApplication::translate("CommandLine", "files"),
        QCoreApplication::translate("CommandLine",
                                    "Three data file names, relative to the folder above, to "
                                    "open and remember."),
        QStringLiteral("[one.txt two.txt three.txt]"));  // file names
}

// The program's file name, as it was called.
QString programName() {
    const QStringList arguments = QCoreApplication::arguments();
    return arguments.isEmpty() ? QStringLiteral("trovix7")
                               : QFileInfo(arguments.first()).fileName();
}

// Help names the program as it was called, with its folders. The usage line is Qt's, in Qt's
// words for the language shown, so the name is looked for in that line alone.
QString withShortName(QString help) {
    const QStringList arguments = QCoreApplication::arguments();
    const QString called = arguments.isEmpty() ? QString() : arguments.first();
    const QString name = QFileInfo(called).fileName();
    const qsizetype at = help.left(help.indexOf(u'\n')).indexOf(called);
    if (!called.isEmpty() && called != name && at >= 0) {
        help.replace(at, called.size(), name);
    }
    return help;
}

// Whether a word is one of the options, as in "--count", "-n" or "--color=never".
bool isOption(const QString& word) {
    if (word.size() < 2 || !word.startsWith(u'-')) {
        return false;
    }
    const QString name = word.mid(word.startsWith(QLatin1String("--")) ? 2 : 1).section(u'=', 0, 0);
    QCommandLineParser parser;
    describe(parser, QString(), false);
    // An option without a value takes the name alone, one with a value takes "=value"; Qt's
    // error texts are not compared, since they follow the language shown.
    const QString program = QStringLiteral("trovix7");
    const QString option = QStringLiteral("--") + name;
    return parser.parse({program, option}) ||
           parser.parse({program, option + QStringLiteral("=value")});
}

// The --find request and the options that go with it, or the mistake in them.
void readFind(const QCommandLineParser& parser, const QString& program, CommandLine& read) {
    for (const QString& option : {kCase, kCount, kFilesWithMatches, kLineNumber, kColor}) {
        if (parser.isSet(option) && !parser.isSet(kFind)) {
            read.request = CommandLine::Request::Mistake;
            read.mistake = QCoreApplication::translate("CommandLine", "'--%1' goes with '--find'.")
                               .arg(option);
            return;
        }
    }
    if (!parser.isSet(kFind)) {
        return;
    }
    read.request = CommandLine::Request::Mistake;
    // The values as typed.
    const QStringList colours = {QStringLiteral("auto"), QStringLiteral("always"),
                                 QStringLiteral("never")};
    if (isOption(parser.value(kFind))) {
        read.mistake = QCoreApplication::translate("CommandLine",
                                                   "'--find' needs the words to find first: %1 "
                                                   "--find \"words\" [--count] [file...]")
                           .arg(program);
    } else if (parser.values(kFind).size() > 1) {
        read.mistake =
            QCoreApplication::translate("CommandLine", "'--find' is given more than once.");
    } else if (trimSpaces(parser.value(kFind)).isEmpty()) {
        read.mistake = QCoreApplication::translate("CommandLine", "'--find' needs a word to find.");
    } else if (parser.isSet(kCount) && parser.isSet(kFilesWithMatches)) {
        read.mistake = QCoreApplication::translate(
            "CommandLine", "'--count' and '--files-with-matches' exclude each other.");
    } else if (!colours.contains(parser.value(kColor))) {
        read.mistake =
            QCoreApplication::translate("CommandLine", "'--color' is auto, always or never.");
    } else {
        read.request = CommandLine::Request::Find;
        read.find = {parser.value(kFind),
                     parser.isSet(kCase),
                     parser.isSet(kCount),
                     parser.isSet(kFilesWithMatches),
                     parser.isSet(kLineNumber),
                     static_cast<FindRequest::Colour>(colours.indexOf(parser.value(kColor)))};
    }
}

}  // namespace

CommandLine readCommandLine(const QStringList& commandLine) {
    QCommandLineParser parser;
    describe(parser, QString(), false);
    CommandLine read;
    if (!parser.parse(commandLine)) {
        read.request = CommandLine::Request::Mistake;
        read.mistake = parser.errorText();
        return read;
    }
    if (parser.isSet(kHelpAll)) {
        read.request = CommandLine::Request::HelpWithQtOptions;
    } else if (parser.isSet(kHelp)) {
        read.request = CommandLine::Request::Help;
    } else if (parser.isSet(kVersion)) {
        read.request = CommandLine::Request::Version;
    }
    read.arguments = parser.positionalArguments();
    if (read.request == CommandLine::Request::Start) {
        readFind(parser, QFileInfo(commandLine.value(0)).fileName(), read);
    }
    return read;
}

QString helpText(const HomeFolder& home, bool withQtOptions) {
    const QString description =
        home.perUser
            ? QCoreApplication::translate(
                  "CommandLine",
                  "Trovix finds and keeps free-form text records in three data files.\n\n"
                  "Data files, their .old backups and the update program's files are kept in\n"
                  "  %1\n(the per-user data folder: the program is installed, or its own "
                  "folder is read only).\n\n"
                  "To search from the command line:\n"
                  "  %2 --find \"words\" [--case] [--count] [--files-with-matches] [-n] "
                  "[--color=when] [file...]")
            : QCoreApplication::translate(
                  "CommandLine",
                  "Trovix finds and keeps free-form text records in three data files.\n\n"
                  "Data files, their .old backups and the update program's files are kept in\n"
                  "  %1\n(the program's own folder).\n\n"
                  "To search from the command line:\n"
                  "  %2 --find \"words\" [--case] [--count] [--files-with-matches] [-n] "
                  "[--color=when] [file...]");
    QCommandLineParser parser;
    describe(parser, description.arg(QDir::toNativeSeparators(home.path), programName()),
             withQtOptions);
    return withShortName(parser.helpText());
}

QString usageText() {
    QCommandLineParser parser;
    describe(parser, QString(), false);
    return withShortName(parser.helpText().section(u'\n', 0, 0));
}

QString versionText() {
    return QStringLiteral("Trovix ") + QString::fromLatin1(kVersionText);  // name and number
}

QStringList unusedArguments(const QStringList& arguments) {
    // As start-up reads them: the arguments joined by blanks are "clear", or three names
    // between single blanks.
    const QString text = arguments.join(u' ');
    const QString trimmed = trimSpaces(text);
    if (text == QLatin1String("clear") || trimmed.isEmpty() || trimmed.split(u' ').size() == 3) {
        return {};
    }
    return arguments;
}

}  // namespace trovix::app
