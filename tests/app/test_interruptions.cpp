#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/shutdown.h"
#include "app/startup.h"
#include "platform/fake/fake_services.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/safe_file.h"
#include "platform/save_journal.h"
#include "platform/system_disk.h"
#include "records/file_maintenance.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"
#include "support/files.h"
#include "support/small_disk.h"

#ifdef Q_OS_UNIX
#include <csignal>
#endif

using namespace trovix;
using platform::InterruptedSave;
using testing::readBytes;
using testing::writeBytes;

namespace {

const char* const kFiles[] = {"a.txt", "b.txt", "c.txt"};

// A window state over three data files in `folder`, loaded as start-up loads them.
struct Window {
    platform::FakeServices services;
    platform::FakeMessageBoxes& messages = services.messages;
    platform::FakeSettingsStore& settings = services.settings;
    platform::FakeInstanceGuard& instance = services.instance;
    MainState state{services.services()};

    explicit Window(const QString& folder, const QList<InterruptedSave>& interrupted = {}) {
        for (int i = 0; i < 3; ++i) {
            settings.sections["Settings"][QStringLiteral("File%1").arg(QChar(u'A' + i))] =
                folder + u'/' + QString::fromLatin1(kFiles[i]);
        }
        app::startUp(state, {{}, {}, interrupted});
    }
    lists::FileSlot& slot(int i) { return state.fileSlots[static_cast<std::size_t>(i)]; }
};

}  // namespace

class TestInterruptions : public QObject {
    Q_OBJECT

    QTemporaryDir state_;  // the per-user state folder, where rollback copies go

  private Q_SLOTS:
    void initTestCase() { qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path())); }

    // A data file, the settings file and Restore, each writing a file in a read-only folder on
    // a full disk, where the growth needs a block the disk no longer has: the old bytes stay
    // exactly, and what the user is told is true.
    void everyInPlaceWriterKeepsTheOldBytesOnAFullDisk() {
        testing::SmallDisk disk;
        if (!disk.mounted()) {
            QSKIP("mounting a small file system needs root on Linux");
        }
        const QString folder = disk.filePath("files");
        QVERIFY(QDir().mkdir(folder));
        const auto path = [&](const QString& name) { return folder + u'/' + name; };
        QByteArray records;
        for (int i = 0; records.size() < 4000; ++i) {
            records += "Smith " + QByteArray::number(i) + "\r\n-----12 Elm Street\r\n";
        }
        records = records.leftJustified(4088, 'x') + "\r\n";  // 4,090 bytes
        const QByteArray before[] = {records, "taglines\r\n", "area codes 23 bytes\r\n"};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(writeBytes(path(kFiles[i]), before[i]));
        }
        // Restore: the first two copies fit, the third grows across a block.
        QVERIFY(writeBytes(path("a.txt.old"), "old a\r\n"));
        QVERIFY(writeBytes(path("b.txt.old"), "old b\r\n"));
        QVERIFY(writeBytes(path("c.txt.old"), before[2] + QByteArray(5000, 'c')));
        const QByteArray ini = "[Settings]\r\nFileA=" + QByteArray(4090 - 20, 'f') + "\r\n";
        QVERIFY(writeBytes(path("Trovix.ini"), ini));
        QCOMPARE(ini.size(), 4090);

        Window window(folder);
        disk.fill();
        const testing::WriteProtection readOnly(folder);
        QVERIFY(readOnly.made());

        // The data file: ten characters more.
        window.slot(0).records.set(0, window.slot(0).records.text(0) + "yyyyyyyyyy");
        window.slot(0).changed = true;
        QVERIFY(!records::saveFile(window.state.files(), lists::SlotId::A));
        QCOMPARE(readBytes(path("a.txt")), before[0]);
        const QString told = window.messages.shown.last().text;
        QVERIFY2(told.contains("No space left on device") && told.contains("The file is unchanged"),
                 qPrintable(told));

        // The settings file.
        platform::QtSettingsStore settings(path("Trovix.ini"), window.services.systemDisk);
        settings.setValue("Settings", "FileA", QString(4090 - 20 + 10, u'g'));
        const platform::Result<void> synced = settings.sync();
        QVERIFY2(!synced && synced.error().contains("No space left on device"),
                 qPrintable(synced.error()));
        QCOMPARE(readBytes(path("Trovix.ini")), ini);

        // Restore.
        QVERIFY(!records::restoreBackups(window.state.services, window.state.fileSlots));
        QCOMPARE(
            readBytes(path(kFiles[0])) + readBytes(path(kFiles[1])) + readBytes(path(kFiles[2])),
            before[0] + before[1] + before[2]);
        QVERIFY2(window.messages.shown.last().text.contains("No file was changed"),
                 qPrintable(window.messages.shown.last().text));
        QCOMPARE(QDir(platform::rollbackFolder()).entryList(QDir::Files), QStringList());
    }

    // Start-up undoes a save that was cut short before it reads any file, and tells the user
    // which file and why; what could not be put back is named with the place of its copy.
    void savesCutShortAreUndoneAndToldAtStartUp() {
        QTemporaryDir folder;
        const QString a = folder.filePath(kFiles[0]);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(
                writeBytes(folder.filePath(kFiles[i]), "record " + QByteArray::number(i) + "\r\n"));
        }
        platform::SystemDisk disk;
        QVERIFY(
            platform::RollbackCopy(disk).write(a, "record 0\r\n", "new record\r\nmore\r\n").ok());
        QVERIFY(writeBytes(a, "new recor0\r\n"));  // killed half way
        QList<InterruptedSave> interrupted = platform::recoverInterruptedSaves(disk);
        interrupted.append({InterruptedSave::Outcome::NotRestored, "/x/b.txt", "Input/output error",
                            "/state/Trovix/save-1.rollback"});
        interrupted.append({InterruptedSave::Outcome::ReplacedMeanwhile,
                            "/x/c.txt",
                            "/state/Trovix/c.txt (2)",
                            {}});

        Window window(folder.path(), interrupted);
        QCOMPARE(readBytes(a), QByteArray("record 0\r\n"));
        QCOMPARE(window.slot(0).records.text(0), QStringLiteral("record 0"));
        QCOMPARE(window.messages.shown.size(), 3);
        const QStringList expected[] = {{QDir::toNativeSeparators(QFileInfo(a).absoluteFilePath()),
                                         "part old and part new", "put back and checked"},
                                        {"b.txt", "could not be put back", "Input/output error",
                                         QDir::toNativeSeparators("/state/Trovix/save-1.rollback")},
                                        {"c.txt", "replaced or removed since",
                                         QDir::toNativeSeparators("/state/Trovix/c.txt (2)")}};
        for (int i = 0; i < 3; ++i) {
            const platform::ShownMessage& shown = window.messages.shown[i];
            QCOMPARE(shown.title, QStringLiteral("Interrupted Save"));
            for (const QString& part : expected[i]) {
                QVERIFY2(shown.text.contains(part), qPrintable(shown.text));
            }
        }
    }

    // The system ends the program: with AutoSave the changed files are saved, without asking
    // anything; without it nothing is saved. Either way the settings are stored and every file
    // left unsaved is named.
    void theSystemEndingTheProgramClosesWithoutQuestions() {
        for (const bool autoSave : {true, false}) {
            QTemporaryDir folder;
            for (int i = 0; i < 3; ++i) {
                QVERIFY(writeBytes(folder.filePath(kFiles[i]), "record\r\n"));
            }
            Window window(folder.path());
            window.state.options.setChecked(Option::AutoSave, autoSave);
            for (int i = 0; i < 3; ++i) {
                window.slot(i).records.set(0, QStringLiteral("edited"));
                window.slot(i).changed = true;
            }
            // Another program changes b.txt; c.txt's folder goes away.
            QVERIFY(writeBytes(folder.filePath(kFiles[1]), "another program's record\r\n"));
            window.slot(2).fileName = folder.filePath("gone/c.txt");
            window.slot(2).disk().stamp = platform::fileStamp(window.slot(2).fileName);
            window.settings.syncCount = 0;
            window.messages.shown.clear();

            const QStringList notes = app::closeWithoutAsking(window.state);
            QVERIFY(window.messages.shown.isEmpty());
            QCOMPARE(readBytes(folder.filePath(kFiles[0])) + readBytes(folder.filePath(kFiles[1])),
                     (autoSave ? "edited\r\n" : "record\r\n") +
                         QByteArray("another program's record\r\n"));
            QVERIFY(window.slot(0).changed != autoSave && window.slot(1).changed &&
                    window.slot(2).changed);
            const QString told = notes.join(u'\n');
            QVERIFY2(notes.size() == (autoSave ? 2 : 3) &&
                         (autoSave || notes[0].contains(kFiles[0])) && told.contains(kFiles[1]) &&
                         told.contains("gone/c.txt") &&
                         told.contains(autoSave ? "another program" : "AutoSave is off"),
                     qPrintable(told));
            QCOMPARE(window.settings.syncCount, 1);
            QCOMPARE(window.settings.value("Settings", "AutoSave").value_or(""),
                     autoSave ? "True" : "False");
        }
    }

    // The real program, told by the system to end, closes as a close does: it stores its
    // settings and ends normally instead of dying, also while a message of start-up is open.
    void aTerminationSignalClosesTheRealProgram_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("argument");
#ifdef Q_OS_UNIX
        QTest::newRow("SIGTERM") << int{SIGTERM} << QString();
        QTest::newRow("SIGHUP") << int{SIGHUP} << QString();
        // "clear" empties the settings, then says so in a box before the window shows.
        QTest::newRow("SIGTERM at a start-up message") << int{SIGTERM} << QStringLiteral("clear");
#endif
    }
    void aTerminationSignalClosesTheRealProgram() {
#ifndef Q_OS_UNIX
        QSKIP("termination signals are Unix's");
#else
        QFETCH(int, signalNumber);
        QFETCH(QString, argument);
        QTemporaryDir root;
        const QString program = root.filePath("program/trovix7");
        for (const char* folder :
             {"program", "home", "config", "config/Trovix", "state", "data", "runtime"}) {
            QVERIFY(QDir(root.path()).mkdir(folder));
        }
        QVERIFY(QFile::setPermissions(root.filePath("runtime"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::copy(QStringLiteral(TROVIX7_PATH), program));
        // The window library beside the program, as a built program has it.
        QVERIFY(QFile::copy(QStringLiteral(TROVIX7_WINDOW_PATH),
                            root.filePath("program/" + QFileInfo(TROVIX7_WINDOW_PATH).fileName())));
        const QString ini = root.filePath("config/Trovix/Trovix.ini");
        QVERIFY(writeBytes(ini, "[Settings]\nFontSize=11\n"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", root.filePath("home"));
        environment.insert("XDG_CONFIG_HOME", root.filePath("config"));
        environment.insert("XDG_STATE_HOME", root.filePath("state"));
        environment.insert("XDG_DATA_HOME", root.filePath("data"));
        environment.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        QProcess trovix;
        trovix.setProcessEnvironment(environment);
        trovix.start(program, argument.isEmpty() ? QStringList() : QStringList{argument});
        QVERIFY(trovix.waitForStarted());
        // Start-up writes the update program's files last, and "clear" empties the settings
        // right before its box; soon after, the window or the box is up.
        QTRY_VERIFY_WITH_TIMEOUT(argument.isEmpty()
                                     ? QFile::exists(root.filePath("program/trovix7.ver"))
                                     : !readBytes(ini).contains("FontSize=11"),
                                 20000);
        QTest::qWait(300);
        QVERIFY(::kill(static_cast<pid_t>(trovix.processId()), signalNumber) == 0);
        QVERIFY(trovix.waitForFinished(20000) && trovix.exitStatus() == QProcess::NormalExit);
        QCOMPARE(trovix.exitCode(), 0);
        const QByteArray settings = readBytes(ini);
        QVERIFY2(settings.contains("MainLeft=") &&
                     settings.contains(argument.isEmpty() ? "FontSize=11" : "FontSize=10"),
                 settings.constData());
#endif
    }
};

QTEST_GUILESS_MAIN(TestInterruptions)
#include "test_interruptions.moc"
