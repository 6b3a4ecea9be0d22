#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_state.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_settings_store.h"

using namespace trovix;
using app::Option;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using store::SlotId;

namespace {

const QString kSection = QStringLiteral("Settings");
const QDateTime kLongAgo(QDate(2001, 2, 3), QTime(4, 5, 6));

const char* const kFiles[] = {"phone_numbers.txt", "taglines.txt", "area_codes.txt"};
const QByteArray kContent[] = {"Smith 555-1234\r\nJones\r\n-----555-9876\r\n", "one\r\ntwo\r\n",
                               "212 New York\r\n"};

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

// A started program with its three data files in the program folder, each dated long ago so
// that any write shows.
struct Session {
    QTemporaryDir folder;
    platform::FakeSettingsStore store;
    platform::FakeMessageBoxes messages;
    app::MainState state{{.settings = &store, .messages = &messages}};

    Session() {
        for (int i = 0; i < 3; ++i) {
            writeBytes(file(i), kContent[i]);
        }
        state.programFolder = folder.path();
        app::startUp(state);
        for (int i = 0; i < 3; ++i) {
            setModified(file(i), kLongAgo);
        }
    }

    QString file(int i) const { return folder.filePath(QString::fromLatin1(kFiles[i])); }
    store::FileSlot& slot(int i) { return state.fileSlots[static_cast<std::size_t>(i)]; }

    // Edits the first record of a slot as the user would see it: changed, not yet saved.
    void change(int i, const QString& text) {
        slot(i).records.set(0, text);
        slot(i).changed = true;
    }
    bool untouched(int i) const {
        return modified(file(i)) == kLongAgo && readBytes(file(i)) == kContent[i];
    }
};

}  // namespace

class TestShutdown : public QObject {
    Q_OBJECT

    QString startFolder_;

  private Q_SLOTS:
    void initTestCase() { startFolder_ = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startFolder_); }

    void nothingChangedClosesWithoutAsking() {
        for (const bool autoSave : {false, true}) {
            Session s;
            QVERIFY(s.messages.shown.isEmpty());
            s.state.options.setChecked(Option::AutoSave, autoSave);
            QVERIFY(app::queryClose(s.state));
            QVERIFY(s.messages.shown.isEmpty());
            for (int i = 0; i < 3; ++i) {
                QVERIFY(s.untouched(i));
            }
        }
    }

    void autoSaveSavesTheChangedFilesSilently() {
        Session s;
        s.state.options.setChecked(Option::AutoSave, true);
        s.change(0, QStringLiteral("Smith 555-0000"));
        s.change(2, QStringLiteral("213 Los Angeles"));
        QVERIFY(app::queryClose(s.state));
        QVERIFY(s.messages.shown.isEmpty());
        // The files hold the records, in the line breaks they were read with.
        QCOMPARE(readBytes(s.file(0)), QByteArray("Smith 555-0000\r\nJones\r\n-----555-9876\r\n"));
        QCOMPARE(readBytes(s.file(2)), QByteArray("213 Los Angeles\r\n"));
        QVERIFY(s.untouched(1));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!s.slot(i).changed);
        }
    }

    void theUserIsAskedToSaveChanges() {
        // Yes: only the changed file is written.
        {
            Session s;
            s.change(1, QStringLiteral("uno"));
            s.messages.answers = {MessageAnswer::Yes};
            QVERIFY(app::queryClose(s.state));
            QCOMPARE(s.messages.shown.size(), 1);
            const platform::ShownMessage& asked = s.messages.shown[0];
            QCOMPARE(asked.text, QStringLiteral("Save Changes?"));
            QCOMPARE(asked.title, QStringLiteral("Save Changes"));
            QCOMPARE(asked.buttons, MessageButtons::YesNoCancel);
            QCOMPARE(asked.icon, MessageIcon::None);
            QCOMPARE(readBytes(s.file(1)), QByteArray("uno\r\ntwo\r\n"));
            QVERIFY(s.untouched(0));
            QVERIFY(s.untouched(2));
            QVERIFY(!s.slot(1).changed);
        }
        // No: the window closes and nothing is written.
        {
            Session s;
            s.change(0, QStringLiteral("dropped"));
            s.change(1, QStringLiteral("dropped too"));
            s.messages.answers = {MessageAnswer::No};
            QVERIFY(app::queryClose(s.state));
            QCOMPARE(s.messages.shown.size(), 1);
            for (int i = 0; i < 3; ++i) {
                QVERIFY(s.untouched(i));
            }
        }
        // Cancel: the window stays open with every change still there.
        {
            Session s;
            s.change(0, QStringLiteral("still here"));
            s.messages.answers = {MessageAnswer::Cancel};
            QVERIFY(!app::queryClose(s.state));
            QCOMPARE(s.messages.shown.size(), 1);
            for (int i = 0; i < 3; ++i) {
                QVERIFY(s.untouched(i));
            }
            QVERIFY(s.slot(0).changed);
            QCOMPARE(s.slot(0).records.text(0), QStringLiteral("still here"));
            // Asked again on the next close, and this time saved.
            s.messages.answers = {MessageAnswer::Yes};
            QVERIFY(app::queryClose(s.state));
            QCOMPARE(s.messages.shown.size(), 2);
            QCOMPARE(readBytes(s.file(0)), QByteArray("still here\r\nJones\r\n-----555-9876\r\n"));
        }
    }

    void aFailedSaveKeepsTheWindowOpenAndTheChanges() {
        for (const bool autoSave : {true, false}) {
            Session s;
            s.state.options.setChecked(Option::AutoSave, autoSave);
            const QString missing =
                QDir(s.folder.path()).filePath(QStringLiteral("gone/phone_numbers.txt"));
            s.slot(0).fileName = missing;
            s.change(0, QStringLiteral("precious"));
            s.change(1, QStringLiteral("also precious"));
            if (!autoSave) {
                s.messages.answers = {MessageAnswer::Yes};
            }

            QVERIFY(!app::queryClose(s.state));
            // The question (unless saving by itself), then the file that failed, by name.
            QCOMPARE(s.messages.shown.size(), autoSave ? 1 : 2);
            QVERIFY(s.messages.shown.last().text.contains(missing));
            QVERIFY(s.slot(0).changed);
            QCOMPARE(s.slot(0).records.text(0), QStringLiteral("precious"));
            QVERIFY(!QFileInfo::exists(missing));
            QVERIFY(s.untouched(0));
            // No change is lost: whatever was not written is still marked changed.
            QVERIFY(s.slot(1).changed ||
                    readBytes(s.file(1)) == QByteArray("also precious\r\ntwo\r\n"));

            // With the folder there, the next close saves everything.
            QVERIFY(QDir(s.folder.path()).mkdir(QStringLiteral("gone")));
            if (!autoSave) {
                s.messages.answers = {MessageAnswer::Yes};
            }
            QVERIFY(app::queryClose(s.state));
            QCOMPARE(readBytes(missing), QByteArray("precious\r\nJones\r\n-----555-9876\r\n"));
            QCOMPARE(readBytes(s.file(1)), QByteArray("also precious\r\ntwo\r\n"));
            QVERIFY(!s.slot(0).changed);
            QVERIFY(!s.slot(1).changed);
        }

        // A later file that fails keeps its change; the earlier one is saved and done with.
        Session s;
        s.state.options.setChecked(Option::AutoSave, true);
        const QString missing = QDir(s.folder.path()).filePath(QStringLiteral("gone/codes.txt"));
        s.slot(2).fileName = missing;
        s.change(0, QStringLiteral("saved"));
        s.change(2, QStringLiteral("kept"));
        QVERIFY(!app::queryClose(s.state));
        QCOMPARE(s.messages.shown.size(), 1);
        QVERIFY(s.messages.shown[0].text.contains(missing));
        QCOMPARE(readBytes(s.file(0)), QByteArray("saved\r\nJones\r\n-----555-9876\r\n"));
        QVERIFY(!s.slot(0).changed);
        QVERIFY(s.slot(2).changed);
        QCOMPARE(s.slot(2).records.text(0), QStringLiteral("kept"));
    }

    void unloadStoresTheSettings() {
        Session s;
        s.change(0, QStringLiteral("dropped"));
        s.messages.answers = {MessageAnswer::No};
        QVERIFY(app::queryClose(s.state));

        s.store.sections.clear();
        const int syncs = s.store.syncCount;
        s.state.options.setChecked(Option::OnTop, true);
        s.state.frame.setPlacement({2000, 1500, 6000, 5000});
        s.state.gap = 2100;
        s.state.history[0] = QStringLiteral("last search");
        app::unload(s.state);
        const QMap<QString, QString> stored = s.store.sections.value(kSection);
        QCOMPARE(stored.size(), 34);
        QCOMPARE(stored.value(QStringLiteral("OnTop")), QStringLiteral("True"));
        QCOMPARE(stored.value(QStringLiteral("Gap")), QStringLiteral("2100"));
        QCOMPARE(stored.value(QStringLiteral("ST0")), QStringLiteral("last search"));
        QCOMPARE(stored.value(QStringLiteral("MainLeft")), QStringLiteral("2000"));
        QCOMPARE(stored.value(QStringLiteral("FileA")), s.file(0));
        QVERIFY(s.store.syncCount > syncs);
        // Storing the settings saves no data file.
        QVERIFY(s.untouched(0));
    }
};

QTEST_GUILESS_MAIN(TestShutdown)

#include "test_shutdown.moc"
