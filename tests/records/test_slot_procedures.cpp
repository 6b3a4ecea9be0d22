#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "app/commands.h"
#include "platform/fake/fake_message_boxes.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"
#include "support/files.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace trovix;
using store::SlotId;
using testing::readBytes;
using testing::writeBytes;

namespace {

QStringList rowTexts(const store::ResultList& list) {
    QStringList out;
    for (int r = 0; r < list.count(); ++r) {
        out << list.text(r);
    }
    return out;
}

// A path that exists as a regular file but fails when read.
QString unreadableFile() {
    return QStringLiteral("/proc/self/mem");
}

}  // namespace

class TestSlotProcedures : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void anUnreadableFileIsNeverSavedOver() {
        if (!QFile(unreadableFile()).open(QIODevice::ReadOnly) ||
            QFile(unreadableFile()).read(1).size() != 0) {
            QSKIP("this system has no file that fails on reading");
        }
        platform::FakeMessageBoxes messages;
        MainState state({.messages = &messages});
        store::FileSlot& slot = state.slot(SlotId::A);
        slot.records = store::RecordArray::fromStrings({"kept"});
        records::loadArray(state, SlotId::A);
        slot.changed = true;
        slot.fileName = unreadableFile();
        records::loadFile(state, SlotId::A);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains(unreadableFile()));
        QCOMPARE(slot.records.toStringList(), QStringList({"kept"}));
        QCOMPARE(rowTexts(slot.list), QStringList({"kept"}));
        QVERIFY(slot.changed);
        QVERIFY(!records::saveFile(state, SlotId::A));
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY(messages.shown[1].text.contains(unreadableFile()));
    }

    void aFailedSaveTellsTheUserAndKeepsTheChanges() {
        QTemporaryDir dir;
        platform::FakeMessageBoxes messages;
        MainState state({.messages = &messages});
        store::FileSlot& slot = state.slot(SlotId::B);
        slot.fileName = dir.filePath(QStringLiteral("gone/taglines.txt"));
        slot.records = store::RecordArray::fromStrings({"edited"});
        slot.changed = true;
        QVERIFY(!records::saveFile(state, SlotId::B));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains(slot.fileName));
        QVERIFY(slot.changed);
        QCOMPARE(slot.records.toStringList(), QStringList({"edited"}));

        // Saved where it can be: the file has the records, in the format it was read with.
        slot.fileName = dir.filePath(QStringLiteral("taglines.txt"));
        writeBytes(slot.fileName, "caf\xE9\r\n");
        records::loadFile(state, SlotId::B);
        slot.records.set(0, QStringLiteral("café-----crème"));
        QVERIFY(records::saveFile(state, SlotId::B));
        QCOMPARE(readBytes(slot.fileName), QByteArray("caf\xE9\r\n-----cr\xE8me\r\n"));
    }

    void savingAsksBeforeOverwritingWhatItDidNotRead() {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        platform::FakeMessageBoxes messages;
        MainState state({.messages = &messages});
        store::FileSlot& slot = state.slot(SlotId::A);
        slot.fileName = dir.filePath(QStringLiteral("data.txt"));
        struct Change {
            const char* what;
            std::function<void()> make;
            const char* said;
        };
        const Change changes[] = {
            {"changed", [&] { writeBytes(slot.fileName, "theirs, longer\r\n"); }, "changed"},
            {"deleted", [&] { QFile::remove(slot.fileName); }, "deleted"},
            {"replaced",
             [&] {
                 writeBytes(slot.fileName + ".new", "mine\r\n");
                 QFile::remove(slot.fileName);
                 QFile::rename(slot.fileName + ".new", slot.fileName);
             },
             "changed"},
        };
        for (const Change& change : changes) {
            writeBytes(slot.fileName, "mine\r\n");
            records::loadFile(state, SlotId::A);
            slot.records.set(0, QStringLiteral("edited"));
            change.make();
            const QByteArray theirs = readBytes(slot.fileName);
            messages.choiceAnswers = {1};  // Cancel: their file stays
            QVERIFY2(!records::saveFile(state, SlotId::A), change.what);
            QVERIFY2(messages.shown.last().text.contains(change.said), change.what);
            QCOMPARE(readBytes(slot.fileName), theirs);
            messages.choiceAnswers = {0};  // Save Anyway
            QVERIFY2(records::saveFile(state, SlotId::A), change.what);
            QCOMPARE(readBytes(slot.fileName), QByteArray("edited\r\n"));
            // Saved, the file is the slot's own again: no question next time.
            const qsizetype asked = messages.shown.size();
            QVERIFY(records::saveFile(state, SlotId::A));
            QCOMPARE(messages.shown.size(), asked);
        }

        // A named pipe reads as a missing file and is never replaced unasked; a link stays.
        QFile::remove(slot.fileName);
        QVERIFY(::mkfifo(QFile::encodeName(slot.fileName).constData(), 0644) == 0);
        records::loadFile(state, SlotId::A);
        QVERIFY(messages.shown.last().text.contains("named pipe"));
        QCOMPARE(slot.records.toStringList(), QStringList({"<file not found>"}));
        messages.choiceAnswers = {1};
        QVERIFY(!records::saveFile(state, SlotId::A));
        QCOMPARE(platform::pathKind(slot.fileName), platform::PathKind::NamedPipe);
        QFile::remove(slot.fileName);
        writeBytes(dir.filePath("target.txt"), "linked\r\n");
        QVERIFY(QFile::link(dir.filePath("target.txt"), slot.fileName));
        records::loadFile(state, SlotId::A);
        slot.records.set(0, QStringLiteral("through the link"));
        QVERIFY(records::saveFile(state, SlotId::A));
        QVERIFY(QFileInfo(slot.fileName).isSymLink());
        QCOMPARE(readBytes(dir.filePath("target.txt")), QByteArray("through the link\r\n"));
#endif
    }

    void fullDataViewSwitchesTheThreeLists() {
        platform::FakeMessageBoxes messages;
        MainState state({.messages = &messages});
        state.slot(SlotId::A).records = store::RecordArray::fromStrings({"a-----a2", "b"});
        state.slot(SlotId::C).records = store::RecordArray::fromStrings({"c-----c2-----c3"});
        for (SlotId id : store::kAllSlots) {
            records::loadArray(state, id);
        }
        QList<bool> busyDuringChange;
        state.editBox.setChangeHandler([&] { busyDuringChange << state.busy; });

        state.toolbar.setPressed(Command::Data, true);
        app::toolbarButtonClick(state, Command::Data);
        QCOMPARE(rowTexts(state.slot(SlotId::A).list), QStringList({"a", "-----a2", "b"}));
        QCOMPARE(rowTexts(state.slot(SlotId::C).list), QStringList({"c", "-----c2", "-----c3"}));
        QCOMPARE(state.editBox.text(), QStringLiteral("<disabled>"));
        QVERIFY(!state.editBox.isEnabled());
        for (const Command command : {Command::New, Command::Delete, Command::Sort}) {
            QVERIFY(!state.toolbar.button(command).enabled);
        }

        state.toolbar.setPressed(Command::Data, false);
        app::toolbarButtonClick(state, Command::Data);
        QCOMPARE(rowTexts(state.slot(SlotId::A).list), QStringList({"a", "b"}));
        QCOMPARE(rowTexts(state.slot(SlotId::C).list), QStringList({"c"}));
        QCOMPARE(state.editBox.text(), QString());
        QVERIFY(state.editBox.isEnabled());
        QVERIFY(state.toolbar.button(Command::Sort).enabled);
        // The program's own writes to the edit box happened while it was busy.
        QCOMPARE(busyDuringChange, QList<bool>({true, true}));
        QVERIFY(!state.busy);
    }
};

QTEST_GUILESS_MAIN(TestSlotProcedures)
#include "test_slot_procedures.moc"
