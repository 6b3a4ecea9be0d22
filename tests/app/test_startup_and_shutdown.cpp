#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/command_line.h"
#include "app/event_handlers.h"
#include "app/home_folder.h"
#include "app/settings.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "platform/fake/fake_services.h"
#include "platform/file_names.h"
#include "platform/native.h"
#include "platform/safe_file.h"
#include "records/slot_procedures.h"
#include "state/build_info.h"
#include "state/main_state.h"
#include "support/files.h"

using namespace trovix;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using testing::age;
using testing::aged;
using testing::readBytes;
using testing::writeBytes;

namespace {

const QString kSection = QStringLiteral("Settings");
const char* const kFiles[] = {"phone_numbers.txt", "taglines.txt", "area_codes.txt"};
const QByteArray kContent[] = {"Smith 555-1234\r\nJones\r\n", "one\r\ntwo\r\n", "212 New York\r\n"};

// The first row listed for each slot; every data file here holds one record.
QStringList firstRows(const MainState& state) {
    QStringList out;
    for (const lists::FileSlot& slot : state.fileSlots) {
        out << (slot.list.count() > 0 ? slot.list.text(0) : QString());
    }
    return out;
}

// Edits the first record of a slot as the user would: changed, not yet saved.
void change(MainState& state, int i, const QString& text) {
    lists::FileSlot& slot = state.fileSlots[static_cast<std::size_t>(i)];
    slot.records.set(0, text);
    slot.changed = true;
}

// The outside world of the program: its folder and the fake services.
struct World {
    QTemporaryDir folder;
    platform::FakeServices services;
    platform::FakeSettingsStore& store = services.settings;
    platform::FakeMessageBoxes& messages = services.messages;
    platform::FakeInstanceGuard& instance = services.instance;
    platform::FakeScreen& screen = services.screen;
    platform::FakeMemoryLimits& memory = services.memory;

    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void put(const char* key, const QString& value) {
        store.sections[kSection][QString::fromLatin1(key)] = value;
    }
    // The three default data files, dated long ago so that any write shows.
    void writeDataFiles() {
        for (int i = 0; i < 3; ++i) {
            QVERIFY(writeBytes(path(kFiles[i]), kContent[i]));
            QVERIFY(age(path(kFiles[i])));
        }
    }
    bool untouched(int i) const {
        return aged(path(kFiles[i])) && readBytes(path(kFiles[i])) == kContent[i];
    }
    // A fresh window state started up in this world, as the program does on every run; '|'
    // separates the arguments of the command line.
    std::unique_ptr<MainState> start(const char* commandLine = "",
                                     const QString& runningProgram = {}) {
        QStringList arguments = QString::fromLatin1(commandLine).split(u'|');
        arguments.removeAll(QString());
        return start(arguments, runningProgram);
    }
    std::unique_ptr<MainState> start(const QStringList& arguments,
                                     const QString& runningProgram = {}) {
        auto state = std::make_unique<MainState>(services.services());
        state->programFolder = folder.path();
        app::startUp(*state, {arguments, runningProgram});
        if (state->busy) {
            QTest::qFail("still busy after start-up", __FILE__, __LINE__);
        }
        return state;
    }
};

using Section = QMap<QString, QString>;

// A window state whose settings are `store`, on a screen that tells no geometry, so that reading
// the settings never moves the window.
struct SettingsRun {
    platform::FakeServices services;
    MainState state{services.services()};
    explicit SettingsRun(platform::SettingsStore& store) {
        services.screen.available.clear();
        state.services.settings = store;
    }
};

const QString kWindowKeys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
const Option kSettingsOptions[] = {
    Option::IgnoreCase, Option::SearchWhileTyping,  Option::DisplayFileNames, Option::AutoSave,
    Option::OnTop,      Option::ReloadChangedFiles, Option::HighlightMatches};
const Command kSettingsButtons[] = {Command::Edit, Command::FileA, Command::FileB, Command::FileC,
                                    Command::Data};

// A section from "key=value" entries separated by semicolons.
Section section(const char* entries) {
    Section out;
    for (const QString& line : QString::fromUtf8(entries).split(u';')) {
        out.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return out;
}

// Every setting as readable text, a line per group, so that one comparison names the setting
// that differs.
QStringList describe(const MainState& s) {
    QString options, buttons;
    for (Option o : kSettingsOptions) {
        options += s.options.isChecked(o) ? u'1' : u'0';
    }
    for (const Command b : kSettingsButtons) {
        buttons += s.toolbar.isPressed(b) ? u'1' : u'0';
    }
    QStringList files;
    for (const lists::FileSlot& slot : s.fileSlots) {
        files << slot.fileName;
    }
    const TwipRect& p = s.frame.placement();
    const ListFont& f = s.frame.font();
    const int sizes[] = {s.displaySize, lists::listNumber(s.listWithFocus), s.gap};
    return {QStringLiteral("place %1,%2 %3x%4").arg(p.left).arg(p.top).arg(p.width).arg(p.height),
            "options " + options,
            "buttons " + buttons,
            QStringLiteral("size %1 focus %2 gap %3").arg(sizes[0]).arg(sizes[1]).arg(sizes[2]),
            "files " + files.join(u'|'),
            "history " + QStringList(s.history.begin(), s.history.end()).join(u'|'),
            QStringLiteral("font %1 %2 %3 %4").arg(f.name).arg(f.size).arg(+f.bold).arg(+f.italic)};
}

// Gives every setting a value other than its default, with fractional and negative twips,
// blanks in a name and unused history entries.
void setNonDefaults(MainState& s) {
    s.frame.setPlacement({-300, 1800.5, 7000, 6015});
    const bool options[] = {false, true, true, true, true, false, false};
    const bool buttons[] = {false, false, false, false, true};
    for (int i = 0; i < 7; ++i) {
        s.options.setChecked(kSettingsOptions[i], options[i]);
    }
    for (int i = 0; i < 5; ++i) {
        s.toolbar.setPressed(kSettingsButtons[i], buttons[i]);
    }
    s.displaySize = 2;
    s.listWithFocus = std::nullopt;
    s.gap = 3333;
    s.fileSlots[0].fileName = QStringLiteral("/home/me/people.txt");
    s.fileSlots[1].fileName = QStringLiteral("sayings with blanks.txt");
    s.fileSlots[2].fileName = QStringLiteral("codes.txt");
    s.history = {"newest", "", "third", "", "", "", "", "", "", "oldest"};
    s.frame.setFont({QStringLiteral("Lucida Console"), 12, true, true});
}

// Every file and folder under a folder, with its size and time, one a line.
QStringList tree(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        out << QStringLiteral("%1 %2 %3")
                   .arg(info.filePath())
                   .arg(info.isDir() ? -1 : info.size())
                   .arg(info.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

// The program installed into a prefix of its own, its samples beside it, and a home folder
// for the user who runs it, without a display unless one is asked for.
struct InstalledProgram {
    QTemporaryDir root;
    QString program = root.filePath("usr/bin/trovix7");
    QString home = root.filePath("home");

    InstalledProgram() {
        const QString samples = root.filePath("usr/bin/" TROVIX_SAMPLES_FROM_PROGRAM);
        QVERIFY(QDir().mkpath(root.filePath("usr/bin")) && QDir().mkpath(samples) &&
                QDir().mkpath(home));
        QVERIFY(QFile::copy(QStringLiteral(TROVIX_PROGRAM), program));
        // The window library where the installed program looks for it.
        const QString window = root.filePath("usr/bin/" TROVIX_WINDOW_FROM_PROGRAM);
        QVERIFY(QDir().mkpath(window));
        QVERIFY(QFile::copy(QStringLiteral(TROVIX_WINDOW),
                            QDir(window).filePath(QFileInfo(TROVIX_WINDOW).fileName())));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(writeBytes(QDir(samples).filePath(kFiles[i]), kContent[i]));
        }
    }
    void start(QProcess& process, const QStringList& arguments, bool display) const {
        process.setProcessEnvironment(environment(display));
        process.start(program, arguments);
    }
    QProcessEnvironment environment(bool display) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME",
                                 "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert(QStringLiteral("HOME"), home);
        if (display) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        return environment;
    }
};

}  // namespace

class TestStartupAndShutdown : public QObject {
    Q_OBJECT

    QString startFolder_;

  private Q_SLOTS:
    void initTestCase() { startFolder_ = QDir::currentPath(); }
    // Start-up makes the program folder current; the next test must not run inside a removed
    // temporary folder.
    void cleanup() { QDir::setCurrent(startFolder_); }

    void clearDeletesTheStoredSettingsAndSaysSo() {
        World w;
        w.put("FileA", QStringLiteral("mine.txt"));
        QVERIFY(writeBytes(w.path("phone_numbers.txt"), "Smith 555\r\n"));
        auto state = w.start("clear");
        QVERIFY(!w.store.sections.contains(kSection));
        // The defaults apply, the default data file included.
        QCOMPARE(firstRows(*state).first(), QStringLiteral("Smith 555"));

        // The user is told even when there was nothing to delete.
        World empty;
        empty.start("clear");
        for (const World* world : {&w, &empty}) {
            QCOMPARE(world->messages.shown.size(), 1);
            QCOMPARE(world->messages.shown[0].text, "Registry settings were deleted for Trovix.");
            QVERIFY(world->messages.shown[0].buttons == MessageButtons::Ok &&
                    world->messages.shown[0].icon == MessageIcon::Information);
        }

        // Settings that cannot be deleted are not reported deleted; at close, settings that
        // cannot be stored are reported once, with the reason.
        World locked;
        locked.store.failSync = true;
        auto lockedState = locked.start("clear");
        QVERIFY(locked.messages.shown[0].text.startsWith("The settings of Trovix could not be "
                                                         "deleted") &&
                locked.messages.shown[0].text.contains(locked.store.failReason));
        QVERIFY(app::closeRequested(*lockedState) && locked.messages.shown.size() == 2);
        QVERIFY(locked.messages.shown[1].text.contains("could not be stored"));

        // Anything but exactly "clear" leaves the settings alone.
        for (const char* commandLine : {"Clear", " clear", "clear|now"}) {
            World kept;
            kept.put("MainLeft", QStringLiteral("3000"));
            auto s = kept.start(commandLine);
            QVERIFY2(kept.messages.shown.isEmpty(), commandLine);
            QVERIFY2(s->frame.placement().left == 3000, commandLine);
        }
    }

    void anInstalledOrReadOnlyProgramKeepsItsFilesInThePerUserFolder() {
        World w;
        const QString program = w.path("bin");
        const QString installed = w.path("share/trovix");
        const QString perUser = w.path("home/Trovix");
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(installed));
        // Built or unpacked, in a folder it may write to: the program's folder keeps its role.
        const app::HomeFolder built = app::chooseHomeFolder(program, perUser, w.path("none"));
        QVERIFY(built.path == program && !built.perUser);
        app::prepareHomeFolder(built, w.path("none"));
        // Installed, with its samples in its prefix: the per-user folder, chosen without being
        // made; made as the window starts, with the samples copied once.
        for (int i = 0; i < 3; ++i) {
            QVERIFY(writeBytes(QDir(installed).filePath(kFiles[i]), kContent[i]));
        }
        const app::HomeFolder home = app::chooseHomeFolder(program, perUser, installed);
        QVERIFY(home.perUser && home.path == perUser);
        QVERIFY(!QFileInfo::exists(perUser));
        app::prepareHomeFolder(home, installed);
        QCOMPARE(readBytes(QDir(perUser).filePath(kFiles[1])), kContent[1]);
        QVERIFY(writeBytes(QDir(perUser).filePath(kFiles[1]), "mine\r\n"));
        QVERIFY(QFile::remove(QDir(perUser).filePath(kFiles[2])));
#ifdef Q_OS_UNIX
        // A sample that is a named pipe is not read, which would wait for a writer.
        const QString pipe = QDir(installed).filePath(kFiles[2]);
        QVERIFY(QFile::remove(pipe) && ::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
        QVERIFY2(testing::withoutWaitingOn(
                     pipe, [&] { return app::prepareHomeFolder(home, installed), 0; }),
                 "Copying the samples waited for a writer to a named pipe.");
        QVERIFY(!QFileInfo::exists(QDir(perUser).filePath(kFiles[2])));
#endif
        QCOMPARE(readBytes(QDir(perUser).filePath(kFiles[1])), QByteArray("mine\r\n"));
        QVERIFY(QDir(program).entryList(QDir::Files | QDir::Hidden).isEmpty());
        // A read-only program folder hands its role over too.
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(QDir(program).filePath("probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("this user writes into read-only folders");
        }
        QVERIFY(!app::folderIsWritable(program));
        QVERIFY(app::chooseHomeFolder(program, w.path("other"), w.path("none")).perUser);
    }

    // The file names are read from the command line as typed; Qt's options and their values
    // are passed over, help and the version are asked for, and anything else is a mistake.
    void theCommandLineIsReadBeforeQtTakesItsOptions() {
        using Request = app::CommandLine::Request;
        // '|' separates the arguments.
        const struct {
            const char* line;
            Request request;
            const char* arguments;  // or, for a mistake, what is said
        } cases[] = {
            {"", Request::Start, ""},
            {"clear", Request::Start, "clear"},
            {"-reverse|b.txt|c.txt", Request::Start, "b.txt|c.txt"},
            {"-style|Fusion|a.txt|b.txt|c.txt", Request::Start, "a.txt|b.txt|c.txt"},
            {"--style=Fusion|-platform|offscreen|clear", Request::Start, "clear"},
            {"a.txt|-qwindowgeometry|400x300|b.txt|--reverse|c.txt", Request::Start,
             "a.txt|b.txt|c.txt"},
            {"--|-a.txt|-reverse|c.txt", Request::Start, "-a.txt|-reverse|c.txt"},
            {"--help", Request::Help, ""},
            {"-h", Request::Help, ""},
            {"-?", Request::Help, ""},
            {"--help-all", Request::HelpWithQtOptions, ""},
            {"a.txt|--version", Request::Version, "a.txt"},
            {"-v", Request::Version, ""},
            {"--help=foo", Request::Mistake, "Unexpected value after '--help'."},
            {"--version|--bogus", Request::Mistake, "Unknown option 'bogus'."},
            {"-hv", Request::Mistake, "Unknown option 'hv'."},
            {"a.txt|-style", Request::Mistake, "Missing value after '-style'."},
            {"--find|smith 555|a.txt|b.txt", Request::Find, "a.txt|b.txt"},
            {"--find=smith|--count", Request::Find, ""},
            {"--count", Request::Mistake, "'--count' goes with '--find'."},
            {"a.txt|--case", Request::Mistake, "'--case' goes with '--find'."},
            {"--find| ", Request::Mistake, "'--find' needs a word to find."},
            {"--find|a|--find|b", Request::Mistake, "'--find' is given more than once."},
            {"--find|a|--count|--files-with-matches", Request::Mistake,
             "'--count' and '--files-with-matches' exclude each other."},
        };
        for (const auto& c : cases) {
            QStringList typed = QString::fromLatin1(c.line).split(u'|', Qt::SkipEmptyParts);
            typed.prepend(QStringLiteral("trovix7"));
            const app::CommandLine read = app::readCommandLine(typed);
            QVERIFY2(read.request == c.request, c.line);
            if (c.request == Request::Mistake) {
                QCOMPARE(read.mistake, QString::fromLatin1(c.arguments));
            } else {
                QCOMPARE(read.arguments.join(u'|'), QString::fromLatin1(c.arguments));
            }
        }

        const app::CommandLine find = app::readCommandLine(
            {"trovix7", "--case", "--find", "Smith", "--files-with-matches", "x.txt"});
        QVERIFY(find.find.text == "Smith" && find.find.matchCase && !find.find.count &&
                find.find.filesWithMatches && find.arguments == QStringList({"x.txt"}));

        // Qt's options are in the help only when asked for (what help says, the program shows).
        const app::HomeFolder home{QStringLiteral("/home/me/.local/share/Trovix"), true};
        QVERIFY(app::helpText(home, false).startsWith(app::usageText() + '\n') &&
                !app::helpText(home, false).contains("--reverse"));
        QVERIFY(app::usageText().endsWith("[options] [clear] [one.txt two.txt three.txt]"));
        QCOMPARE(app::versionText(), QStringLiteral("Trovix ") + QString::fromLatin1(kVersionText));
    }

    // Help, the version and a mistaken command line need no display and change nothing on disk,
    // not even for an installed program, whose first start makes the per-user folder and copies
    // the samples there. With a display, they do not open the window either.
    void helpVersionAndMistakesNeedNoDisplayAndChangeNothing() {
        const InstalledProgram installed;
        const QStringList before = tree(installed.root.path());
        const QString folder = QDir::toNativeSeparators(installed.home + "/.local/share/Trovix");
        // The arguments, separated by '|'; what the output holds; what the error output starts
        // with (none: it is empty).
        const struct {
            const char *arguments, *out, *errors;
            bool display;
            int exitCode;
        } cases[] = {
            {"-h", "(the per-user data folder", "", false, 0},
            {"--help-all", "--style <style>", "", false, 0},
            {"--help", "(the per-user data folder", "", false, 0},
            {"--help", "trovix7 --find \"words\" [--case] [--count] [--files-with-matches]", "",
             false, 0},
            {"-v", "Trovix 7.", "", false, 0},
            {"--version", "Trovix 7.", "", true, 0},
            {"--version|--bogus", "", "trovix7: Unknown option 'bogus'.\nUsage: trovix7", false, 2},
            {"--help-all", "--style <style>", "", true, 0},
            {"-?", "Usage: trovix7 [options]", "", true, 0},
        };
        for (const auto& c : cases) {
            QProcess process;
            installed.start(process, QString::fromLatin1(c.arguments).split(u'|'), c.display);
            QVERIFY2(process.waitForFinished(20000), c.arguments);
            const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
            const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
            // Help names the per-user folder, made or not.
            QVERIFY2(process.exitStatus() == QProcess::NormalExit &&
                         process.exitCode() == c.exitCode && out.contains(c.out) &&
                         (*c.errors != '\0' ? errors.startsWith(c.errors) : errors.isEmpty()) &&
                         (!out.startsWith("Usage:") || out.contains(folder)),
                     qPrintable(QStringLiteral("%1: exit %2\n%3%4")
                                    .arg(c.arguments)
                                    .arg(process.exitCode())
                                    .arg(out, errors)));
        }
        QCOMPARE(tree(installed.root.path()), before);
    }

    // --find needs no display and loads no GUI module. With no file named it searches the data
    // files of the settings (a relative name in the data folder; one that is missing is passed
    // over) and changes neither them nor the settings.
    void findSearchesTheSettingsFilesWithoutADisplay() {
        const InstalledProgram installed;
        const QString data = installed.home + "/.local/share/Trovix";
        const QString config = installed.home + "/.config/Trovix";
        QVERIFY(QDir().mkpath(data) && QDir().mkpath(config));
        const QString mine = data + "/mine.txt";
        const QString other = installed.root.filePath("other.txt");
        QVERIFY(writeBytes(mine, "Smith\r\n-----555\r\nJones\r\n"));
        QVERIFY(writeBytes(other, "smith too\n"));
        const QByteArray settings =
            "[Settings]\nFileA=mine.txt\nFileB=" + other.toUtf8() + "\nFileC=gone.txt\n";
        QVERIFY(writeBytes(config + "/Trovix.ini", settings));
        for (const QString& file : {mine, other, config + "/Trovix.ini"}) {
            QVERIFY(age(file));
        }
        const QStringList before = tree(installed.root.path());
        const QString end = QString::fromLatin1(platform::nativeLineEnd());
        const struct {
            QStringList arguments;
            QString out;
            const char* errors;
            int exitCode;
        } cases[] = {
            {{"--find", "SMITH"},
             "mine.txt:Smith" + end + "mine.txt:-----555" + end + other + ":smith too" + end,
             "",
             0},
            {{"--find", "smith", "--case"}, other + ":smith too" + end, "", 0},
            {{"--find", "smith", "--count"}, "mine.txt:1" + end + other + ":1" + end, "", 0},
            {{"--find", "jones", "--files-with-matches"}, "mine.txt" + end, "", 0},
            {{"--find", "nobody"}, "", "", 1},
            {{"--find", "555", mine}, "Smith" + end + "-----555" + end, "", 0},
            {{"--find", "555", "nofile.txt"}, "", "trovix7: nofile.txt: ", 2},
            {{"--find", "555", "--bogus"}, "", "trovix7: Unknown option 'bogus'.", 2},
        };
        for (const auto& c : cases) {
            QProcess process;
            installed.start(process, c.arguments, false);
            QVERIFY(process.waitForFinished(20000));
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            const QString errors = QString::fromUtf8(process.readAllStandardError());
            QVERIFY2(process.exitStatus() == QProcess::NormalExit &&
                         process.exitCode() == c.exitCode && out == c.out &&
                         (*c.errors != '\0' ? errors.startsWith(c.errors) : errors.isEmpty()),
                     qPrintable(QStringLiteral("%1: exit %2\n%3%4")
                                    .arg(c.arguments.join(u' '))
                                    .arg(process.exitCode())
                                    .arg(out, errors)));
        }
        QCOMPARE(tree(installed.root.path()), before);
        QCOMPARE(readBytes(config + "/Trovix.ini"), settings);

#ifdef Q_OS_LINUX
        // The dynamic loader names every library it loads: QtCore, but no GUI module.
        QProcess traced;
        QProcessEnvironment environment = installed.environment(false);
        environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
        traced.setProcessEnvironment(environment);
        traced.start(installed.program, {"--find", "smith"});
        QVERIFY(traced.waitForFinished(20000) && traced.exitCode() == 0);
        const QByteArray loaded = traced.readAllStandardError();
        QVERIFY2(loaded.contains("libQt6Core") && !loaded.contains("libQt6Gui") &&
                     !loaded.contains("libQt6Widgets"),
                 loaded.constData());
#endif
    }

    // Qt takes its own options out of the command line, and a file name with them when it
    // follows one that takes a value; what start-up does not use is named.
    void argumentsThatAreNotUsedAreNamed() {
        const InstalledProgram installed;
        QProcess process;
        installed.start(process, {"-reverse", "b.txt", "c.txt"}, true);
        QByteArray errors;
        QDeadlineTimer deadline(20000);
        while (!errors.contains("c.txt") && !deadline.hasExpired() &&
               process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(200);
            errors += process.readAllStandardError();
        }
        process.kill();
        process.waitForFinished();
        QVERIFY2(errors.contains("trovix7: not used: b.txt c.txt\n"), errors.constData());
    }

    // A program copied alone into another folder names the file to copy with it.
    void aProgramCopiedAloneSaysWhatToCopyWithIt() {
        const QTemporaryDir folder;
        const QString program = folder.filePath(QFileInfo(TROVIX_PROGRAM).fileName());
        QVERIFY(QFile::copy(QStringLiteral(TROVIX_PROGRAM), program));
        QProcess process;
        process.start(program, {});
        QVERIFY(process.waitForFinished(20000));
        const QByteArray errors = process.readAllStandardError();
        QVERIFY2(process.exitCode() == 2 &&
                     errors.contains("copy " + QFileInfo(TROVIX_WINDOW).fileName().toUtf8() +
                                     " into the same folder."),
                 errors.constData());
    }

    void threeNamesOnTheCommandLineBecomeTheDataFiles() {
        for (const char* commandLine : {"one.txt two.txt three.txt", "one.txt|two.txt|three.txt"}) {
            World w;
            QVERIFY(writeBytes(w.path("one.txt"), "uno\r\n"));
            QVERIFY(writeBytes(w.path("two.txt"), "dos\r\n"));
            QVERIFY(writeBytes(w.path("three.txt"), "tres\r\n"));
            w.put("FileA", QStringLiteral("old.txt"));
            // The names are relative to the program folder, wherever the program was started.
            QTemporaryDir elsewhere;
            QDir::setCurrent(elsewhere.path());
            auto state = w.start(commandLine);
            QCOMPARE(firstRows(*state), QStringList({"uno", "dos", "tres"}));
            QVERIFY(app::unusedArguments(QString::fromLatin1(commandLine).split(u'|')).isEmpty());
        }

        // Any other number of parts is ignored: the stored names stay.
        for (const char* commandLine :
             {"one.txt two.txt  three.txt", "one.txt|two.txt", "a|b|c|d"}) {
            World w;
            w.put("FileA", QStringLiteral("old.txt"));
            auto state = w.start(commandLine);
            QVERIFY2(state->fileSlots[0].fileName == QStringLiteral("old.txt"), commandLine);
            // The user is told that they were not used.
            const QStringList arguments = QString::fromLatin1(commandLine).split(u'|');
            QCOMPARE(app::unusedArguments(arguments), arguments);
        }
    }

    void aCommandLineNameThatIsNotValidUtf8IsRefused() {
#ifndef Q_OS_UNIX
        QSKIP("file names of any bytes are Unix's");
#else
        World w;
        w.writeDataFiles();
        // The file is there by its bytes; Qt would show them as "\uFFFD\uFFFD.txt".
        const QByteArray bytes = QFile::encodeName(w.folder.path()) + "/\xFF\xFE.txt";
        QVERIFY(testing::writeByName(bytes, "theirs\r\n"));
        w.put("FileA", QString::fromLatin1(kFiles[0]));
        const auto started = w.start(QStringList{platform::fileNameFromBytes("\xFF\xFE.txt"),
                                                 QStringLiteral("b.txt"), QStringLiteral("c.txt")});
        MainState& state = *started;
        // Told, by the name's bytes, and none of the three names taken or stored.
        QCOMPARE(w.messages.shown.size(), 1);
        QVERIFY(w.messages.shown[0].text.contains("\"\\xFF\\xFE.txt\"") &&
                w.messages.shown[0].text.contains("not valid UTF-8"));
        QCOMPARE(w.store.sections[kSection], Section({{"FileA", kFiles[0]}}));
        QCOMPARE(firstRows(state).first(), QStringLiteral("Smith 555-1234"));
        // Saved and closed, nothing is written under a name the user did not give.
        change(state, 0, QStringLiteral("edited"));
        state.options.setChecked(Option::AutoSave, true);
        QVERIFY(app::queryClose(state));
        app::unload(state);
        QVERIFY(!QFileInfo::exists(w.folder.filePath(QStringLiteral("\uFFFD\uFFFD.txt"))));
        QCOMPARE(readBytes(w.path(kFiles[0])), QByteArray("edited\r\nJones\r\n"));
        QCOMPARE(::unlink(bytes.constData()), 0);  // a name the folder's removal cannot reach

        // A name whose bytes are valid UTF-8 is taken as it is.
        QCOMPARE(platform::fileNameFromBytes("Zo\xC3\xAB.txt"), QStringLiteral("Zoë.txt"));
#endif
    }

    void aFileTooLargeForTheMemoryLeftIsNeitherLoadedNorRemembered() {
        World w;
        w.writeDataFiles();
        QVERIFY(writeBytes(w.path("big.txt"), QByteArray(1000, '\n')));  // 1,001 records of 8 bytes
        w.memory.given = {(qint64{64} << 20) + 4096, QStringLiteral("the test's limit")};
        const auto started = w.start("big.txt|taglines.txt|area_codes.txt");
        MainState& state = *started;

        // Told which file and why; the first list shows its usual file instead.
        const QString usual = w.path(kFiles[0]);
        QCOMPARE(w.messages.shown.size(), 1);
        const QString told = w.messages.shown[0].text;
        QVERIFY2(told.startsWith(QStringLiteral("The data file \"big.txt\" was not opened:\nIts "
                                                "1,001 records would take about")) &&
                     told.contains(QStringLiteral("(the test's limit).")) &&
                     told.endsWith(QStringLiteral("List 1 shows \"%1\" in its place.").arg(usual)),
                 qPrintable(told));
        QCOMPARE(state.fileSlots[0].fileName, usual);
        QCOMPARE(firstRows(state), QStringList({"Smith 555-1234", "one", "212 New York"}));
        // The name is not remembered, so the next start does not meet the file again.
        app::unload(state);
        QCOMPARE(w.store.sections[kSection][QStringLiteral("FileA")], usual);

        // Choosing it later keeps the list's file and records.
        state.fileSlots[0].fileName = w.path("big.txt");
        records::loadFile(state.files(), lists::SlotId::A);
        QCOMPARE(state.fileSlots[0].fileName, usual);
        QCOMPARE(state.fileSlots[0].records.text(0), QStringLiteral("Smith 555-1234"));
        QVERIFY(w.messages.shown.last().text.endsWith(
            QStringLiteral("List 1 keeps the records of \"%1\".").arg(usual)));

        // The usual file itself too large: the list stays empty and is never saved over it,
        // whatever the user answers.
        QVERIFY(writeBytes(usual, QByteArray(1000, '\n')));
        auto again = w.start();
        again->fileSlots[0].changed = true;
        w.messages.choiceAnswers = {0, 0};
        QVERIFY(!records::saveFile(again->files(), lists::SlotId::A));
        QCOMPARE(readBytes(usual), QByteArray(1000, '\n'));
    }

    void aCancelledReadingListsTheFileAsNotFoundAndIsNotRemembered() {
        // Long records are split while they are read; a file of line breaks alone is read
        // whole first. Either way the reading tells each piece and stops when told.
        const QByteArray longRecords =
            QByteArray(
                "A record of a good length, one of many, long enough to be split while it "
                "is read.\n")
                .repeated((9 << 20) / 90);
        const QByteArray lineBreaks((9 << 20), '\n');
        for (const QByteArray* bytes : {&longRecords, &lineBreaks}) {
            World w;
            w.writeDataFiles();
            QVERIFY(writeBytes(w.path("big.txt"), *bytes));
            w.services.loading.cancelAfter = 1;
            const auto started = w.start("big.txt|taglines.txt|area_codes.txt");
            MainState& state = *started;
            QCOMPARE(w.services.loading.files,
                     QStringList({"big.txt", "taglines.txt", "area_codes.txt"}));
            QCOMPARE(w.services.loading.endings, 3);
            // The small files read in one piece, so only the large one was stopped.
            QCOMPARE(firstRows(state), QStringList({"<file not found>", "one", "212 New York"}));
            QCOMPARE(state.fileSlots[0].records.size(), 1);
            QVERIFY(w.messages.shown.isEmpty());
            // It is never saved over, and the next start reads the usual file in its place.
            state.fileSlots[0].changed = true;
            QVERIFY(!records::saveFile(state.files(), lists::SlotId::A));
            QCOMPARE(readBytes(w.path("big.txt")), *bytes);
            app::unload(state);
            QCOMPARE(w.store.sections[kSection][QStringLiteral("FileA")], w.path(kFiles[0]));

            // Read to the end, every piece told in order up to the whole size, and remembered.
            w.services.loading.cancelAfter = -1;
            state.fileSlots[0].fileName = w.path("big.txt");
            records::loadFile(state.files(), lists::SlotId::A);
            QCOMPARE(state.fileSlots[0].records.size(), bytes->count('\n') + 1);
            const QList<qint64>& told = w.services.loading.reported;
            QVERIFY2(told.size() >= 3 && std::is_sorted(told.begin(), told.end()) &&
                         told.last() == bytes->size() &&
                         w.services.loading.lastTotal == told.last(),
                     qPrintable(QString::number(told.size())));
            app::unload(state);
            QCOMPARE(w.store.sections[kSection][QStringLiteral("FileA")], w.path("big.txt"));
        }
    }

    void updateFilesAreWrittenOnlyWhenOutOfDateAndNeverStopStartUp() {
        World w;
        const QString patchlet = w.path("Patchlet.dat");
        const QString ver = w.path("trovix7.ver");
        QVERIFY(writeBytes(w.path("phone_numbers.txt"), "Smith 555\r\n"));
        // No program file "trovix7" in the program folder: the running program's size counts.
        const QString running = w.path("running");
        QVERIFY(writeBytes(running, QByteArray(777, 'y')));
        const auto files = [&] { return readBytes(patchlet) + '|' + readBytes(ver); };
        w.start("", running);
        QCOMPARE(files(), "Trovix7\r\ntrovix7\r\n7.1.319.777\r\n|7.1.319.777");

        // Up to date: neither file is touched.
        QVERIFY(age(patchlet));
        QVERIFY(age(ver));
        w.start("", running);
        QVERIFY(aged(patchlet) && aged(ver));

        // The program file in the folder counts before the running one: both are rewritten.
        QVERIFY(writeBytes(w.path("trovix7"), QByteArray(12345, 'x')));
        w.start("", running);
        QCOMPARE(files(), "Trovix7\r\ntrovix7\r\n7.1.319.12345\r\n|7.1.319.12345");

        // Only the file that is out of date is written; a line end makes it out of date.
        QVERIFY(age(patchlet));
        for (const char* stale : {"7.1.318.12345", "7.1.319.12345\r\n"}) {
            QVERIFY(writeBytes(ver, stale));
            w.start("", running);
            QVERIFY(readBytes(ver) == "7.1.319.12345" && aged(patchlet));
        }

        // Folders where the files belong cannot take them, whoever runs the test: start-up goes
        // on silently.
        QVERIFY(QFile::remove(patchlet) && QDir().mkdir(patchlet));
        QVERIFY(QFile::remove(ver) && QDir().mkdir(ver));
        auto state = w.start("", running);
        QVERIFY(w.messages.shown.isEmpty());
        QCOMPARE(firstRows(*state).first(), QStringLiteral("Smith 555"));
    }

    void theFirstWindowFollowsTheSettingsAndAnotherRunningCopy() {
        for (const bool yes : {false, true}) {
            World w;
            w.put("MainLeft", QStringLiteral("3000"));
            w.put("MainTop", QStringLiteral("2500"));
            w.put("FullDataView", yes ? QStringLiteral("1") : QStringLiteral("0"));
            w.instance.running = yes;
            auto state = w.start();
            // A second copy opens up and to the left of the first.
            const double shift = yes ? 500 : 0;
            QCOMPARE(state->frame.placement(), (TwipRect{3000 - shift, 2500 - shift, 5505, 5190}));
            // The full data view cannot add, delete or sort records.
            QString enabled;
            for (const Command c : {Command::New, Command::Delete, Command::Sort, Command::Find,
                                    Command::Edit, Command::Data}) {
                enabled += state->toolbar.button(c).enabled ? u'1' : u'0';
            }
            QCOMPARE(enabled, yes ? "000111" : "111111");
        }
    }

    void closingSavesWhatTheUserChoosesAndStoresTheSettingsOnlyWhenItCloses() {
        const struct {
            bool autoSave;
            MessageAnswer answer;
        } cases[] = {{false, MessageAnswer::Yes},
                     {false, MessageAnswer::No},
                     {false, MessageAnswer::Cancel},
                     {true, MessageAnswer::Cancel}};
        for (const auto& c : cases) {
            World w;
            w.writeDataFiles();
            auto state = w.start();
            state->options.setChecked(Option::AutoSave, c.autoSave);
            // Unchanged files close without a question and without a write.
            QVERIFY(app::queryClose(*state));
            QVERIFY(w.untouched(0) && w.untouched(1) && w.untouched(2));
            QVERIFY(w.messages.shown.isEmpty());

            change(*state, 0, QStringLiteral("Smith 555-0000"));
            change(*state, 2, QStringLiteral("213 Los Angeles"));
            w.messages.answers = {c.answer};
            // AutoSave saves without asking. Otherwise Yes saves, No drops the changes, and
            // Cancel keeps the window open with the changes still there.
            const bool saves = c.autoSave || c.answer == MessageAnswer::Yes;
            const bool closes = c.autoSave || c.answer != MessageAnswer::Cancel;
            QCOMPARE(app::closeRequested(*state), closes);
            QVERIFY(c.autoSave ? w.messages.shown.isEmpty()
                               : w.messages.shown.size() == 1 &&
                                     w.messages.shown[0].text == "Save Changes?" &&
                                     w.messages.shown[0].buttons == MessageButtons::YesNoCancel);
            if (!c.autoSave) {  // the question names the changed files
                QCOMPARE(w.messages.shown[0].more,
                         QStringLiteral("Changed files: %1, %2")
                             .arg(QString::fromLatin1(kFiles[0]), QString::fromLatin1(kFiles[2])));
            }
            // Only the changed files are written; the settings only when the window closes.
            QCOMPARE(readBytes(w.path(kFiles[0])) + readBytes(w.path(kFiles[2])),
                     saves ? "Smith 555-0000\r\nJones\r\n213 Los Angeles\r\n"
                           : kContent[0] + kContent[2]);
            QVERIFY(w.untouched(1) && state->fileSlots[0].records.text(0) == "Smith 555-0000");
            QVERIFY(state->fileSlots[0].changed != saves && state->fileSlots[2].changed != saves);
            QCOMPARE(w.store.sections.contains(kSection), closes);
        }
    }

    void aFailedSaveKeepsTheWindowOpenAndTheChanges() {
        for (const bool autoSave : {true, false}) {
            World w;
            w.writeDataFiles();
            auto state = w.start();
            state->options.setChecked(Option::AutoSave, autoSave);
            // The slot read a file in a folder that is gone since.
            const QString missing = w.path("gone/phone_numbers.txt");
            state->fileSlots[0].fileName = missing;
            state->fileSlots[0].disk().stamp = {};
            change(*state, 0, QStringLiteral("precious"));
            change(*state, 1, QStringLiteral("also precious"));

            // Unscripted, the question is answered Yes, and the failure keeps the window open.
            QVERIFY(!app::queryClose(*state));
            // The user is told which file failed, by name, and may close without it.
            QCOMPARE(w.messages.shown.size(), autoSave ? 1 : 2);
            QVERIFY(w.messages.shown.last().text.contains(missing));
            QCOMPARE(w.messages.shown.last().choices,
                     QStringList({"Close Without Saving", "Keep the Window Open"}));
            QVERIFY(state->fileSlots[0].changed &&
                    state->fileSlots[0].records.text(0) == QStringLiteral("precious"));
            // Whatever was not written is still marked changed.
            QVERIFY(state->fileSlots[1].changed ||
                    readBytes(w.path(kFiles[1])) == QByteArray("also precious\r\ntwo\r\n"));

            // Closing without that file still saves the others.
            w.messages.choiceAnswers = {0};
            QVERIFY(app::queryClose(*state));
            QVERIFY(state->fileSlots[0].changed && !state->fileSlots[1].changed);

            // With the folder there, the next close saves everything.
            QVERIFY(QDir(w.folder.path()).mkdir(QStringLiteral("gone")));
            QVERIFY(app::queryClose(*state));
            QCOMPARE(readBytes(missing) + readBytes(w.path(kFiles[1])),
                     "precious\r\nJones\r\nalso precious\r\ntwo\r\n");
            QVERIFY(!state->fileSlots[0].changed && !state->fileSlots[1].changed);
        }

        // Whatever step of the save at close fails, the file is whole (old or new), and a file
        // left old keeps its change and the window open.
        for (int step = 0;; ++step) {
            World w;
            w.writeDataFiles();
            auto state = w.start();
            state->options.setChecked(Option::AutoSave, true);
            change(*state, 0, QStringLiteral("precious"));
            w.services.disk.plan({{step}, -1});
            const bool closes = app::queryClose(*state);
            const int steps = w.services.disk.steps();
            w.services.disk.plan({});
            const QByteArray now = readBytes(w.path(kFiles[0]));
            QVERIFY2(now == kContent[0] ? !closes && state->fileSlots[0].changed
                                        : now == "precious\r\nJones\r\n" && closes,
                     qPrintable(QString::number(step)));
            if (step >= steps) {
                break;  // the last round failed nothing
            }
        }
    }

    void missingOrUnreadableValuesGiveTheDefaults() {
        const QString dir = QStringLiteral("/opt/trovix") + QDir::separator();
        const QStringList defaults = {
            "place 1200,1200 5505x5190",
            "options 1000011",
            "buttons 11110",
            "size 1 focus 1 gap 2700",
            "files " + dir + "phone_numbers.txt|" + dir + "taglines.txt|" + dir + "area_codes.txt",
            "history |||||||||",
            "font Courier New 10 0 0"};
        // Text keys always convert, so they still apply beside the broken ones. A settings file
        // from before "Reload Changed Files" and "Highlight Matches" has no keys for them: they
        // read as ticked. A button's value other than 0 or 1 gives its default, pressed (ShowC)
        // or not (FullDataView).
        const Section broken = section(
            "MainLeft=left;MainTop=12x;MainWidth=;MainHeight=tall;IgnoreCase=maybe;Typing=maybe;"
            "DisplayFileNames=;AutoSave=sometimes;OnTop=maybe;AllowEdit=yes;ShowA=;ShowB=on;"
            "ShowC=2;FullDataView=-1;DisplaySize=big;ListWithFocus=second;Gap=wide;"
            "FontSize=1O;FontBold=maybe;FontItalic=slanted;FileA=kept.txt;FontName=Kept Mono");
        QStringList brokenExpected = defaults;
        brokenExpected.replaceInStrings(dir + "phone_numbers.txt", "kept.txt")
            .replaceInStrings("Courier New", "Kept Mono");

        // First run (no section at all), and every key holding text that does not convert.
        for (const bool withSection : {false, true}) {
            platform::FakeSettingsStore store;
            if (withSection) {
                store.sections[kSection] = broken;
            }
            const auto before = store.sections;
            SettingsRun stateRun(store);
            MainState& state = stateRun.state;
            state.programFolder = QStringLiteral("/opt/trovix");
            setNonDefaults(state);
            app::settings(state, app::SettingsTask::Read);
            QCOMPARE(describe(state), withSection ? brokenExpected : defaults);
            QCOMPARE(store.sections, before);  // reading never writes
        }

        // One broken window measure does not take the others with it.
        platform::FakeSettingsStore store;
        store.sections[kSection] =
            section("MainLeft=3000;MainTop=nope;MainWidth=6000;MainHeight=?");
        SettingsRun stateRun(store);
        MainState& state = stateRun.state;
        app::settings(state, app::SettingsTask::Read);
        QCOMPARE(state.frame.placement(), (TwipRect{3000, 1200, 6000, 5190}));

        // The list with focus by its number: any number but 1 to 3 means none.
        for (const int number : {3, 0, 4, -1}) {
            store.sections[kSection] = {{QStringLiteral("ListWithFocus"), QString::number(number)}};
            app::settings(state, app::SettingsTask::Read);
            QCOMPARE(lists::listNumber(state.listWithFocus), number == 3 ? 3 : 0);
        }
    }

    void everyKeySurvivesARoundTripInItsTextForm() {
        platform::FakeSettingsStore store;
        SettingsRun stateRun(store);
        MainState& state = stateRun.state;
        setNonDefaults(state);
        app::settings(state, app::SettingsTask::Write);

        const Section expected = section(
            "MainLeft=-300;MainTop=1800.5;MainWidth=7000;MainHeight=6015;IgnoreCase=False;"
            "Typing=True;DisplayFileNames=True;AutoSave=True;OnTop=True;ReloadChangedFiles=False;"
            "HighlightMatches=False;AllowEdit=0;ShowA=0;"
            "ShowB=0;ShowC=0;FullDataView=1;DisplaySize=2;ListWithFocus=0;Gap=3333;"
            "FileA=/home/me/people.txt;FileB=sayings with blanks.txt;FileC=codes.txt;ST0=newest;"
            "ST1=;ST2=third;ST3=;ST4=;ST5=;ST6=;ST7=;ST8=;ST9=oldest;FontName=Lucida Console;"
            "FontSize=12;FontBold=True;FontItalic=True");
        QCOMPARE(store.sections.keys(), QStringList({kSection}));
        QCOMPARE(store.sections[kSection], expected);
        QVERIFY(store.syncCount >= 1);

        // Read back into a window holding the defaults, which differ from every written value.
        platform::FakeSettingsStore empty;
        SettingsRun againRun(empty);
        MainState& again = againRun.state;
        app::settings(again, app::SettingsTask::Read);
        again.services.settings = store;
        app::settings(again, app::SettingsTask::Read);
        QCOMPARE(describe(again), describe(state));
    }

    void aMaximisedOrMinimisedWindowKeepsItsLastNormalPlace() {
        for (const WindowState windowState : {WindowState::Maximized, WindowState::Minimized}) {
            platform::FakeSettingsStore store;
            const Section before =
                section("MainLeft=111;MainTop=222;MainWidth=6333;MainHeight=5444;Gap=2000");
            store.sections[kSection] = before;
            SettingsRun stateRun(store);
            MainState& state = stateRun.state;
            state.frame.setPlacement({0, 0, 20000, 15000});
            state.frame.setWindowState(windowState);
            state.gap = 3000;
            app::settings(state, app::SettingsTask::Write);
            const Section& after = store.sections[kSection];
            for (const QString& k : kWindowKeys) {
                QCOMPARE(after.value(k), before.value(k));
            }
            // Everything else is still written.
            QCOMPARE(after.value(QStringLiteral("Gap")), QStringLiteral("3000"));
            QCOMPARE(after.size(), 36);
        }
    }

    // Settings cannot put the window where its title bar cannot be reached, nor make its text
    // unreadable; what the window shows instead is what it stores.
    void aWindowOrFontOutOfReachIsBroughtBackAndStoredSo() {
        const QRect primary(0, 0, 1920, 1080);
        const QRect right(1920, 0, 1280, 1024);
        const QRect left(-1280, 0, 1280, 1024);
        const QRect belowAPanel(0, 32, 1920, 1048);
        // At 96 dpi a pixel is 15 twips; the default window is 367 x 346 pixels. A window with
        // a corner off every screen goes wholly onto the one it overlaps most, or the nearest.
        const auto at = [](double x, double y) { return TwipRect{x, y, 5505, 5190}; };
        const struct {
            const char* name;
            QList<QRect> screens;
            TwipRect stored, placed;
            double dpi = 96;
        } cases[] = {
            {"on the screen", {primary}, at(1200, 1200), at(1200, 1200)},
            {"across two screens", {primary, right}, at(1900 * 15, 1200), at(1900 * 15, 1200)},
            {"last column on", {primary}, at(1919 * 15, 1200), at(1553 * 15, 1200)},
            {"bottom row on", {primary}, at(1200, -345 * 15), at(1200, 0)},
            {"under a panel", {belowAPanel}, at(1200, 0), at(1200, 32 * 15)},
            {"right screen", {primary, right}, at(60000, 1500), at(2833 * 15, 1500)},
            {"left screen", {primary, left}, at(-75000, 0), at(-1280 * 15, 0)},
            {"too large", {primary}, {6e4, 6e4, 4e4, 3e4}, {0, 0, 1920 * 15, 1080 * 15}},
            {"beyond any pixel", {primary}, {1e308, -1e308, 1e20, 5190}, {0, 0, 1920 * 15, 5190}},
            // A half pixel rounds away from zero: the window's edge is then off the screen.
            {"half a pixel right", {primary}, at(1553.5 * 15, 1200), at(1553 * 15, 1200)},
            {"half a pixel up", {primary}, at(1200, -0.5 * 15), at(1200, 0)},
            // At 192 dpi a pixel is 7.5 twips and the window 734 x 692 pixels.
            {"high dpi", {primary}, at(20000, 1200), at(1186 * 7.5, 1200), 192},
        };
        for (const auto& c : cases) {
            platform::FakeSettingsStore store;
            const double stored[] = {c.stored.left, c.stored.top, c.stored.width, c.stored.height};
            for (int i = 0; i < 4; ++i) {
                store.sections[kSection][kWindowKeys[i]] = QString::number(stored[i]);
            }
            SettingsRun run(store);
            run.services.screen.dpi = c.dpi;
            run.services.screen.available = c.screens;
            MainState& state = run.state;
            app::settings(state, app::SettingsTask::Read);
            QVERIFY2(state.frame.placement() == c.placed,
                     qPrintable(QString::fromLatin1(c.name) + ": " + describe(state)[0]));
            app::settings(state, app::SettingsTask::Write);
            QCOMPARE(store.sections[kSection][QStringLiteral("MainWidth")],
                     app::measureText(c.placed.width));
        }
        // A second copy opens up and to the left of the first, but not off the screen.
        World w;
        w.put("MainLeft", QStringLiteral("300"));
        w.put("MainTop", QStringLiteral("0"));
        w.instance.running = true;
        QCOMPARE(w.start()->frame.placement(), (TwipRect{0, 0, 5505, 5190}));

        // Font sizes between 6 and 72 points are kept; others are brought to the nearer end.
        const char* const texts[] = {"2147483647", "73", "72", "6", "5", "0", "-2147483648"};
        const int sizes[] = {72, 72, 72, 6, 6, 6, 6};
        for (int i = 0; i < 7; ++i) {
            const char* text = texts[i];
            const int size = sizes[i];
            platform::FakeSettingsStore store;
            store.sections[kSection][QStringLiteral("FontSize")] = QString::fromLatin1(text);
            SettingsRun stateRun(store);
            MainState& state = stateRun.state;
            app::settings(state, app::SettingsTask::Read);
            QVERIFY2(state.frame.font().size == size, text);
            app::settings(state, app::SettingsTask::Write);
            QCOMPARE(store.sections[kSection][QStringLiteral("FontSize")], QString::number(size));
        }
    }
};

QTEST_GUILESS_MAIN(TestStartupAndShutdown)
#include "test_startup_and_shutdown.moc"
