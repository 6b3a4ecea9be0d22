#include <QTest>

#include "app/commands.h"
#include "search/matcher.h"
#include "search/search_engine.h"
#include "search/status_summary.h"
#include "state/text.h"
#include "support/state_fixture.h"

using namespace trovix;
using testing::StateFixture;

namespace {

const QStringList kPhones = {"Smith, Ann-----12 Elm St-----(212) 555-0100",
                             "Jones, Bo-----555-0199", "", "smith, carl-----Tab\there",
                             "Müller, Zoë-----ÖSTERREICH"};
const QStringList kTaglines = {"Be brief.", "alpha-----beta", "   "};
const QStringList kCodes = {"201  New Jersey", "212  New York City"};

void searchFor(StateFixture& f, const QString& text) {
    f.state.searchBox.userTyped(text);
    search::search(f.state);
}

}  // namespace

class TestSearch : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void termsSplitAtEverySpace() {
        QCOMPARE(search::searchTerms(QStringLiteral("  smith 555 ")),
                 QStringList({"smith", "555"}));
        QCOMPARE(search::searchTerms(QStringLiteral("a  b")), QStringList({"a", "", "b"}));
        QCOMPARE(search::searchTerms(QStringLiteral("a\tb c")), QStringList({"a\tb", "c"}));
        QVERIFY(search::containsBytes("alpha-----beta", "a-----b"));
        QVERIFY(!search::containsBytes("abc", "abcd"));
        // Long texts take the sixteen-at-a-time path; a match in the last bytes still counts.
        const std::string text(200, 'x');
        QVERIFY(search::containsBytes(text + "needle", "needle"));
        QVERIFY(!search::containsBytes(text + "needl", "needle"));
        QVERIFY(search::containsBytes(text + "ab" + text, "xabx"));
    }

    void recordsMatchEveryTerm() {
        StateFixture f(kPhones, kTaglines, kCodes);
        // Both words, anywhere in the record and on different lines; case ignored by default.
        searchFor(f, QStringLiteral("smith 555"));
        QCOMPARE(f.rows(1), QStringList({"0|Smith, Ann"}));
        QCOMPARE(f.rows(2), QStringList({"0|no match found"}));
        // Without Ignore Case the capital letter matters.
        f.state.options.setChecked(Option::IgnoreCase, false);
        searchFor(f, QStringLiteral("smith"));
        QCOMPARE(f.rows(1), QStringList({"3|smith, carl"}));
        f.state.options.setChecked(Option::IgnoreCase, true);
        searchFor(f, QStringLiteral("SMITH"));
        QCOMPARE(f.rows(1), QStringList({"0|Smith, Ann", "3|smith, carl"}));
        // Case folding beyond ASCII.
        searchFor(f, QStringLiteral("zoë österreich"));
        QCOMPARE(f.rows(1), QStringList({"4|Müller, Zoë"}));
        // Two spaces give an empty term, which every record with text holds.
        searchFor(f, QStringLiteral("jones  555"));
        QCOMPARE(f.rows(1), QStringList({"1|Jones, Bo"}));
        // A tab is part of the term; a term may span the marker between two lines.
        searchFor(f, QStringLiteral("tab\there"));
        QCOMPARE(f.rows(1), QStringList({"3|smith, carl"}));
        searchFor(f, QStringLiteral("alpha-----beta"));
        QCOMPARE(f.rows(2), QStringList({"1|alpha"}));
        // A single hyphen finds every record of more than one line (and one with a dash).
        searchFor(f, QStringLiteral("-"));
        QCOMPARE(f.rows(1).size(), 4);
        QCOMPARE(f.rows(2), QStringList({"1|alpha"}));
        // Blank records never match.
        searchFor(f, QStringLiteral("e"));
        QCOMPARE(f.rows(2), QStringList({"0|Be brief.", "1|alpha"}));
    }

    void rowsFollowTheDisplayOptions() {
        StateFixture f(kPhones, kTaglines, kCodes);
        f.state.options.setChecked(Option::DisplayFileNames, true);
        f.state.toolbar.setPressed(Command::Data, true);
        searchFor(f, QStringLiteral("555"));
        QCOMPARE(f.rows(1), QStringList({"0|... /data/phone_numbers.txt ...", "0|Smith, Ann",
                                         "-1|-----12 Elm St", "-1|-----(212) 555-0100",
                                         "1|Jones, Bo", "-1|-----555-0199"}));
        QCOMPARE(f.rows(3), QStringList({"0|... /data/area_codes.txt ...", "0|no match found"}));
        // The first record row is selected and shown, read only in full data view.
        QCOMPARE(f.list(1).listIndex(), 1);
        QCOMPARE(f.state.listWithFocus, 1);
        QCOMPARE(f.state.editBox.text(),
                 QStringLiteral("Smith, Ann\r\n12 Elm St\r\n(212) 555-0100"));
        QVERIFY(!f.state.editBox.isEnabled());
        QCOMPARE(f.state.statusBar.panel(1), QStringLiteral("phone_numbers.txt  (6)"));
        QCOMPARE(f.state.statusBar.panel(2), QStringLiteral("taglines.txt  (2)"));
        QCOMPARE(f.state.statusBar.panel(3), QStringLiteral("area_codes.txt  (2)"));
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   1   0"));
    }

    void theFirstMatchOfTheFirstListWithMatchesIsSelected() {
        StateFixture f(kPhones, kTaglines, kCodes);
        f.state.options.setChecked(Option::DisplayFileNames, true);
        f.list(1).setBackColor(store::ResultList::kFocusColour);
        searchFor(f, QStringLiteral("new york"));
        QCOMPARE(f.list(1).listIndex(), -1);
        QCOMPARE(f.list(2).listIndex(), -1);
        QCOMPARE(f.list(3).listIndex(), 1);
        QCOMPARE(f.state.listWithFocus, 3);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("212  New York City"));
        QVERIFY(f.state.editBox.isEnabled());
        QCOMPARE(f.list(1).backColor(), store::ResultList::kWhite);
        QCOMPARE(f.list(3).backColor(), store::ResultList::kFocusColour);
        QVERIFY(!f.state.busy);

        // No match anywhere: nothing selected, the edit box empty and disabled.
        searchFor(f, QStringLiteral("zzz"));
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(f.rows(n).last(), QStringLiteral("0|no match found"));
            QCOMPARE(f.list(n).listIndex(), -1);
            QCOMPARE(f.list(n).backColor(), store::ResultList::kWhite);
        }
        QCOMPARE(f.state.editBox.text(), QString());
        QVERIFY(!f.state.editBox.isEnabled());
        QCOMPARE(f.state.statusBar.panel(1), QStringLiteral("phone_numbers.txt  (2)"));

        // A hidden list is searched too, and selected when the lists before it have nothing.
        f.state.toolbar.setPressed(Command::FileC, false);
        f.list(3).setVisible(false);
        searchFor(f, QStringLiteral("jersey"));
        QCOMPARE(f.list(3).listIndex(), 1);
        QCOMPARE(f.list(3).backColor(), store::ResultList::kWhite);  // never coloured hidden
    }

    void theFindButtonSearchesOnlyForText() {
        StateFixture f(kPhones, kTaglines, kCodes);
        f.state.searchBox.userTyped(QStringLiteral("  "));
        app::toolbarButtonClick(f.state, Command::Find);
        QCOMPARE(f.rows(2), QStringList({"0|Be brief.", "1|alpha"}));  // nothing cleared
        f.state.searchBox.userTyped(QStringLiteral(" brief "));
        app::toolbarButtonClick(f.state, Command::Find);
        QCOMPARE(f.rows(2), QStringList({"0|Be brief."}));
    }

    void statusBarNamesFilesWithoutFolders() {
        QCOMPARE(withoutFolder(QStringLiteral("/home/ann/notes/phones.txt")),
                 QStringLiteral("phones.txt"));
        QCOMPARE(withoutFolder(QStringLiteral("phones.txt")), QStringLiteral("phones.txt"));
        QCOMPARE(withoutFolder(QString()), QString());
        StateFixture f({"<file not found>"}, {}, {});
        f.slot(1).fileName = QStringLiteral("missing.txt");
        search::fillStatusBar(f.state);
        QCOMPARE(f.state.statusBar.panel(1), QStringLiteral("missing.txt  (1)"));
        QCOMPARE(f.state.statusBar.panel(2), QStringLiteral("taglines.txt  (0)"));
    }

    void largeArraysAreSearchedCompletelyAndInOrder() {
        // Enough records for the search to split the work; every match must come back, in order.
        QStringList many;
        for (int i = 0; i < 120000; ++i) {
            many << (i % 7 == 0 ? QStringLiteral("Name %1-----needle").arg(i)
                                : QStringLiteral("Name %1-----hay").arg(i));
        }
        const store::RecordArray records = store::RecordArray::fromStrings(many);
        const std::vector<qint32> found =
            search::matchingRecords(records, search::TermMatcher({"NEEDLE"}, true));
        QCOMPARE(found.size(), std::size_t{120000 / 7 + 1});
        for (std::size_t k = 0; k < found.size(); ++k) {
            QCOMPARE(found[k], static_cast<qint32>(7 * k));
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"
