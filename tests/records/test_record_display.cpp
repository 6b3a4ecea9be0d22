#include <QTest>

#include "records/record_display.h"
#include "support/state_fixture.h"

using namespace trovix;
using testing::StateFixture;

class TestRecordDisplay : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void selectingARowShowsItsRecord() {
        StateFixture f({"a"}, {"Bob-----1 Main St-----Springfield", "a----------b"}, {"c"});
        f.list(1).setListIndex(0);
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   0   0"));
        f.list(2).setListIndex(0);
        QCOMPARE(f.state.listWithFocus, 2);
        QCOMPARE(f.list(1).listIndex(), -1);
        QCOMPARE(f.list(3).listIndex(), -1);
        QCOMPARE(f.list(2).backColor(), store::ResultList::kFocusColour);
        QCOMPARE(f.list(1).backColor(), store::ResultList::kWhite);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("Bob\r\n1 Main St\r\nSpringfield"));
        QVERIFY(f.state.editBox.isEnabled());
        // Lists B and C leave the row panel alone.
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   0   0"));
        // Two markers in a row show an empty line.
        f.list(2).setListIndex(1);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("a\r\n\r\nb"));
        // Showing a record is not an edit.
        QVERIFY(!f.slot(2).changed);
        QVERIFY(!f.state.busy);
    }

    void rowsThatAreNoRecordsShowDisabled() {
        StateFixture f({"x-----y", "z"}, {"b"}, {"c"});
        f.state.options.setChecked(Option::DisplayFileNames, true);
        f.state.toolbar.setPressed(Command::Data, true);
        records::loadArray(f.state, store::SlotId::A);
        f.list(1).setListIndex(0);  // the header row
        QCOMPARE(f.state.editBox.text(), QStringLiteral("<disabled>"));
        QVERIFY(!f.state.editBox.isEnabled());
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   0   0"));
        f.list(1).setListIndex(1);  // a record row in full data view: read only
        QCOMPARE(f.state.editBox.text(), QStringLiteral("x\r\ny"));
        QVERIFY(!f.state.editBox.isEnabled());
        f.list(1).setListIndex(2);  // its continuation row
        QCOMPARE(f.state.editBox.text(), QStringLiteral("<disabled>"));
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   2   -1"));

        // A list showing "no match found" shows disabled whatever row is chosen.
        f.list(2).clear();
        f.list(2).addNoMatchRow();
        f.list(2).insertHeaderRow(QStringLiteral("... b ..."));
        f.list(2).setListIndex(1);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("<disabled>"));
        QCOMPARE(f.state.listWithFocus, 2);
    }

    void mouseDownColoursWithoutChangingTheFocus() {
        StateFixture f({"a"}, {"b"}, {"c"});
        f.list(1).setListIndex(0);
        const QString shown = f.state.editBox.text();
        f.list(3).userMouseDown();
        QCOMPARE(f.list(3).backColor(), store::ResultList::kFocusColour);
        QCOMPARE(f.list(1).backColor(), store::ResultList::kWhite);
        QCOMPARE(f.list(1).listIndex(), -1);
        QCOMPARE(f.state.listWithFocus, 1);
        QCOMPARE(f.state.editBox.text(), shown);

        // A hidden list is never coloured, and the others keep their colours.
        f.state.toolbar.setPressed(Command::FileB, false);
        f.list(2).userMouseDown();
        QCOMPARE(f.list(3).backColor(), store::ResultList::kFocusColour);
        QCOMPARE(f.list(2).backColor(), store::ResultList::kWhite);
        records::setListBackGroundColors(f.state, 0);
        records::setListBackGroundColors(f.state, 4);
        QCOMPARE(f.list(3).backColor(), store::ResultList::kFocusColour);

        // The list with focus lost its selection to a mouse-down elsewhere: the record still
        // shown takes no typing, which would otherwise reach no record.
        f.list(1).setListIndex(0);
        QVERIFY(f.state.editBox.isEnabled());
        f.list(3).userMouseDown();
        QVERIFY(!f.state.editBox.isEnabled());
        f.list(3).setListIndex(0);
        QVERIFY(f.state.editBox.isEnabled());

        // While busy, a selection change shows nothing.
        f.state.busy = true;
        f.list(2).setListIndex(0);
        f.state.busy = false;
        QCOMPARE(f.state.listWithFocus, 3);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("c"));
    }
};

QTEST_GUILESS_MAIN(TestRecordDisplay)
#include "test_record_display.moc"
