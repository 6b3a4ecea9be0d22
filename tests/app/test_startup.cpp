#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main_state.h"
#include "app/startup.h"
#include "platform/fake/fake_instance_guard.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_settings_store.h"

using namespace trovix;
using app::Option;
using platform::MessageButtons;
using platform::MessageIcon;
using store::SlotId;

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kCleared = QStringLiteral("Registry settings were deleted for Trovix.");
const QDateTime kLongAgo(QDate(2001, 2, 3), QTime(4, 5, 6));

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool setModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(when, QFileDevice::FileModificationTime);
}

QDateTime modified(const QString& path) {
    return QFileInfo(path).lastModified();
}

QStringList rowTexts(const store::ResultList& list) {
    QStringList out;
    for (int r = 0; r < list.count(); ++r) {
        out << list.text(r);
    }
    return out;
}

// The outside world of one start-up: a program folder and the fake services.
struct World {
    QTemporaryDir folder;
    platform::FakeSettingsStore store;
    platform::FakeMessageBoxes messages;
    platform::FakeInstanceGuard instance;
    platform::Screen* screen = nullptr;

    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void put(const char* key, const QString& value) {
        store.sections[kSection][QString::fromLatin1(key)] = value;
    }
    // The stored text of a key; "<absent>" when there is none.
    QString stored(const char* key) const {
        return store.value(kSection, QString::fromLatin1(key)).value_or(QStringLiteral("<absent>"));
    }

    // A fresh window state started up in this world, as the program does on every run.
    std::unique_ptr<app::MainState> start(const QStringList& arguments = {},
                                          const QString& runningProgram = {}) {
        auto state = std::make_unique<app::MainState>(platform::Services{
            .settings = &store, .messages = &messages, .screen = screen, .instance = &instance});
        state->programFolder = folder.path();
        app::startUp(*state, {arguments, runningProgram});
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

    void clearAloneDeletesTheStoredSettings() {
        World w;
        w.put("MainLeft", QStringLiteral("3000"));
        w.put("IgnoreCase", QStringLiteral("False"));
        w.put("FileA", QStringLiteral("mine.txt"));
        w.put("ST0", QStringLiteral("old search"));
        w.store.sections[QStringLiteral("Other")][QStringLiteral("Key")] = QStringLiteral("v");
        QVERIFY(writeBytes(w.path("phone_numbers.txt"), "Smith 555\r\n"));

        auto state = w.start({QStringLiteral("clear")});
        QVERIFY(!w.store.sections.contains(kSection));
        QCOMPARE(w.store.sections.value(QStringLiteral("Other")).size(), 1);
        // The defaults apply, the default data files included.
        QCOMPARE(state->frame.placement().left, 1200.0);
        QVERIFY(state->options.isChecked(Option::IgnoreCase));
        QCOMPARE(state->slot(SlotId::A).fileName,
                 state->programFolder + QDir::separator() + "phone_numbers.txt");
        QCOMPARE(rowTexts(state->slot(SlotId::A).list), QStringList({"Smith 555"}));
        QVERIFY(state->searchBox.entries().isEmpty());
        QCOMPARE(w.messages.shown.size(), 1);
        QCOMPARE(w.messages.shown[0].text, kCleared);
        QCOMPARE(w.messages.shown[0].buttons, MessageButtons::Ok);
        QCOMPARE(w.messages.shown[0].icon, MessageIcon::Information);
        QVERIFY(!state->busy);

        // The user is told even when there was nothing to delete.
        World empty;
        auto fresh = empty.start({QStringLiteral("clear")});
        QCOMPARE(empty.messages.shown.size(), 1);
        QCOMPARE(empty.messages.shown[0].text, kCleared);
        QVERIFY(!fresh->busy);

        // Anything but exactly "clear" leaves the settings alone.
        const QStringList notClear[] = {{QStringLiteral("Clear")},
                                        {QStringLiteral(" clear")},
                                        {QStringLiteral("clear ")},
                                        {QStringLiteral("clear"), QStringLiteral("now")},
                                        {QStringLiteral("CLEAR")}};
        for (const QStringList& arguments : notClear) {
            World kept;
            kept.put("MainLeft", QStringLiteral("3000"));
            kept.put("IgnoreCase", QStringLiteral("False"));
            kept.put("ST0", QStringLiteral("old search"));
            kept.put("ST1", QStringLiteral("older"));
            auto s = kept.start(arguments);
            const QByteArray what = arguments.join(u'|').toUtf8();
            QVERIFY2(kept.messages.shown.isEmpty(), what.constData());
            QVERIFY2(kept.stored("MainLeft") == QStringLiteral("3000"), what.constData());
            QVERIFY2(s->frame.placement().left == 3000, what.constData());
            QVERIFY2(!s->options.isChecked(Option::IgnoreCase), what.constData());
            QVERIFY2(s->searchBox.entries() == QStringList({"old search", "older"}),
                     what.constData());
            QVERIFY(!s->busy);
        }
    }

    void threeNamesOnTheCommandLineBecomeTheDataFiles() {
        const QStringList oneArgument = {QStringLiteral("one.txt two.txt three.txt")};
        const QStringList threeArguments = {QStringLiteral("one.txt"), QStringLiteral("two.txt"),
                                            QStringLiteral("three.txt")};
        for (const QStringList& arguments : {oneArgument, threeArguments}) {
            World w;
            QVERIFY(writeBytes(w.path("one.txt"), "uno\r\n"));
            QVERIFY(writeBytes(w.path("two.txt"), "dos\r\n"));
            QVERIFY(writeBytes(w.path("three.txt"), "tres\r\n"));
            w.put("FileA", QStringLiteral("old.txt"));
            // The names are relative to the program folder, wherever the program was started.
            QTemporaryDir elsewhere;
            QDir::setCurrent(elsewhere.path());

            auto state = w.start(arguments);
            QCOMPARE(w.stored("FileA"), QStringLiteral("one.txt"));
            QCOMPARE(w.stored("FileB"), QStringLiteral("two.txt"));
            QCOMPARE(w.stored("FileC"), QStringLiteral("three.txt"));
            QCOMPARE(state->slot(SlotId::A).fileName, QStringLiteral("one.txt"));
            QCOMPARE(state->slot(SlotId::C).fileName, QStringLiteral("three.txt"));
            QCOMPARE(rowTexts(state->slot(SlotId::A).list), QStringList({"uno"}));
            QCOMPARE(rowTexts(state->slot(SlotId::B).list), QStringList({"dos"}));
            QCOMPARE(rowTexts(state->slot(SlotId::C).list), QStringList({"tres"}));
            QVERIFY(w.messages.shown.isEmpty());
            QVERIFY(!state->busy);
            QDir::setCurrent(startFolder_);
        }

        // Any other number of parts is ignored: the stored names stay.
        const QStringList ignored[] = {
            {QStringLiteral("one.txt two.txt  three.txt")},
            {QStringLiteral("one.txt"), QStringLiteral("two.txt")},
            {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}};
        for (const QStringList& arguments : ignored) {
            World w;
            QVERIFY(writeBytes(w.path("old.txt"), "old\r\n"));
            w.put("FileA", QStringLiteral("old.txt"));
            auto state = w.start(arguments);
            const QByteArray what = arguments.join(u'|').toUtf8();
            QVERIFY2(w.stored("FileA") == QStringLiteral("old.txt"), what.constData());
            QVERIFY2(w.stored("FileB") == QStringLiteral("<absent>"), what.constData());
            QVERIFY2(state->slot(SlotId::A).fileName == QStringLiteral("old.txt"),
                     what.constData());
            QVERIFY2(rowTexts(state->slot(SlotId::A).list) == QStringList({"old"}),
                     what.constData());
            QVERIFY2(state->slot(SlotId::B).fileName == w.path("taglines.txt"), what.constData());
            QVERIFY(!state->busy);
        }
    }

    void updateFilesNameTheProgramSize() {
        // The program file in the program folder counts.
        {
            World w;
            QVERIFY(writeBytes(w.path("trovix7"), QByteArray(12345, 'x')));
            QTemporaryDir other;
            const QString running = other.filePath(QStringLiteral("elsewhere"));
            QVERIFY(writeBytes(running, QByteArray(777, 'y')));
            auto state = w.start({}, running);
            QCOMPARE(readBytes(w.path("Patchlet.dat")),
                     QByteArray("Trovix7\r\ntrovix7\r\n7.1.319.12345\r\n"));
            QCOMPARE(readBytes(w.path("trovix7.ver")), QByteArray("7.1.319.12345"));
            QVERIFY(!state->busy);
        }
        // Without one there, the running program's file does.
        {
            World w;
            QTemporaryDir other;
            const QString running = other.filePath(QStringLiteral("trovix7"));
            QVERIFY(writeBytes(running, QByteArray(777, 'y')));
            auto state = w.start({}, running);
            QCOMPARE(readBytes(w.path("Patchlet.dat")),
                     QByteArray("Trovix7\r\ntrovix7\r\n7.1.319.777\r\n"));
            QCOMPARE(readBytes(w.path("trovix7.ver")), QByteArray("7.1.319.777"));
        }
    }

    void updateFilesAreWrittenOnlyWhenOutOfDate() {
        World w;
        QVERIFY(writeBytes(w.path("trovix7"), QByteArray(100, 'x')));
        const QString patchlet = w.path("Patchlet.dat");
        const QString ver = w.path("trovix7.ver");
        w.start();
        QCOMPARE(readBytes(ver), QByteArray("7.1.319.100"));

        // Up to date: neither file is touched.
        QVERIFY(setModified(patchlet, kLongAgo));
        QVERIFY(setModified(ver, kLongAgo));
        w.start();
        QCOMPARE(modified(patchlet), kLongAgo);
        QCOMPARE(modified(ver), kLongAgo);

        // Only the file that is out of date is written.
        QVERIFY(writeBytes(ver, "7.1.318.100"));
        QVERIFY(setModified(ver, kLongAgo));
        w.start();
        QCOMPARE(readBytes(ver), QByteArray("7.1.319.100"));
        QVERIFY(modified(ver) != kLongAgo);
        QCOMPARE(modified(patchlet), kLongAgo);

        // A version line with a line end is not the same content.
        QVERIFY(writeBytes(ver, "7.1.319.100\r\n"));
        w.start();
        QCOMPARE(readBytes(ver), QByteArray("7.1.319.100"));

        // A program file of another size: both are written again.
        QVERIFY(setModified(ver, kLongAgo));
        QVERIFY(writeBytes(w.path("trovix7"), QByteArray(2048, 'x')));
        w.start();
        QCOMPARE(readBytes(patchlet), QByteArray("Trovix7\r\ntrovix7\r\n7.1.319.2048\r\n"));
        QCOMPARE(readBytes(ver), QByteArray("7.1.319.2048"));
        QVERIFY(modified(patchlet) != kLongAgo);
        QVERIFY(modified(ver) != kLongAgo);
    }

    void updateFilesThatCannotBeWrittenNeverStopStartUp() {
        // Folders where the files belong: neither can be written, whoever runs the test.
        World w;
        QVERIFY(QDir(w.folder.path()).mkdir(QStringLiteral("Patchlet.dat")));
        QVERIFY(QDir(w.folder.path()).mkdir(QStringLiteral("trovix7.ver")));
        QVERIFY(writeBytes(w.path("phone_numbers.txt"), "Smith 555\r\n"));
        auto state = w.start();
        QVERIFY(!state->busy);
        QVERIFY(w.messages.shown.isEmpty());
        QCOMPARE(rowTexts(state->slot(SlotId::A).list), QStringList({"Smith 555"}));
        QVERIFY(QFileInfo(w.path("Patchlet.dat")).isDir());

        // A program folder that does not exist.
        World gone;
        auto lost = std::make_unique<app::MainState>(
            platform::Services{.settings = &gone.store, .messages = &gone.messages});
        lost->programFolder = gone.path("no such folder");
        app::startUp(*lost, {});
        QVERIFY(!lost->busy);
        QVERIFY(gone.messages.shown.isEmpty());
    }

    void anotherRunningCopyOpensOffsetUpAndLeft() {
        for (const bool running : {false, true}) {
            World w;
            platform::FakeScreen screen;
            w.screen = &screen;
            w.put("MainLeft", QStringLiteral("3000"));
            w.put("MainTop", QStringLiteral("2500"));
            w.put("MainWidth", QStringLiteral("6000"));
            w.put("MainHeight", QStringLiteral("5500"));
            w.instance.running = running;
            auto state = w.start();
            const double shift = running ? 500 : 0;
            QCOMPARE(state->frame.placement(),
                     (view::TwipRect{3000 - shift, 2500 - shift, 6000, 5500}));
            QVERIFY(!state->busy);
        }
    }

    void fullDataViewStartsWithEditingButtonsDisabled() {
        for (const bool full : {false, true}) {
            World w;
            w.put("FullDataView", full ? QStringLiteral("1") : QStringLiteral("0"));
            auto state = w.start();
            QCOMPARE(state->fullDataView(), full);
            for (const char* key : {"new", "delete", "sort"}) {
                QVERIFY2(state->toolbar.button(QString::fromLatin1(key))->enabled == !full, key);
            }
            for (const char* key : {"find", "viewall", "edit", "data", "fileA"}) {
                QVERIFY2(state->toolbar.button(QString::fromLatin1(key))->enabled, key);
            }
            QVERIFY(!state->busy);
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)

#include "test_startup.moc"
