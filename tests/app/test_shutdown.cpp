#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "app/shutdown.h"
#include "app/startup.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_settings_store.h"
#include "state/main_state.h"

using namespace trovix;

using platform::MessageAnswer;

namespace {

const QDateTime kLongAgo(QDate(2001, 2, 3), QTime(4, 5, 6));
const char* const kFiles[] = {"phone_numbers.txt", "taglines.txt", "area_codes.txt"};
const QByteArray kContent[] = {"Smith 555-1234\r\nJones\r\n", "one\r\ntwo\r\n", "212 New York\r\n"};

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A started program with its three data files in the program folder, each dated long ago so
// that any write shows.
struct Session {
    QTemporaryDir folder;
    platform::FakeSettingsStore store;
    platform::FakeMessageBoxes messages;
    MainState state{{.settings = &store, .messages = &messages}};

    explicit Session(bool autoSave = false) {
        for (int i = 0; i < 3; ++i) {
            QFile f(file(i));
            f.open(QIODevice::WriteOnly);
            f.write(kContent[i]);
            f.flush();
            f.setFileTime(kLongAgo, QFileDevice::FileModificationTime);
        }
        state.programFolder = folder.path();
        app::startUp(state);
        state.options.setChecked(Option::AutoSave, autoSave);
    }

    QString file(int i) const { return folder.filePath(QString::fromLatin1(kFiles[i])); }
    store::FileSlot& slot(int i) { return state.fileSlots[static_cast<std::size_t>(i)]; }

    // Edits the first record of a slot as the user would: changed, not yet saved.
    void change(int i, const QString& text) {
        slot(i).records.set(0, text);
        slot(i).changed = true;
    }
    bool untouched(int i) const {
        return QFileInfo(file(i)).lastModified() == kLongAgo && readBytes(file(i)) == kContent[i];
    }
};

}  // namespace

class TestShutdown : public QObject {
    Q_OBJECT

    QString startFolder_;

  private Q_SLOTS:
    void initTestCase() { startFolder_ = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startFolder_); }

    void withoutChangesTheWindowClosesWithoutAsking() {
        for (const bool autoSave : {false, true}) {
            Session s(autoSave);
            QVERIFY(app::queryClose(s.state));
            QVERIFY(s.messages.shown.isEmpty());
            QVERIFY(s.untouched(0) && s.untouched(1) && s.untouched(2));
        }
    }

    void autoSaveSavesOnlyTheChangedFilesWithoutAsking() {
        Session s(true);
        s.change(0, QStringLiteral("Smith 555-0000"));
        s.change(2, QStringLiteral("213 Los Angeles"));
        QVERIFY(app::queryClose(s.state));
        QVERIFY(s.messages.shown.isEmpty());
        QCOMPARE(readBytes(s.file(0)), QByteArray("Smith 555-0000\r\nJones\r\n"));
        QCOMPARE(readBytes(s.file(2)), QByteArray("213 Los Angeles\r\n"));
        QVERIFY(s.untouched(1));
        QVERIFY(!s.slot(0).changed && !s.slot(2).changed);
    }

    void theUserIsAskedToSaveChanges() {
        for (const MessageAnswer answer :
             {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel}) {
            Session s;
            s.change(1, QStringLiteral("uno"));
            s.messages.answers = {answer};
            // Yes and No close the window; Cancel keeps it open with the change still there.
            QCOMPARE(app::queryClose(s.state), answer != MessageAnswer::Cancel);
            QCOMPARE(s.messages.shown.size(), 1);
            QCOMPARE(s.messages.shown[0].text, QStringLiteral("Save Changes?"));
            QCOMPARE(s.messages.shown[0].buttons, platform::MessageButtons::YesNoCancel);
            // Only Yes writes, and only the changed file.
            QCOMPARE(readBytes(s.file(1)),
                     answer == MessageAnswer::Yes ? QByteArray("uno\r\ntwo\r\n") : kContent[1]);
            QVERIFY(s.untouched(0) && s.untouched(2));
            QCOMPARE(s.slot(1).changed, answer != MessageAnswer::Yes);
            QCOMPARE(s.slot(1).records.text(0), QStringLiteral("uno"));
        }
    }

    void aFailedSaveKeepsTheWindowOpenAndTheChanges() {
        for (const bool autoSave : {true, false}) {
            Session s(autoSave);
            const QString missing = s.folder.filePath(QStringLiteral("gone/phone_numbers.txt"));
            s.slot(0).fileName = missing;
            s.change(0, QStringLiteral("precious"));
            s.change(1, QStringLiteral("also precious"));

            // Unscripted, the question is answered Yes.
            QVERIFY(!app::queryClose(s.state));
            // The user is told which file failed, by name.
            QCOMPARE(s.messages.shown.size(), autoSave ? 1 : 2);
            QVERIFY(s.messages.shown.last().text.contains(missing));
            QVERIFY(s.slot(0).changed);
            QCOMPARE(s.slot(0).records.text(0), QStringLiteral("precious"));
            // Whatever was not written is still marked changed.
            QVERIFY(s.slot(1).changed ||
                    readBytes(s.file(1)) == QByteArray("also precious\r\ntwo\r\n"));

            // With the folder there, the next close saves everything.
            QVERIFY(QDir(s.folder.path()).mkdir(QStringLiteral("gone")));
            QVERIFY(app::queryClose(s.state));
            QCOMPARE(readBytes(missing), QByteArray("precious\r\nJones\r\n"));
            QCOMPARE(readBytes(s.file(1)), QByteArray("also precious\r\ntwo\r\n"));
            QVERIFY(!s.slot(0).changed && !s.slot(1).changed);
        }
    }

    void unloadStoresTheSettingsButNoDataFile() {
        Session s;
        s.change(0, QStringLiteral("dropped"));
        s.store.sections.clear();
        const int syncs = s.store.syncCount;
        s.state.gap = 2100;
        app::unload(s.state);
        QCOMPARE(s.store.value(QStringLiteral("Settings"), QStringLiteral("Gap")),
                 std::optional<QString>(QStringLiteral("2100")));
        QVERIFY(s.store.syncCount > syncs);
        QVERIFY(s.untouched(0));
    }
};

QTEST_GUILESS_MAIN(TestShutdown)

#include "test_shutdown.moc"
