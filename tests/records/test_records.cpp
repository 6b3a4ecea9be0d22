#include <QTest>

#include "records/record_display.h"
#include "records/record_editing.h"
#include "search/search_engine.h"
#include "support/state_fixture.h"

using namespace trovix;
using testing::StateFixture;

class TestRecords : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void selectingARowShowsItsRecord() {
        StateFixture f({"a"}, {"Bob-----1 Main St-----Springfield", "a----------b"}, {"c"});
        f.list(1).setListIndex(0);
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   0   0"));
        f.list(2).setListIndex(0);
        QCOMPARE(f.state.listWithFocus, 2);
        QCOMPARE(f.list(1).listIndex(), -1);
        QCOMPARE(f.list(2).backColor(), store::ResultList::kFocusColour);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("Bob\r\n1 Main St\r\nSpringfield"));
        QVERIFY(f.state.editBox.isEnabled());
        // Two markers in a row show an empty line.
        f.list(2).setListIndex(1);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("a\r\n\r\nb"));
        // Lists B and C leave the row panel alone.
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   0   0"));
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

    void everyChangeFlowsBackIntoTheRecord() {
        StateFixture f({"alpha-----beta", "gamma"}, {"one"}, {"two"});
        f.list(1).setListIndex(0);
        const struct {
            const char* typed;
            const char* record;
            const char* row;
        } cases[] = {
            {"alphax\r\nbeta", "alphax-----beta", "0|alphax"},
            {"alphax\r\nbeta\r\n", "alphax-----beta-----", "0|alphax"},  // an empty last line
            {"al-----pha", "al-----pha", "0|al-----pha"},  // the row shows the marker as typed
            {"", "al-----pha", "0|al-----pha"},            // blank texts are ignored
            {"   ", "al-----pha", "0|al-----pha"},
            {"\r\n", "-----", "0|"},  // a single empty line is not blank
            // A lone LF and CR inside a line are characters of the record.
            {"top\nline\r\nsecond\rhalf", "top\nline-----second\rhalf", "0|top\nline"},
        };
        for (const auto& c : cases) {
            f.state.editBox.setText(QString::fromLatin1(c.typed));
            QVERIFY2(f.slot(1).records.text(0) == QLatin1String(c.record), c.typed);
            QVERIFY2(f.rows(1).first() == QLatin1String(c.row), c.typed);
        }
        QVERIFY(f.slot(1).changed);
        QVERIFY(!f.slot(2).changed);
        // Shown again, the record has its lines back and keeps the stray characters.
        f.list(1).setListIndex(1);
        f.list(1).setListIndex(0);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("top\nline\r\nsecond\rhalf"));

        // A search sees the edited text at once, ignoring case too.
        f.state.editBox.setText(QStringLiteral("Zebra crossing"));
        f.state.searchBox.userTyped(QStringLiteral("ZEBRA"));
        search::search(f.state);
        QCOMPARE(f.rows(1), QStringList({"0|Zebra crossing"}));
        f.state.editBox.setText(QStringLiteral("Horse"));
        search::search(f.state);
        QCOMPARE(f.rows(1), QStringList({"0|no match found"}));
    }

    void editsGoToTheListWithFocus() {
        StateFixture f({"a"}, {"b"}, {"c"});
        f.state.options.setChecked(Option::DisplayFileNames, true);
        for (store::SlotId id : store::kAllSlots) {
            records::loadArray(f.state, id);
        }
        // The header row is never written back.
        f.list(2).setListIndex(0);
        f.state.busy = false;
        f.state.editBox.setEnabled(true);
        f.state.editBox.setText(QStringLiteral("typed on the header"));
        QCOMPARE(f.slot(2).records.text(0), QStringLiteral("b"));
        QCOMPARE(f.rows(2).first(), QStringLiteral("0|... /data/taglines.txt ..."));

        f.list(3).setListIndex(1);
        f.state.editBox.setText(QStringLiteral("C"));
        f.list(1).setListIndex(1);
        f.state.editBox.setText(QStringLiteral("A"));
        QCOMPARE(f.slot(3).records.text(0), QStringLiteral("C"));
        QCOMPARE(f.slot(1).records.text(0), QStringLiteral("A"));
        QVERIFY(f.slot(1).changed && f.slot(3).changed);
        QVERIFY(!f.slot(2).changed);

        // Typing before anything is selected changes no record but marks the slot.
        StateFixture fresh({"x"}, {}, {});
        fresh.state.listWithFocus = 1;
        fresh.state.editBox.setText(QStringLiteral("Name\r\nchanged"));
        QCOMPARE(fresh.slot(1).records.text(0), QStringLiteral("x"));
        QVERIFY(fresh.slot(1).changed);
        // No list with focus: nothing at all.
        StateFixture none({"x"}, {}, {});
        none.state.editBox.setText(QStringLiteral("y"));
        QVERIFY(!none.slot(1).changed);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
