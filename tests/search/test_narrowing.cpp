#include <QRandomGenerator>
#include <QTest>
#include <functional>

#include "app/commands.h"
#include "app/undo_commands.h"
#include "search/matcher.h"
#include "search/narrowing.h"
#include "search/search_engine.h"
#include "support/state_fixture.h"

using namespace trovix;
using testing::StateFixture;

namespace {

// The records a list shows, or -1 for its "no match found" row.
std::vector<qint32> listed(const lists::ResultList& list) {
    std::vector<qint32> out;
    for (int r = 0; r < list.count(); ++r) {
        out.push_back(list.isNoMatchRow(r) ? -1 : list.itemData(r));
    }
    return out;
}

// What the list must show after a search for `text`: every matching record, found by a scan of
// all the records, or the "no match found" row.
std::vector<qint32> fullSearch(const lists::FileSlot& slot, const QString& text, bool ignoreCase) {
    std::vector<qint32> found = search::matchingRecords(
        slot.records, search::TermMatcher(search::searchTerms(text), ignoreCase));
    return found.empty() ? std::vector<qint32>{-1} : found;
}

QString randomText(QRandomGenerator& rng, const QStringList& pieces, int most) {
    QString text;
    for (int n = rng.bounded(1, most + 1); n > 0; --n) {
        text += pieces[rng.bounded(pieces.size())];
    }
    return text;
}

}  // namespace

class TestNarrowing : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void onlyTheRecordsAnEarlierSearchFoundAreLookedAtWhileTheyStayUnchanged() {
        QStringList texts;
        for (int i = 0; i < 120000; ++i) {
            texts << (i % 3 == 0 ? QStringLiteral("Thomas %1").arg(i)
                                 : QStringLiteral("t %1").arg(i));
        }
        store::RecordArray records = store::RecordArray::fromStrings(texts);
        lists::RecentFinds recent;
        const auto find = [&](const QString& text, bool ignoreCase) {
            return *search::findMatches(
                records, search::TermMatcher(search::searchTerms(text), ignoreCase), recent);
        };
        const auto every = [](qint32 step) {
            std::vector<qint32> out;
            for (qint32 i = 0; i < 120000; i += step) {
                out.push_back(i);
            }
            return out;
        };
        // Split over several threads, every match comes back, in order.
        QVERIFY(find("t", true) == every(1));
        // What "t" found is cut down to every other record: a search that narrows it looks at
        // those alone, and one that does not, at every record.
        recent.front().records = std::make_shared<std::vector<qint32>>(every(2));
        QVERIFY(find("thomas", true) == every(6));
        QCOMPARE(find("T", false).size(), std::size_t{40000});  // another case rule
        QCOMPARE(find("t", true).size(), std::size_t{60000});   // the same text again
        // Once the records change, nothing found earlier is used.
        records.set(1, std::string_view("t again"));
        QCOMPARE(find("th", true).size(), std::size_t{40000});
        QCOMPARE(find("t", true).size(), std::size_t{120000});
        // A few searches are kept, the newest first; a record array's stamp is its own.
        for (int k = 0; k < 20; ++k) {
            find(QStringLiteral("t %1").arg(k), true);
        }
        QCOMPARE(recent.size(), search::kMostKeptSearches);
        QCOMPARE(recent.front().terms, search::TermMatcher({"t", "19"}, true).terms());
        const store::RecordArray copy = records;
        QVERIFY(copy.changeStamp() != records.changeStamp());
    }

    void searchingWhileTypingAlwaysListsWhatAFullSearchFinds() {
        // Thousands of texts typed, taken back and changed between edits, new and deleted
        // records, sorts, undos and the Ignore Case option: after every key each list holds
        // exactly what a search of all its records finds.
        QRandomGenerator rng(18);
        const QStringList pieces = {"ab", "Ab", "ba", "aé", "É", "Straße", "ss", "b", " ", "-----"};
        QStringList a, b, c = {"ab", "", "AB-----É"};
        for (int i = 0; i < 1700; ++i) {  // 1500 records of up to four pieces, 200 of two
            (i < 1500 ? a : b) << randomText(rng, pieces, i < 1500 ? 4 : 2);
        }
        StateFixture f(a, b, c);
        OptionMenu& options = f.state.options;
        options.setChecked(Option::SearchWhileTyping, true);
        const QStringList keys = {"a", "b", "A", "B", "é", "É", "ß", "s", " ", "-"};
        // What may happen between two keys, in any of the lists.
        const std::function<void()> changes[] = {
            [&] { options.setChecked(Option::IgnoreCase, !options.isChecked(Option::IgnoreCase)); },
            [&] {
                if (f.state.editBox.isEnabled()) {
                    f.state.editBox.setText(randomText(rng, pieces, 3));
                }
            },
            [&] { app::toolbarButtonPressed(f.state, Command::New); },
            [&] { app::toolbarButtonPressed(f.state, Command::Delete); },
            [&] { app::toolbarButtonPressed(f.state, Command::Sort); },
            [&] { app::undoCommand(f.state); },
            [&] { app::redoCommand(f.state); }};
        int searches = 0, narrowed = 0;
        for (int sequence = 0; sequence < 2000; ++sequence) {
            QString text;
            for (int step = rng.bounded(1, 14); step > 0; --step) {
                const int what = rng.bounded(100);
                if (what < 70) {
                    text += keys[rng.bounded(keys.size())];
                } else if (what < 88) {
                    text.chop(1);
                } else {
                    f.state.listWithFocus = static_cast<lists::SlotId>(rng.bounded(3));
                    changes[rng.bounded(7)]();
                    continue;
                }
                f.state.searchBox.userTyped(text);
                if (text.trimmed().isEmpty()) {
                    continue;
                }
                ++searches;
                narrowed += f.slot(1).recentFinds.size() > 1 ? 1 : 0;
                for (int n = 1; n <= 3; ++n) {
                    QVERIFY2(listed(f.list(n)) ==
                                 fullSearch(f.slot(n), text, options.isChecked(Option::IgnoreCase)),
                             qPrintable(QStringLiteral("list %1: %2").arg(n).arg(text)));
                }
            }
            f.state.searchBox.userTyped(QString());
        }
        // Most searches had earlier ones to narrow.
        QVERIFY2(searches > 5000 && narrowed > searches / 2,
                 qPrintable(QStringLiteral("%1 of %2").arg(narrowed).arg(searches)));
    }
};

QTEST_GUILESS_MAIN(TestNarrowing)
#include "test_narrowing.moc"
