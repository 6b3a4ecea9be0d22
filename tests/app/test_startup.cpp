#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/startup.h"
#include "platform/fake/fake_instance_guard.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_settings_store.h"
#include "state/main_state.h"

using namespace trovix;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

const QString kSection = QStringLiteral("Settings");
const QDateTime kLongAgo(QDate(2001, 2, 3), QTime(4, 5, 6));

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Dates a file long ago, so that any later write shows.
bool age(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) &&
           f.setFileTime(kLongAgo, QFileDevice::FileModificationTime);
}

bool aged(const QString& path) {
    return QFileInfo(path).lastModified() == kLongAgo;
}

// The first row listed for each slot; every data file here holds one record.
QStringList firstRows(const MainState& state) {
    QStringList out;
    for (const store::FileSlot& slot : state.fileSlots) {
        out << (slot.list.count() > 0 ? slot.list.text(0) : QString());
    }
    return out;
}

// The outside world of one start-up: a program folder and the fake services.
struct World {
    QTemporaryDir folder;
    platform::FakeSettingsStore store;
    platform::FakeMessageBoxes messages;
    platform::FakeInstanceGuard instance;

    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void put(const char* key, const QString& value) {
        store.sections[kSection][QString::fromLatin1(key)] = value;
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

class TestStartup : public QObject {
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
            QCOMPARE(world->messages.shown[0].text,
                     QStringLiteral("Registry settings were deleted for Trovix."));
            QCOMPARE(world->messages.shown[0].buttons, MessageButtons::Ok);
            QCOMPARE(world->messages.shown[0].icon, MessageIcon::Information);
        }

        // Anything but exactly "clear" leaves the settings alone.
        for (const char* commandLine : {"Clear", " clear", "clear|now"}) {
            World kept;
            kept.put("MainLeft", QStringLiteral("3000"));
            auto s = kept.start(commandLine);
            QVERIFY2(kept.messages.shown.isEmpty(), commandLine);
            QVERIFY2(s->frame.placement().left == 3000, commandLine);
        }
    }

    void threeNamesOnTheCommandLineBecomeTheDataFiles() {
        for (const char* commandLine : {"one.txt two.txt three.txt", "one.txt|two.txt|three.txt"}) {
            World w;
            QVERIFY(writeBytes(w.path("one.txt"), "uno\r\n") &&
                    writeBytes(w.path("two.txt"), "dos\r\n") &&
                    writeBytes(w.path("three.txt"), "tres\r\n"));
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
        QVERIFY(writeBytes(w.path("phone_numbers.txt"), "Smith 555\r\n"));
        // No program file "trovix7" in the program folder: the running program's size counts.
        const QString running = w.path("running");
        QVERIFY(writeBytes(running, QByteArray(777, 'y')));
        w.start("", running);
        QCOMPARE(readBytes(patchlet), QByteArray("Trovix7\r\ntrovix7\r\n7.1.319.777\r\n"));
        QCOMPARE(readBytes(ver), QByteArray("7.1.319.777"));

        // Up to date: neither file is touched.
        QVERIFY(age(patchlet) && age(ver));
        w.start("", running);
        QVERIFY(aged(patchlet) && aged(ver));

        // The program file in the folder counts before the running one: both are rewritten.
        QVERIFY(writeBytes(w.path("trovix7"), QByteArray(12345, 'x')));
        w.start("", running);
        QCOMPARE(readBytes(patchlet), QByteArray("Trovix7\r\ntrovix7\r\n7.1.319.12345\r\n"));
        QCOMPARE(readBytes(ver), QByteArray("7.1.319.12345"));

        // Only the file that is out of date is written; a line end makes it out of date.
        QVERIFY(age(patchlet));
        for (const char* stale : {"7.1.318.12345", "7.1.319.12345\r\n"}) {
            QVERIFY(writeBytes(ver, stale));
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
};

QTEST_GUILESS_MAIN(TestStartup)

#include "test_startup.moc"
