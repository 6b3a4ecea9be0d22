#include <QTest>

#include "app/options.h"
#include "records/record_editing.h"
#include "search/search_engine.h"
#include "support/state_fixture.h"

using namespace trovix;
using testing::StateFixture;

class TestRecordEditing : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void everyChangeFlowsBackIntoTheRecord() {
        StateFixture f({"alpha-----beta", "gamma"}, {"one"}, {"two"});
        f.list(1).setListIndex(0);
        f.state.editBox.setText(QStringLiteral("alphax\r\nbeta"));
        QCOMPARE(f.slot(1).records.text(0), QStringLiteral("alphax-----beta"));
        QCOMPARE(f.rows(1).first(), QStringLiteral("0|alphax"));
        QVERIFY(f.slot(1).changed);
        QVERIFY(!f.slot(2).changed);

        // Enter at the end gives an empty further line.
        f.state.editBox.setText(QStringLiteral("alphax\r\nbeta\r\n"));
        QCOMPARE(f.slot(1).records.text(0), QStringLiteral("alphax-----beta-----"));
        // The marker typed inside a line: the row shows the typed line, the record splits there.
        f.state.editBox.setText(QStringLiteral("al-----pha"));
        QCOMPARE(f.rows(1).first(), QStringLiteral("0|al-----pha"));
        QCOMPARE(f.slot(1).records.text(0), QStringLiteral("al-----pha"));
        f.list(1).setListIndex(1);
        f.list(1).setListIndex(0);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("al\r\npha"));

        // Blank texts are ignored; a single empty line is not blank.
        f.state.editBox.setText(QString());
        f.state.editBox.setText(QStringLiteral("   "));
        QCOMPARE(f.slot(1).records.text(0), QStringLiteral("al-----pha"));
        f.state.editBox.setText(QStringLiteral("\r\n"));
        QCOMPARE(f.slot(1).records.text(0), QStringLiteral("-----"));
        QCOMPARE(f.rows(1).first(), QStringLiteral("0|"));

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

    void strayLineCharactersSurviveAnEdit() {
        // A lone LF and CR inside a line of a CR LF file are characters of the record.
        StateFixture f({"top\nline-----second\rhalf"}, {}, {});
        f.list(1).setListIndex(0);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("top\nline\r\nsecond\rhalf"));
        f.state.editBox.setText(QStringLiteral("top\nline\r\nsecond\rhalf!"));
        QCOMPARE(f.slot(1).records.text(0), QStringLiteral("top\nline-----second\rhalf!"));
        QCOMPARE(f.rows(1).first(), QStringLiteral("0|top\nline"));
    }

    void autoSaveToggles() {
        StateFixture f({}, {}, {});
        QVERIFY(!f.state.options.isChecked(Option::AutoSave));
        app::optionMenuClick(f.state, Option::AutoSave);
        QVERIFY(f.state.options.isChecked(Option::AutoSave));
        app::optionMenuClick(f.state, Option::AutoSave);
        QVERIFY(!f.state.options.isChecked(Option::AutoSave));
    }
};

QTEST_GUILESS_MAIN(TestRecordEditing)
#include "test_record_editing.moc"
