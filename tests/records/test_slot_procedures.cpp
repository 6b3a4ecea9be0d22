#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/commands.h"
#include "platform/fake/fake_message_boxes.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"
#include "support/files.h"

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
