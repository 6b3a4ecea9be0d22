#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>

#include <csignal>
#endif

#include "app/command_line.h"
#include "app/event_handlers.h"
#include "app/home_folder.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "platform/fake/fake_services.h"
#include "platform/file_names.h"
#include "platform/native.h"
#include "platform/save_journal.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"
#include "support/files.h"

using namespace trovix;
using namespace trovix::platform;
using namespace trovix::testing;

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
    platform::FakeMemoryLimits& memory = services.memory;
    platform::FakeScreen& screen = services.screen;

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
    // A fresh window state started up in this world, as the program does on every run.
    std::unique_ptr<MainState> start(const QStringList& arguments = {},
                                     const QString& runningProgram = {},
                                     const QList<InterruptedSave>& interrupted = {}) {
        auto state = std::make_unique<MainState>(services.services());
        state->programFolder = folder.path();
        app::startUp(*state, {arguments, runningProgram, interrupted});
        if (state->busy) {
            QTest::qFail("still busy after start-up", __FILE__, __LINE__);
        }
        return state;
    }
};

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
                QDir().mkpath(home) && QDir().mkpath(root.filePath("runtime")));
        QVERIFY(QFile::setPermissions(root.filePath("runtime"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::copy(QStringLiteral(TROVIX_PROGRAM), program));
        // The window library where the installed program looks for it.
        const QString window = root.filePath("usr/bin/" TROVIX_WINDOW_FROM_PROGRAM);
        QVERIFY(QDir().mkpath(window) &&
                QFile::copy(QStringLiteral(TROVIX_WINDOW),
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
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath("runtime"));
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
    QTemporaryDir state_;  // the per-user state folder, where rollback copies go

  private Q_SLOTS:
    void initTestCase() {
        startFolder_ = QDir::currentPath();
        qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
    }
    // Start-up makes the program folder current; the next test must not run inside a removed
    // temporary folder.
    void cleanup() { QDir::setCurrent(startFolder_); }

    void clearDeletesTheStoredSettingsAndSaysSo() {
        World w, locked;
        w.put("FileA", QStringLiteral("mine.txt"));
        QVERIFY(writeBytes(w.path("phone_numbers.txt"), "Smith 555\r\n"));
        // The defaults apply, the default data file included, and the user is told.
        QCOMPARE(firstRows(*w.start({"clear"})).first(), QStringLiteral("Smith 555"));
        QVERIFY(!w.store.sections.contains(kSection) && w.messages.shown.size() == 1 &&
                w.messages.shown[0].text == "Registry settings were deleted for Trovix." &&
                w.messages.shown[0].icon == MessageIcon::Information);
        // Settings that cannot be deleted are not reported deleted; at close, settings that
        // cannot be stored are reported once, with the reason.
        locked.store.failSync = true;
        auto lockedState = locked.start({"clear"});
        const QList<platform::ShownMessage>& told = locked.messages.shown;
        QVERIFY(told[0].text.startsWith("The settings of Trovix could not be deleted") &&
                told[0].text.contains(locked.store.failReason));
        QVERIFY(app::closeRequested(*lockedState) && told.size() == 2 &&
                told[1].text.contains("could not be stored"));
        // Anything but exactly "clear" leaves the settings alone.
        for (const char* commandLine : {"Clear", " clear", "clear|now"}) {
            World kept;
            kept.put("MainLeft", QStringLiteral("3000"));
            QVERIFY2(
                kept.start(QString::fromLatin1(commandLine).split(u'|'))->frame.placement().left ==
                        3000 &&
                    kept.messages.shown.isEmpty(),
                commandLine);
        }
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
            {"--find|--count|smith", Request::Mistake,
             "'--find' needs the words to find first: trovix7 --find \"words\" [--count] "
             "[file...]"},
            {"--find|-n", Request::Mistake,
             "'--find' needs the words to find first: trovix7 --find \"words\" [--count] "
             "[file...]"},
            {"-n|a.txt", Request::Mistake, "'--line-number' goes with '--find'."},
            {"--find|a|--color=blue", Request::Mistake, "'--color' is auto, always or never."},
            {"--find|-x|--colour|never|-", Request::Find, "-"},
        };
        for (const auto& c : cases) {
            QStringList typed = QString::fromLatin1(c.line).split(u'|', Qt::SkipEmptyParts);
            typed.prepend(QStringLiteral("trovix7"));
            const app::CommandLine read = app::readCommandLine(typed);
            QVERIFY2(read.request == c.request, c.line);
            QCOMPARE(c.request == Request::Mistake ? read.mistake : read.arguments.join(u'|'),
                     QString::fromLatin1(c.arguments));
        }

        const app::CommandLine find =
            app::readCommandLine({"trovix7", "--case", "--find", "Smith", "--files-with-matches",
                                  "-n", "--color=always", "x.txt"});
        QVERIFY(find.find.text == "Smith" && find.find.matchCase && !find.find.count &&
                find.find.filesWithMatches && find.find.lineNumbers &&
                find.find.colour == app::FindRequest::Colour::Always &&
                find.arguments == QStringList({"x.txt"}));

        // Qt's options are in the help only when asked for.
        const app::HomeFolder home{QStringLiteral("/home/me/.local/share/Trovix"), true};
        QVERIFY(!app::helpText(home, false).contains("--reverse") &&
                app::helpText(home, true).contains("--style <style>"));
    }

    // Help, the version, --find and a mistaken command line need no display, answer with their
    // exit code and change nothing on disk, not even for an installed program, whose first start
    // makes the per-user folder and copies the samples there; with a display, they do not open
    // the window either. --find with no file named searches the data files of the settings (a
    // relative name in the data folder; one that is missing is passed over), and loads no GUI
    // module; piped to, it searches its standard input instead.
    void theCommandLineIsAnsweredWithoutADisplayAndChangesNothing() {
        const InstalledProgram installed;
        const QString data = installed.home + "/.local/share/Trovix";
        const QString config = installed.home + "/.config/Trovix";
        const QString other = installed.root.filePath("other.txt");
        QVERIFY(QDir().mkpath(data) && QDir().mkpath(config) &&
                writeBytes(data + "/mine.txt", "Smith\r\n-----555\r\nJones\r\n") &&
                writeBytes(other, "smith too\n") &&
                writeBytes(config + "/Trovix.ini", "[Settings]\nFileA=mine.txt\nFileB=" +
                                                       other.toUtf8() + "\nFileC=gone.txt\n"));
        for (const QString& file : {data + "/mine.txt", other, config + "/Trovix.ini"}) {
            QVERIFY(age(file));
        }
        const QStringList before = tree(installed.root.path());
        const QString end = QString::fromLatin1(platform::nativeLineEnd());
        // The arguments, separated by '|'; what the output holds; what the error output starts
        // with (none: it is empty).
        const struct {
            const char* arguments;
            QString out, errors;
            bool display;
            int exitCode;
            const char* input = nullptr;  // piped to the standard input; none is /dev/null
        } cases[] = {
            {"-h", "(the per-user data folder", "", false, 0},
            {"--version", "Trovix 7.", "", true, 0},
            {"--version|--bogus", "", "trovix7: Unknown option 'bogus'.\nUsage: trovix7", false, 2},
            {"--find|SMITH",
             "mine.txt:Smith" + end + "mine.txt:-----555" + end + other + ":smith too" + end, "",
             false, 0},
            {"--find|SMITH", "piped smith" + end, "", false, 0, "piped smith\nnot\n"},
        };
        for (const auto& c : cases) {
            QProcess process;
            if (c.input == nullptr) {
                process.setStandardInputFile(QProcess::nullDevice());
            }
            installed.start(process, QString::fromLatin1(c.arguments).split(u'|'), c.display);
            if (c.input != nullptr) {
                process.write(c.input);
                process.closeWriteChannel();
            }
            QVERIFY2(process.waitForFinished(20000), c.arguments);
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            const QString errors = QString::fromUtf8(process.readAllStandardError());
            // Help names the per-user folder, made or not.
            QVERIFY2(
                process.exitStatus() == QProcess::NormalExit && process.exitCode() == c.exitCode &&
                    out.contains(c.out) &&
                    (c.errors.isEmpty() ? errors.isEmpty() : errors.startsWith(c.errors)) &&
                    (!out.startsWith("Usage:") || out.contains(QDir::toNativeSeparators(data))),
                qPrintable(c.arguments + (": " + out + errors)));
        }
        QCOMPARE(tree(installed.root.path()), before);
#ifdef Q_OS_LINUX
        // The dynamic loader names every library it loads: QtCore, but no GUI module.
        QProcess traced;
        QProcessEnvironment environment = installed.environment(false);
        environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
        traced.setProcessEnvironment(environment);
        traced.setStandardInputFile(QProcess::nullDevice());
        traced.start(installed.program, {"--find", "smith"});
        QVERIFY(traced.waitForFinished(20000) && traced.exitCode() == 0);
        const QByteArray loaded = traced.readAllStandardError();
        QVERIFY2(loaded.contains("libQt6Core") && !loaded.contains("libQt6Gui") &&
                     !loaded.contains("libQt6Widgets"),
                 loaded.constData());
#endif
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

    // Three names become the data files, relative to the program folder wherever the program
    // was started; any other number of parts is ignored, the stored names stay, and the user is
    // told that they were not used.
    void threeNamesOnTheCommandLineBecomeTheDataFiles() {
        const struct {
            const char* line;  // '|' separates the arguments
            bool taken;
        } cases[] = {{"one.txt two.txt three.txt", true},
                     {"one.txt|two.txt|three.txt", true},
                     {"one.txt two.txt  three.txt", false},
                     {"one.txt|two.txt", false},
                     {"a|b|c|d", false}};
        for (const auto& c : cases) {
            World w;
            QVERIFY(writeBytes(w.path("one.txt"), "uno\r\n") &&
                    writeBytes(w.path("two.txt"), "dos\r\n") &&
                    writeBytes(w.path("three.txt"), "tres\r\n"));
            w.put("FileA", QStringLiteral("old.txt"));
            QTemporaryDir elsewhere;
            QDir::setCurrent(elsewhere.path());
            const QStringList arguments = QString::fromLatin1(c.line).split(u'|');
            auto state = w.start(arguments);
            QVERIFY2(c.taken ? firstRows(*state) == QStringList({"uno", "dos", "tres"})
                             : state->fileSlots[0].fileName == QStringLiteral("old.txt"),
                     c.line);
            QCOMPARE(app::unusedArguments(arguments), c.taken ? QStringList() : arguments);
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
        QCOMPARE(w.store.sections[kSection], (QMap<QString, QString>{{"FileA", kFiles[0]}}));
        QCOMPARE(firstRows(state).first(), QStringLiteral("Smith 555-1234"));
        // Saved and closed, nothing is written under a name the user did not give.
        change(state, 0, QStringLiteral("edited"));
        state.options.setChecked(Option::AutoSave, true);
        QVERIFY(app::queryClose(state));
        app::unload(state);
        QVERIFY(!QFileInfo::exists(w.folder.filePath(QStringLiteral("\uFFFD\uFFFD.txt"))));
        QCOMPARE(readBytes(w.path(kFiles[0])), QByteArray("edited\r\nJones\r\n"));
        QCOMPARE(::unlink(bytes.constData()), 0);  // a name the folder's removal cannot reach
#endif
    }

    void aFileTooLargeForTheMemoryLeftIsNeitherLoadedNorRemembered() {
        World w;
        w.writeDataFiles();
        QVERIFY(writeBytes(w.path("big.txt"), QByteArray(1000, '\n')));  // 1,001 records of 8 bytes
        w.memory.given = {(qint64{64} << 20) + 4096, QStringLiteral("the test's limit")};
        // The count is written in the user's digits and grouping.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto started = w.start({"big.txt", "taglines.txt", "area_codes.txt"});
        QLocale::setDefault(before);
        MainState& state = *started;

        // Told which file and why; the first list shows its usual file instead.
        const QString usual = w.path(kFiles[0]);
        QCOMPARE(w.messages.shown.size(), 1);
        const QString told = w.messages.shown[0].text;
        QVERIFY2(told.startsWith(QStringLiteral("The data file \"big.txt\" was not opened:\nIts "
                                                "1.001 records would take about")) &&
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
        QVERIFY(state.fileSlots[0].fileName == usual &&
                state.fileSlots[0].records.text(0) == QStringLiteral("Smith 555-1234"));

        // The usual file itself too large: the list stays empty and is never saved over it,
        // whatever the user answers.
        QVERIFY(writeBytes(usual, QByteArray(1000, '\n')));
        auto again = w.start();
        again->fileSlots[0].changed = true;
        w.messages.choiceAnswers = {0, 0};
        QVERIFY(!records::saveFile(again->files(), lists::SlotId::A));
        QCOMPARE(readBytes(usual), QByteArray(1000, '\n'));
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
        w.start({}, running);
        QCOMPARE(files(), "Trovix7\r\ntrovix7\r\n7.1.319.777\r\n|7.1.319.777");

        // Up to date: neither file is touched.
        QVERIFY(age(patchlet) && age(ver));
        w.start({}, running);
        QVERIFY(aged(patchlet) && aged(ver));

        // The program file in the folder counts before the running one: both are rewritten.
        QVERIFY(writeBytes(w.path("trovix7"), QByteArray(12345, 'x')));
        w.start({}, running);
        QCOMPARE(files(), "Trovix7\r\ntrovix7\r\n7.1.319.12345\r\n|7.1.319.12345");

        // Only the file that is out of date is written; a line end makes it out of date.
        QVERIFY(age(patchlet));
        for (const char* stale : {"7.1.318.12345", "7.1.319.12345\r\n"}) {
            QVERIFY(writeBytes(ver, stale));
            w.start({}, running);
            QVERIFY(readBytes(ver) == "7.1.319.12345" && aged(patchlet));
        }

        // Folders where the files belong cannot take them, whoever runs the test: start-up goes
        // on silently.
        QVERIFY(QFile::remove(patchlet) && QDir().mkdir(patchlet));
        QVERIFY(QFile::remove(ver) && QDir().mkdir(ver));
        auto state = w.start({}, running);
        QVERIFY(w.messages.shown.isEmpty());
        QCOMPARE(firstRows(*state).first(), QStringLiteral("Smith 555"));
    }

    // A second copy opens up and to the left of the first, but not off the screen. Where the
    // desktop places windows itself (Wayland), the stored place is kept as it was.
    void theFirstWindowFollowsTheSettingsAndAnotherRunningCopy() {
        const struct {
            const char *left, *top;
            bool running, placeable;
            TwipRect placed;
        } cases[] = {{"3000", "2500", false, true, {3000, 2500, 5505, 5190}},
                     {"3000", "2500", true, true, {2500, 2000, 5505, 5190}},
                     {"300", "0", true, true, {0, 0, 5505, 5190}},
                     {"300", "-99000", true, false, {300, -99000, 5505, 5190}}};
        for (const auto& c : cases) {
            World w;
            w.put("MainLeft", QString::fromLatin1(c.left));
            w.put("MainTop", QString::fromLatin1(c.top));
            w.instance.running = c.running;
            w.screen.placeable = c.placeable;
            QCOMPARE(w.start()->frame.placement(), c.placed);
        }
    }

    // Saves cut short, undone before start-up reads any file, are told: which file and why,
    // and what could not be put back is named with the place of its copy.
    void savesCutShortAreToldAtStartUp() {
        World w;
        w.writeDataFiles();
        using Outcome = InterruptedSave::Outcome;
        const QList<InterruptedSave> interrupted = {
            {Outcome::Restored, w.path(kFiles[0]), {}, {}},
            {Outcome::NotRestored, "/x/b.txt", "Input/output error",
             "/state/Trovix/save-1.rollback"},
            {Outcome::ReplacedMeanwhile, "/x/c.txt", "/state/Trovix/c.txt (2)", {}}};
        const QStringList expected[] = {{QDir::toNativeSeparators(w.path(kFiles[0])),
                                         "part old and part new", "put back and checked"},
                                        {"b.txt", "could not be put back", "Input/output error",
                                         QDir::toNativeSeparators("/state/Trovix/save-1.rollback")},
                                        {"c.txt", "replaced or removed since",
                                         QDir::toNativeSeparators("/state/Trovix/c.txt (2)")}};
        QCOMPARE(firstRows(*w.start({}, {}, interrupted)).first(),
                 QStringLiteral("Smith 555-1234"));
        QCOMPARE(w.messages.shown.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const platform::ShownMessage& shown = w.messages.shown[i];
            QCOMPARE(shown.title, QStringLiteral("Interrupted Save"));
            for (const QString& part : expected[i]) {
                QVERIFY2(shown.text.contains(part), qPrintable(shown.text));
            }
        }
    }

    // The real program, told by the system to end (SIGTERM or SIGHUP), closes as a close does:
    // it stores its settings and ends normally instead of dying, also while a message of
    // start-up is open. Installed, it keeps its files in the per-user data folder, where its
    // first start copies the samples the user does not have. What start-up does not use of the
    // command line is named; Qt takes its own options out of it first.
    void aTerminationSignalClosesTheRealProgram() {
#ifndef Q_OS_UNIX
        QSKIP("termination signals are Unix's");
#else
        // "clear" empties the settings, then says so in a box before the window shows.
        for (const bool clear : {false, true}) {
            const InstalledProgram installed;
            const QString ini = installed.home + "/.config/Trovix/Trovix.ini";
            const QString data = installed.home + "/.local/share/Trovix/";
            QVERIFY(QDir().mkpath(installed.home + "/.config/Trovix") && QDir().mkpath(data) &&
                    writeBytes(ini, "[Settings]\nFontSize=11\n") &&
                    writeBytes(data + kFiles[1], "mine\r\n"));
            QProcess trovix;
            installed.start(
                trovix, clear ? QStringList{"clear"} : QStringList{"-reverse", "b.txt", "c.txt"},
                true);
            // Start-up writes the update program's files last, and "clear" empties the settings
            // right before its box; soon after, the window or the box is up.
            QTRY_VERIFY_WITH_TIMEOUT(clear ? !readBytes(ini).contains("FontSize=11")
                                           : QFile::exists(data + "trovix7.ver"),
                                     20000);
            QTest::qWait(300);
            QVERIFY(::kill(static_cast<pid_t>(trovix.processId()), clear ? SIGHUP : SIGTERM) == 0);
            QVERIFY(trovix.waitForFinished(20000) && trovix.exitStatus() == QProcess::NormalExit);
            QCOMPARE(trovix.exitCode(), 0);
            const QByteArray settings = readBytes(ini);
            QVERIFY2(settings.contains("MainLeft=") &&
                         settings.contains(clear ? "FontSize=10" : "FontSize=11"),
                     settings.constData());
            const QByteArray errors = trovix.readAllStandardError();
            QVERIFY2(clear || errors.contains("trovix7: not used: b.txt c.txt\n"),
                     errors.constData());
            QCOMPARE(readBytes(data + kFiles[0]) + readBytes(data + kFiles[1]),
                     kContent[0] + "mine\r\n");
        }
#endif
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
            QVERIFY(app::queryClose(*state) && w.untouched(0) && w.untouched(1) && w.untouched(2) &&
                    w.messages.shown.isEmpty());

            change(*state, 0, QStringLiteral("Smith 555-0000"));
            change(*state, 2, QStringLiteral("213 Los Angeles"));
            w.messages.answers = {c.answer};
            // AutoSave saves without asking. Otherwise Yes saves, No drops the changes, and
            // Cancel keeps the window open with the changes still there; the question names the
            // changed files.
            const bool saves = c.autoSave || c.answer == MessageAnswer::Yes;
            const bool closes = c.autoSave || c.answer != MessageAnswer::Cancel;
            QCOMPARE(app::closeRequested(*state), closes);
            QVERIFY(c.autoSave ? w.messages.shown.isEmpty()
                               : w.messages.shown.size() == 1 &&
                                     w.messages.shown[0].text == "Save Changes?" &&
                                     w.messages.shown[0].buttons == MessageButtons::YesNoCancel &&
                                     w.messages.shown[0].more ==
                                         "Changed files: phone_numbers.txt, area_codes.txt");
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
    }
};

QTEST_GUILESS_MAIN(TestStartupAndShutdown)
#include "test_startup_and_shutdown.moc"
