#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "app/commands.h"
#include "app/search_commands.h"
#include "search/match_ranges.h"
#include "search/matcher.h"
#include "search/search_box.h"
#include "search/search_engine.h"
#include "search/status_summary.h"
#include "store/text_codec.h"
#include "support/address_space.h"
#include "support/files.h"
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
    app::search(f.state);
}

QStringList history(const MainState& state) {
    return QStringList(state.history.begin(), state.history.end());
}

// Types a text into the search box and presses Enter.
void enter(StateFixture& f, const QString& text) {
    f.state.searchBox.userTyped(text);
    f.state.searchBox.keyPress(QChar(13));
}

// A text with each found range in brackets: "[Smith], [Ann]".
QString bracketed(const QString& text, const std::vector<search::TextRange>& ranges) {
    QString out = text;
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        out.insert(it->start + it->length, u']');
        out.insert(it->start, u'[');
    }
    return out;
}

}  // namespace

class TestSearch : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void termsSplitAtEverySpace() {
        QCOMPARE(search::searchTerms(QStringLiteral("  smith 555 ")),
                 QStringList({"smith", "555"}));
        // (Empty terms and tabs inside terms: the tables below.)
        QVERIFY(!search::containsBytes("abc", "abcd"));
        // A needle at every place of texts of every length around the sixteen-byte blocks is
        // found, in either letter case when lowered; one letter off, it is not.
        for (qsizetype n = 1; n <= 50; ++n) {
            for (const QByteArray needle : {"q", "qZ", "q-z", "qrstuvwxyz12"}) {
                const std::string lowered = needle.toLower().toStdString();
                const std::string near = lowered.substr(0, lowered.size() - 1) + '!';
                for (qsizetype at = 0; at + needle.size() <= n; ++at) {
                    const QByteArray hay = QByteArray(n, '.').replace(at, needle.size(), needle);
                    const std::string upper = hay.toUpper().toStdString();
                    QVERIFY2(search::containsBytes(hay.toStdString(), needle.toStdString()) &&
                                 search::containsLowered(upper, lowered) &&
                                 !search::containsLowered(upper, near) &&
                                 !search::containsBytes(hay.toStdString(), near),
                             hay.constData());
                }
            }
        }
    }

    // Where the terms occur in a row's text, by the search's own rule: the ranges of each
    // term alone are found exactly when the search finds that term in the text.
    void termRangesShowWhyATextMatched_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* text, const char* search, bool ignoreCase,
                            const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(search)
                                << ignoreCase << QString::fromUtf8(expected);
        };
        row("case ignored", "Smith, Ann", "smith ANN", true, "[Smith], [Ann]");
        row("case kept", "Smith, Ann", "smith Ann", false, "Smith, [Ann]");
        row("repeated", "555-0100 or 555-0199", "555", true, "[555]-0100 or [555]-0199");
        row("overlapping terms", "abcdef", "abc cde", true, "[abcde]f");
        row("overlapping itself", "aaaa b", "aa", false, "[aaaa] b");
        row("touching", "foobar", "bar foo", true, "[foobar]");
        row("term inside term", "Elm Street", "street tre", true, "Elm [Street]");
        row("umlauts", "Müller, Zoë", "MÜLLER zoë", true, "[Müller], [Zoë]");
        row("umlauts, case kept", "Müller, Zoë", "müller Zoë", false, "Müller, [Zoë]");
        row("capital umlaut", "ÖSTERREICH", "österreich", true, "[ÖSTERREICH]");
        row("sigma", "ΟΔΟΣ 12", "οδοσ", true, "[ΟΔΟΣ] 12");
        // The Kelvin sign folds to a plain k: three bytes of the text meet one of the term.
        row("kelvin sign", "\u212Aelvin scale", "kel", true, "[\u212Ael]vin scale");
        row("outside the basic plane", "a😀b😀", "😀", false, "a[😀]b[😀]");
        row("tab in a term", "Tab\there", "b\th", false, "Ta[b\th]ere");
        row("empty terms", "a b", "a  b", true, "[a] [b]");
        row("no term", "a b", "   ", true, "a b");
        row("not there", "Jones, Bo", "smith", true, "Jones, Bo");
    }
    void termRangesShowWhyATextMatched() {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, expected);
        const QStringList terms = search::searchTerms(search);
        QCOMPARE(bracketed(text, search::MatchFinder(terms, ignoreCase).rangesIn(text)), expected);
        const std::string utf8 = text.toStdString();
        std::string form = ignoreCase ? std::string() : utf8;
        if (ignoreCase) {
            store::appendCaseFolded(utf8, form);
        }
        for (const QString& term : terms) {
            if (term.isEmpty()) {
                continue;  // in every text, and nothing to show
            }
            QCOMPARE(search::MatchFinder({term}, ignoreCase).rangesIn(text).empty(),
                     !search::TermMatcher({term}, ignoreCase).matches(form));
        }
        // The cache hands out the finder of the search asked for.
        search::CachedMatchFinder cache;
        QVERIFY(cache.finderFor(QString(), ignoreCase).findsNothing());
        QCOMPARE(bracketed(text, cache.finderFor(search, ignoreCase).rangesIn(text)), expected);
        QCOMPARE(cache.finderFor(search, !ignoreCase).rangesIn(text),
                 search::MatchFinder(terms, !ignoreCase).rangesIn(text));
    }

    void recordsMatchEveryTerm() {
        StateFixture f(kPhones, kTaglines, kCodes);
        // What is searched for, whether letter case is ignored, and what a list shows.
        const std::tuple<const char*, bool, int, QStringList> cases[] = {
            // Both words, anywhere in the record and on different lines.
            {"smith 555", true, 1, {"0|Smith, Ann"}},
            {"smith 555", true, 2, {"0|no match found"}},
            {"smith", false, 1, {"3|smith, carl"}},
            {"SMITH", true, 1, {"0|Smith, Ann", "3|smith, carl"}},
            {"zoë österreich", true, 1, {"4|Müller, Zoë"}},
            // Two spaces give an empty term, which every record with text holds.
            {"jones  555", true, 1, {"1|Jones, Bo"}},
            // A tab is part of the term; a term may span the marker between two lines.
            {"tab\there", true, 1, {"3|smith, carl"}},
            {"alpha-----beta", true, 2, {"1|alpha"}},
            {"-", true, 2, {"1|alpha"}},
            {"e", true, 2, {"0|Be brief.", "1|alpha"}},  // blank records never match
        };
        for (const auto& [search, ignoreCase, list, rows] : cases) {
            f.state.options.setChecked(Option::IgnoreCase, ignoreCase);
            searchFor(f, QString::fromUtf8(search));
            QVERIFY2(f.rows(list) == rows, search);
        }
        // The Find button searches only for text: blanks clear nothing.
        f.state.searchBox.userTyped(QStringLiteral("  "));
        app::toolbarButtonClick(f.state, Command::Find);
        QCOMPARE(f.rows(2), QStringList({"0|Be brief.", "1|alpha"}));
        f.state.searchBox.userTyped(QStringLiteral(" brief "));
        app::toolbarButtonClick(f.state, Command::Find);
        QCOMPARE(f.rows(2), QStringList({"0|Be brief."}));
    }

    void rowsFollowTheDisplayOptionsAndTheFirstMatchIsSelected() {
        StateFixture f(kPhones, kTaglines, kCodes);
        f.slot(2).fileName = QStringLiteral("taglines.txt");  // a name without a folder
        f.state.options.setChecked(Option::DisplayFileNames, true);
        f.state.toolbar.setPressed(Command::Data, true);
        searchFor(f, QStringLiteral("555"));
        QCOMPARE(f.rows(1), QStringList({"0|... /data/phone_numbers.txt ...", "0|Smith, Ann",
                                         "-1|-----12 Elm St", "-1|-----(212) 555-0100",
                                         "1|Jones, Bo", "-1|-----555-0199"}));
        QCOMPARE(f.rows(3), QStringList({"0|... /data/area_codes.txt ...", "0|no match found"}));
        // The first record row is selected and shown, read only in full data view.
        QCOMPARE(f.seen(), "focus 1: 1* -1 -1 | Smith, Ann|12 Elm St|(212) 555-0100 (off)");
        QCOMPARE(
            f.state.statusBar.panel(1) + f.state.statusBar.panel(2) + f.state.statusBar.panel(4),
            "phone_numbers.txt  (6)taglines.txt  (2)   1   0");

        // The first match of the first list with matches is selected, and only its list
        // coloured.
        f.state.toolbar.setPressed(Command::Data, false);
        f.list(1).setBackColor(lists::ResultList::kFocusColour);
        searchFor(f, QStringLiteral("new york"));
        QCOMPARE(f.seen(), "focus 3: -1 -1 1* | 212  New York City");
        QVERIFY(!f.state.busy);

        // No match anywhere: nothing selected, the edit box empty and disabled.
        searchFor(f, QStringLiteral("zzz"));
        QCOMPARE(f.rows(1).last() + f.rows(2).last() + f.rows(3).last(),
                 QStringLiteral("0|no match found").repeated(3));
        QCOMPARE(f.seen(), "focus 3: -1 -1 -1 |  (off)");

        // A hidden list is searched too, and selected when the lists before it have nothing,
        // but never coloured.
        f.state.toolbar.setPressed(Command::FileC, false);
        f.list(3).setVisible(false);
        searchFor(f, QStringLiteral("jersey"));
        QCOMPARE(f.seen(), "focus 3: -1 -1 1- | 201  New Jersey");
    }

    // (That a search split over several threads finds every match in order is test_narrowing's.)
    void foldedRecordsAreSearchedAsAPlainSearchWould() {
        // Most records are compared as they are, their ASCII letters lowered; those with other
        // characters that fold (É, Σ, the Kelvin sign) through a folded copy, kept in step with
        // every write. Either way the result must be that of folding every record.
        QRandomGenerator rng(3);
        const QStringList pieces = {"smith", "SMITH", "école",  "ÉCOLE", "Straße", "STRASSE",
                                    "σας",   "ΣΑΣ",   "\u212A", "k",     "K",      "-----",
                                    " ",     "café",  "CAFÉ",   "ǅ"};
        const auto piece = [&] { return pieces[rng.bounded(pieces.size())]; };
        QStringList texts;
        for (int i = 0; i < 3000; ++i) {
            texts << piece() + (i % 2 ? piece() : "") + (i % 3 ? piece() : "");
        }
        store::RecordArray folded = store::RecordArray::fromStrings(texts);
        for (int round = 0; round < 120; ++round) {
            const auto at = static_cast<qint32>(rng.bounded(texts.size()));
            const auto other = static_cast<qint32>(rng.bounded(texts.size()));
            if (round % 4 == 1) {  // a new text, or none, given as text or as bytes
                texts[at] = round % 8 == 1 ? piece() + QStringLiteral("x") : QString();
                folded.set(at, texts[at]);
                texts[other] = piece();
                folded.set(other, texts[other].toStdString());
            } else if (round % 4 == 2) {
                texts.swapItemsAt(at, other);
                folded.swap(at, other);
            } else if (round % 4 == 3) {
                texts.removeAt(at);
                folded.removeAt({at});
                texts.append(piece());
                folded.append(texts.last());
            }
            const QStringList terms = {piece().trimmed(), piece().trimmed()};
            std::vector<qint32> expected;
            for (qint32 i = 0; i < texts.size(); ++i) {
                const QString text = texts[i].toCaseFolded();
                if (!text.isEmpty() && text.contains(terms[0].toCaseFolded()) &&
                    text.contains(terms[1].toCaseFolded())) {
                    expected.push_back(i);
                }
            }
            QVERIFY2(search::matchingRecords(folded, search::TermMatcher(terms, true)) == expected,
                     qPrintable(terms.join(u' ')));
        }
    }

    void enterSearchesAndRemembersNewTexts() {
        StateFixture f({"Smith-----555", "Jones"}, {}, {});
        int selectAlls = 0;
        QObject::connect(&f.state.searchBox, &SearchBox::selectAllAsked, [&] { ++selectAlls; });
        enter(f, QStringLiteral("  smith "));
        QCOMPARE(f.rows(1), QStringList({"0|Smith"}));
        // Stored trimmed; the box keeps its text, all of it selected.
        QCOMPARE(history(f.state).first() + '|' + f.state.searchBox.text() + '|' +
                     QString::number(selectAlls),
                 "smith|  smith |1");

        // The same text in other letters is found in the history: its stored text is put in
        // the box, searched again, and the history does not change.
        enter(f, QStringLiteral("jones"));
        enter(f, QStringLiteral("SMITH "));
        QCOMPARE(history(f.state).mid(0, 3) << f.state.searchBox.text() << f.rows(1),
                 QStringList({"jones", "smith", "", "smith", "0|Smith"}));

        // Ten entries at most: the oldest goes.
        for (int i = 0; i < 10; ++i) {
            enter(f, QStringLiteral("term %1").arg(i));
        }
        QCOMPARE(history(f.state).first() + '|' + history(f.state).last(), "term 9|term 0");

        // Enter on blank text does nothing.
        const QStringList before = history(f.state);
        enter(f, QStringLiteral("   "));
        QCOMPARE(history(f.state), before);
    }

    void commandsInsteadOfSearches() {
        StateFixture f({"..x marks the spot", "other"}, {}, {});
        const int& closes = f.services.window.closes;
        for (const char* text : {"..X", "..", ".. x", "...x"}) {
            enter(f, QString::fromLatin1(text));
        }
        // Nothing closed, searched or remembered.
        QCOMPARE(f.rows(1) << history(f.state).first() << QString::number(closes),
                 QStringList({"0|..x marks the spot", "1|other", "", "0"}));
        enter(f, QStringLiteral("..xit"));
        QCOMPARE(closes, 1);
        // While typing, a command text is searched like any text.
        f.state.options.setChecked(Option::SearchWhileTyping, true);
        f.state.searchBox.userTyped(QStringLiteral("..x"));
        QVERIFY(f.list(1).listIndex() == 0 && closes == 1);
    }

    void searchWhileTypingAndChoosingEntries() {
        StateFixture f({"alpha", "beta"}, {}, {});
        f.state.searchBox.userTyped(QStringLiteral("alpha"));
        QCOMPARE(f.rows(1), QStringList({"0|alpha", "1|beta"}));  // not ticked: no search
        f.state.options.setChecked(Option::SearchWhileTyping, true);
        f.state.searchBox.userTyped(QStringLiteral("bet"));
        QCOMPARE(f.rows(1), QStringList({"1|beta"}));
        f.state.searchBox.userTyped(QString());  // deleting the text keeps the last results
        QCOMPARE(f.rows(1) << history(f.state).first(), QStringList({"1|beta", ""}));

        f.state.history = {"Alpha", "beta"};
        search::loadSearchTermList(f.state.searchBox, f.state.history);
        int selectAlls = 0;
        QObject::connect(&f.state.searchBox, &SearchBox::selectAllAsked, [&] { ++selectAlls; });
        f.state.searchBox.setListIndex(0);
        QCOMPARE(f.rows(1) << f.state.searchBox.text() << QString::number(selectAlls),
                 QStringList({"0|alpha", "Alpha", "1"}));
        // A history edited by hand with a gap: rows list the used entries in order.
        f.state.history = {"", "", "later"};
        search::loadSearchTermList(f.state.searchBox, f.state.history);
        QCOMPARE(f.state.searchBox.entries(), QStringList({"later"}));
    }

    void aSearchThatRunsOutOfMemoryIsToldNotAborted() {
        // In a child process (this program again): 8,388,608 records "a" are loaded, the
        // address space is then limited to 24 MB more, and a search finds every record,
        // whose 32 MB of indices cannot fit.
        if (const QByteArray file = qgetenv("TROVIX_SEARCH_UNDER_LIMIT"); !file.isEmpty()) {
            StateFixture f({}, {"b"}, {"c"});
            f.slot(1).fileName = QString::fromLocal8Bit(file);
            records::loadFile(f.state.files(), lists::SlotId::A);
            if (f.slot(1).records.size() != (1 << 23) + 1 ||
                !testing::limitAddressSpace(24 << 20)) {
                std::exit(3);
            }
            searchFor(f, QStringLiteral("a"));
            QString told = f.messages.shown.isEmpty() ? QString() : f.messages.shown.last().text;
            std::printf("\nrows %s told %s\n", qPrintable(f.rows(1).join(u',')),
                        qPrintable(told.replace(u'\n', u' ')));
            std::fflush(stdout);
            std::exit(0);
        }
        if (testing::kAddressSanitizer) {
            QSKIP("the address sanitizer reserves more address space than any such limit");
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("many.txt"));
        QVERIFY(testing::writeBytes(path, QByteArray("a\n").repeated(1 << 23)));
        const QString output = testing::childOutput("TROVIX_SEARCH_UNDER_LIMIT", path,
                                                    "aSearchThatRunsOutOfMemoryIsToldNotAborted");
        // No part of the matches is shown as if it were all of them.
        QVERIFY2(output.startsWith("exit 0: ") &&
                     output.contains(QStringLiteral("\nrows 0|no match found told \"%1\" could "
                                                    "not be searched: There was not enough memory.")
                                         .arg(path)),
                 qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"
