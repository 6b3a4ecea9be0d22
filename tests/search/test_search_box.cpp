#include <QTest>

#include "search/search_box.h"
#include "support/state_fixture.h"

using namespace trovix;
using testing::StateFixture;

namespace {

QStringList history(const MainState& state) {
    return QStringList(state.history.begin(), state.history.end());
}

void enter(StateFixture& f, const QString& text) {
    f.state.searchBox.userTyped(text);
    f.state.searchBox.keyPress(QChar(13));
}

}  // namespace

class TestSearchBox : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void enterSearchesAndRemembersNewTexts() {
        StateFixture f({"Smith-----555", "Jones"}, {}, {});
        int selectAlls = 0;
        f.state.searchBox.setSelectAllListener([&] { ++selectAlls; });
        enter(f, QStringLiteral("  smith "));
        QCOMPARE(f.rows(1), QStringList({"0|Smith"}));
        QCOMPARE(history(f.state).first(), QStringLiteral("smith"));  // stored trimmed
        QCOMPARE(f.state.searchBox.entries(), QStringList({"smith"}));
        QCOMPARE(f.state.searchBox.text(), QStringLiteral("  smith "));  // the box keeps its text
        QCOMPARE(selectAlls, 1);

        // The same text in other letters is found in the history: its stored text is put in
        // the box, searched again, and the history does not change.
        enter(f, QStringLiteral("jones"));
        enter(f, QStringLiteral("SMITH "));
        QCOMPARE(history(f.state).mid(0, 3), QStringList({"jones", "smith", ""}));
        QCOMPARE(f.state.searchBox.text(), QStringLiteral("smith"));
        QCOMPARE(f.rows(1), QStringList({"0|Smith"}));

        // Ten entries at most: the oldest goes.
        for (int i = 0; i < 10; ++i) {
            enter(f, QStringLiteral("term %1").arg(i));
        }
        QCOMPARE(history(f.state).first(), QStringLiteral("term 9"));
        QCOMPARE(history(f.state).last(), QStringLiteral("term 0"));
        QVERIFY(!history(f.state).contains(QStringLiteral("smith")));
        QCOMPARE(f.state.searchBox.entries().size(), 10);

        // Enter on blank text does nothing.
        const QStringList before = history(f.state);
        enter(f, QStringLiteral("   "));
        QCOMPARE(history(f.state), before);
    }

    void commandsInsteadOfSearches() {
        StateFixture f({"..x marks the spot", "other"}, {}, {});
        int closes = 0;
        f.state.closeWindow = [&] { ++closes; };
        for (const char* text : {"..X", "..", ".. x", "...x"}) {
            enter(f, QString::fromLatin1(text));
        }
        QCOMPARE(closes, 0);
        QCOMPARE(history(f.state).first(), QString());  // commands are not remembered
        // and nothing was searched
        QCOMPARE(f.rows(1), QStringList({"0|..x marks the spot", "1|other"}));
        enter(f, QStringLiteral("..xit"));
        QCOMPARE(closes, 1);
        // While typing, a command text is searched like any text.
        f.state.options.setChecked(Option::SearchWhileTyping, true);
        f.state.searchBox.userTyped(QStringLiteral("..x"));
        QCOMPARE(f.list(1).listIndex(), 0);
        QCOMPARE(closes, 1);
    }

    void searchWhileTypingAndChoosingEntries() {
        StateFixture f({"alpha", "beta"}, {}, {});
        f.state.searchBox.userTyped(QStringLiteral("alpha"));
        QCOMPARE(f.rows(1), QStringList({"0|alpha", "1|beta"}));  // not ticked: no search
        f.state.options.setChecked(Option::SearchWhileTyping, true);
        f.state.searchBox.userTyped(QStringLiteral("bet"));
        QCOMPARE(f.rows(1), QStringList({"1|beta"}));
        f.state.searchBox.userTyped(QString());  // deleting the text keeps the last results
        QCOMPARE(f.rows(1), QStringList({"1|beta"}));
        QVERIFY(history(f.state).first().isEmpty());

        f.state.history[0] = QStringLiteral("Alpha");
        f.state.history[1] = QStringLiteral("beta");
        search::loadSearchTermList(f.state);
        int selectAlls = 0;
        f.state.searchBox.setSelectAllListener([&] { ++selectAlls; });
        f.state.searchBox.setListIndex(0);
        QCOMPARE(f.state.searchBox.text(), QStringLiteral("Alpha"));
        QCOMPARE(f.rows(1), QStringList({"0|alpha"}));
        QCOMPARE(selectAlls, 1);
        // A history edited by hand with a gap: rows list the used entries in order.
        f.state.history = {};
        f.state.history[2] = QStringLiteral("later");
        search::loadSearchTermList(f.state);
        QCOMPARE(f.state.searchBox.entries(), QStringList({"later"}));
    }
};

QTEST_GUILESS_MAIN(TestSearchBox)
#include "test_search_box.moc"
