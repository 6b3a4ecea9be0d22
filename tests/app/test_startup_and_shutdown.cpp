#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/home_folder.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/window_events.h"
#include "platform/fake/fake_instance_guard.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_settings_store.h"
#include "state/main_state.h"
#include "support/files.h"

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

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
    for (const store::FileSlot& slot : state.fileSlots) {
        out << (slot.list.count() > 0 ? slot.list.text(0) : QString());
    }
    return out;
}

// Edits the first record of a slot as the user would: changed, not yet saved.
void change(MainState& state, int i, const QString& text) {
    store::FileSlot& slot = state.fileSlots[static_cast<std::size_t>(i)];
    slot.records.set(0, text);
    slot.changed = true;
}

// The outside world of the program: its folder and the fake services.
struct World {
    QTemporaryDir folder;
    platform::FakeSettingsStore store;
    platform::FakeMessageBoxes messages;
    platform::FakeInstanceGuard instance;

    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void put(const char* key, const QString& value) {
        store.sections[kSection][QString::fromLatin1(key)] = value;
    }
    // The three default data files, dated long ago so that any write shows.
    void writeDataFiles() {
        for (int i = 0; i < 3; ++i) {
            writeBytes(path(kFiles[i]), kContent[i]);
            age(path(kFiles[i]));
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
        auto state = std::make_unique<MainState>(
            platform::Services{.settings = &store, .messages = &messages, .instance = &instance});
        state->programFolder = folder.path();
        app::startUp(*state, {arguments, runningProgram});
        if (state->busy) {
            QTest::qFail("still busy after start-up", __FILE__, __LINE__);
        }
        return state;
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
        writeBytes(w.path("phone_numbers.txt"), "Smith 555\r\n");
        auto state = w.start("clear");
        QVERIFY(!w.store.sections.contains(kSection));
        // The defaults apply, the default data file included.
        QCOMPARE(firstRows(*state).first(), QStringLiteral("Smith 555"));

        // The user is told even when there was nothing to delete.
        World empty;
        empty.start("clear");
        for (const World* world : {&w, &empty}) {
            QCOMPARE(world->messages.shown.size(), 1);
            QCOMPARE(world->messages.shown[0].text,
                     QStringLiteral("Registry settings were deleted for Trovix."));
            QCOMPARE(world->messages.shown[0].buttons, MessageButtons::Ok);
            QCOMPARE(world->messages.shown[0].icon, MessageIcon::Information);
        }

        // Settings that cannot be deleted are not reported deleted; at close, settings that
        // cannot be stored are reported once, with the reason.
        World locked;
        locked.store.failSync = true;
        auto lockedState = locked.start("clear");
        QVERIFY(locked.messages.shown[0].text.startsWith(
            "The settings of Trovix could not be deleted"));
        QVERIFY(locked.messages.shown[0].text.contains(locked.store.failReason));
        QVERIFY(app::closeRequested(*lockedState));
        QCOMPARE(locked.messages.shown.size(), 2);
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

    void aReadOnlyProgramFolderHandsItsRoleToThePerUserFolder() {
        World w;
        const QString program = w.path("bin");
        const QString samples = w.path("samples");
        const QString perUser = w.path("home/Trovix");
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(samples));
        for (int i = 0; i < 3; ++i) {
            writeBytes(QDir(samples).filePath(kFiles[i]), kContent[i]);
        }
        // A writable program folder keeps its role.
        QCOMPARE(app::chooseHomeFolder(program, perUser, samples).path, program);
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
#ifdef Q_OS_LINUX
        // Root writes into read-only folders: a read-only file system stops it.
        const bool mounted = app::folderIsWritable(program) &&
                             ::mount("tmpfs", QFile::encodeName(program).constData(), "tmpfs",
                                     MS_RDONLY, "size=64k") == 0;
        const auto unmount = qScopeGuard([&] {
            if (mounted) {
                ::umount(QFile::encodeName(program).constData());
            }
        });
#endif
        if (app::folderIsWritable(program)) {
            QSKIP("this user writes into read-only folders");
        }
        const app::HomeFolder home = app::chooseHomeFolder(program, perUser, samples);
        QVERIFY(home.perUser && home.path == perUser);
        QCOMPARE(readBytes(QDir(perUser).filePath(kFiles[1])), kContent[1]);
        // The samples are copied once: the user's own data is never overwritten.
        writeBytes(QDir(perUser).filePath(kFiles[1]), "mine\r\n");
        app::chooseHomeFolder(program, perUser, samples);
        QCOMPARE(readBytes(QDir(perUser).filePath(kFiles[1])), QByteArray("mine\r\n"));
        QVERIFY(QDir(program).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void threeNamesOnTheCommandLineBecomeTheDataFiles() {
        for (const char* commandLine : {"one.txt two.txt three.txt", "one.txt|two.txt|three.txt"}) {
            World w;
            writeBytes(w.path("one.txt"), "uno\r\n");
            writeBytes(w.path("two.txt"), "dos\r\n");
            writeBytes(w.path("three.txt"), "tres\r\n");
            w.put("FileA", QStringLiteral("old.txt"));
            // The names are relative to the program folder, wherever the program was started.
            QTemporaryDir elsewhere;
            QDir::setCurrent(elsewhere.path());
            auto state = w.start(commandLine);
            QCOMPARE(firstRows(*state), QStringList({"uno", "dos", "tres"}));
        }

        // Any other number of parts is ignored: the stored names stay.
        for (const char* commandLine :
             {"one.txt two.txt  three.txt", "one.txt|two.txt", "a|b|c|d"}) {
            World w;
            w.put("FileA", QStringLiteral("old.txt"));
            auto state = w.start(commandLine);
            QVERIFY2(state->fileSlots[0].fileName == QStringLiteral("old.txt"), commandLine);
        }
    }

    void updateFilesAreWrittenOnlyWhenOutOfDateAndNeverStopStartUp() {
        World w;
        const QString patchlet = w.path("Patchlet.dat");
        const QString ver = w.path("trovix7.ver");
        writeBytes(w.path("phone_numbers.txt"), "Smith 555\r\n");
        // No program file "trovix7" in the program folder: the running program's size counts.
        const QString running = w.path("running");
        writeBytes(running, QByteArray(777, 'y'));
        w.start("", running);
        QCOMPARE(readBytes(patchlet), QByteArray("Trovix7\r\ntrovix7\r\n7.1.319.777\r\n"));
        QCOMPARE(readBytes(ver), QByteArray("7.1.319.777"));

        // Up to date: neither file is touched.
        age(patchlet);
        age(ver);
        w.start("", running);
        QVERIFY(aged(patchlet) && aged(ver));

        // The program file in the folder counts before the running one: both are rewritten.
        writeBytes(w.path("trovix7"), QByteArray(12345, 'x'));
        w.start("", running);
        QCOMPARE(readBytes(patchlet), QByteArray("Trovix7\r\ntrovix7\r\n7.1.319.12345\r\n"));
        QCOMPARE(readBytes(ver), QByteArray("7.1.319.12345"));

        // Only the file that is out of date is written; a line end makes it out of date.
        age(patchlet);
        for (const char* stale : {"7.1.318.12345", "7.1.319.12345\r\n"}) {
            writeBytes(ver, stale);
            w.start("", running);
            QCOMPARE(readBytes(ver), QByteArray("7.1.319.12345"));
            QVERIFY(aged(patchlet));
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
            for (const Command c : {Command::New, Command::Delete, Command::Sort}) {
                QVERIFY2(state->toolbar.button(c).enabled == !yes, qPrintable(commandKey(c)));
            }
            for (const Command c : {Command::Find, Command::Edit, Command::Data}) {
                QVERIFY2(state->toolbar.button(c).enabled, qPrintable(commandKey(c)));
            }
        }
    }
    void unchangedFilesCloseWithoutAskingAndAutoSaveSavesOnlyChangedOnes() {
        for (const bool autoSave : {false, true}) {
            World w;
            w.writeDataFiles();
            auto state = w.start();
            state->options.setChecked(Option::AutoSave, autoSave);
            QVERIFY(app::queryClose(*state));
            QVERIFY(w.untouched(0) && w.untouched(1) && w.untouched(2));
            if (autoSave) {
                change(*state, 0, QStringLiteral("Smith 555-0000"));
                change(*state, 2, QStringLiteral("213 Los Angeles"));
                QVERIFY(app::queryClose(*state));
                QCOMPARE(readBytes(w.path(kFiles[0])), QByteArray("Smith 555-0000\r\nJones\r\n"));
                QCOMPARE(readBytes(w.path(kFiles[2])), QByteArray("213 Los Angeles\r\n"));
                QVERIFY(w.untouched(1));
                QVERIFY(!state->fileSlots[0].changed && !state->fileSlots[2].changed);
            }
            QVERIFY(w.messages.shown.isEmpty());
        }
    }

    void theUserIsAskedToSaveChanges() {
        for (const MessageAnswer answer :
             {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel}) {
            World w;
            w.writeDataFiles();
            auto state = w.start();
            change(*state, 1, QStringLiteral("uno"));
            w.messages.answers = {answer};
            // Yes and No close the window; Cancel keeps it open with the change still there.
            QCOMPARE(app::closeRequested(*state), answer != MessageAnswer::Cancel);
            QCOMPARE(w.messages.shown.size(), 1);
            QCOMPARE(w.messages.shown[0].text, QStringLiteral("Save Changes?"));
            QCOMPARE(w.messages.shown[0].buttons, MessageButtons::YesNoCancel);
            // Only Yes writes, and only the changed file; closing writes no other.
            QCOMPARE(readBytes(w.path(kFiles[1])),
                     answer == MessageAnswer::Yes ? QByteArray("uno\r\ntwo\r\n") : kContent[1]);
            QVERIFY(w.untouched(0) && w.untouched(2));
            QCOMPARE(state->fileSlots[1].changed, answer != MessageAnswer::Yes);
            QCOMPARE(state->fileSlots[1].records.text(0), QStringLiteral("uno"));
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
            state->fileSlots[0].stamp = {};
            change(*state, 0, QStringLiteral("precious"));
            change(*state, 1, QStringLiteral("also precious"));

            // Unscripted, the question is answered Yes, and the failure keeps the window open.
            QVERIFY(!app::queryClose(*state));
            // The user is told which file failed, by name, and may close without it.
            QCOMPARE(w.messages.shown.size(), autoSave ? 1 : 2);
            QVERIFY(w.messages.shown.last().text.contains(missing));
            QCOMPARE(w.messages.shown.last().choices,
                     QStringList({"Close Without Saving", "Keep the Window Open"}));
            QVERIFY(state->fileSlots[0].changed);
            QCOMPARE(state->fileSlots[0].records.text(0), QStringLiteral("precious"));
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
            QCOMPARE(readBytes(missing), QByteArray("precious\r\nJones\r\n"));
            QCOMPARE(readBytes(w.path(kFiles[1])), QByteArray("also precious\r\ntwo\r\n"));
            QVERIFY(!state->fileSlots[0].changed && !state->fileSlots[1].changed);
        }
    }
};

QTEST_GUILESS_MAIN(TestStartupAndShutdown)
#include "test_startup_and_shutdown.moc"
