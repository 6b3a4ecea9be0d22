#include <QTest>

#include "app/commands.h"
#include "app/options.h"
#include "platform/fake/fake_font_dialog.h"
#include "support/state_fixture.h"
#include "view/fonts.h"
#include "view/list_display.h"
#include "view/window_options.h"

using namespace trovix;
using testing::StateFixture;

class TestListDisplay : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void showingListsAndTheListWithFocus() {
        StateFixture f({"a1", "a2"}, {"b1"}, {"c1-----c2"});
        f.state.toolbar.setPressed(Command::FileA, false);
        f.state.toolbar.setPressed(Command::FileB, false);
        f.state.listWithFocus = 0;
        view::setListDisplay(f.state);
        QVERIFY(!f.list(1).isVisible() && !f.list(2).isVisible() && f.list(3).isVisible());
        QCOMPARE(f.state.listWithFocus, 3);
        QCOMPARE(f.list(3).backColor(), store::ResultList::kFocusColour);
        QCOMPARE(f.list(3).listIndex(), 0);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("c1\r\nc2"));
        QCOMPARE(f.state.statusBar.panel(3), QStringLiteral("area_codes.txt  (1)"));

        // A focus that is not 0 stays, even on a hidden list.
        f.state.listWithFocus = 1;
        view::setListDisplay(f.state);
        QCOMPARE(f.state.listWithFocus, 1);
        QCOMPARE(f.list(1).listIndex(), 0);
        QCOMPARE(f.list(3).listIndex(), -1);

        // Releasing a list's button drops the focus to the first shown list; pressing one
        // gives it the focus.
        f.state.toolbar.setPressed(Command::FileA, true);
        app::toolbarButtonClick(f.state, Command::FileA);
        QCOMPARE(f.state.listWithFocus, 1);
        f.state.toolbar.setPressed(Command::FileB, true);
        app::toolbarButtonClick(f.state, Command::FileB);
        QCOMPARE(f.state.listWithFocus, 2);
        f.state.toolbar.setPressed(Command::FileB, false);
        app::toolbarButtonClick(f.state, Command::FileB);
        QCOMPARE(f.state.listWithFocus, 1);
        QVERIFY(!f.list(2).isVisible());

        // With file names shown the first record row is selected, never the header.
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        view::setListDisplay(f.state);
        QCOMPARE(f.list(1).listIndex(), 1);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("a1"));
    }

    void emptyListsAreLeftAlone() {
        StateFixture f({}, {}, {});
        view::setListDisplay(f.state);  // nothing to select
        QCOMPARE(f.list(1).listIndex(), -1);
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        QCOMPARE(f.rows(1), QStringList({"0|... /data/phone_numbers.txt ..."}));
        view::setListDisplay(f.state);  // a header row alone: no record row to select
        QCOMPARE(f.list(1).listIndex(), -1);
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        QCOMPARE(f.rows(1), QStringList());
        f.list(2).clear();
        app::optionMenuClick(f.state,
                             Option::DisplayFileNames);  // removing from an empty list does nothing
        QCOMPARE(f.list(2).count(), 1);
    }

    void fontsFromTheDialog() {
        StateFixture f({}, {}, {});
        platform::FakeFontDialog dialog;
        f.state.services.fonts = &dialog;
        dialog.result = platform::FontChoice{QStringLiteral("DejaVu Serif"), 11.5, 700, true};
        app::selectFont(f.state);
        ListFont font = f.state.frame.font();
        QCOMPARE(font.name, QStringLiteral("DejaVu Serif"));
        QCOMPARE(font.size, 12);  // halves round to even
        QVERIFY(font.bold && font.italic);
        QCOMPARE(f.state.statusBar.simpleText(), QStringLiteral("DejaVu Serif  12 pt"));

        dialog.result = platform::FontChoice{QStringLiteral("Fixed"), 10.5, std::nullopt, false};
        app::selectFont(f.state);  // a bitmap face: bold stays as it was
        font = f.state.frame.font();
        QCOMPARE(font.size, 10);
        QVERIFY(font.bold && !font.italic);
        dialog.result = platform::FontChoice{QStringLiteral("Regular"), 9, 400, false};
        app::selectFont(f.state);
        QVERIFY(!f.state.frame.font().bold);

        dialog.result.reset();  // cancelled: nothing changes
        app::selectFont(f.state);
        QCOMPARE(f.state.frame.font().name, QStringLiteral("Regular"));
        dialog.result = platform::FontChoice{QString(), 20, 700, true};
        app::selectFont(f.state);  // no face name: nothing changes
        QCOMPARE(f.state.frame.font().size, 9);
    }

    void toolTipsAndOnTop() {
        StateFixture f({}, {}, {});
        f.slot(2).fileName = QStringLiteral("plain.txt");
        view::setToolTipText(f.state);
        QCOMPARE(f.state.toolbar.button(Command::FileA).toolTip,
                 QStringLiteral("phone_numbers.txt"));
        QCOMPARE(f.state.toolbar.button(Command::FileB).toolTip, QStringLiteral("plain.txt"));

        const TwipRect place = f.state.frame.placement();
        app::optionMenuClick(f.state, Option::OnTop);
        QVERIFY(f.state.options.isChecked(Option::OnTop));
        QVERIFY(f.state.frame.onTop());
        app::optionMenuClick(f.state, Option::OnTop);
        QVERIFY(!f.state.options.isChecked(Option::OnTop));
        QVERIFY(!f.state.frame.onTop());
        QCOMPARE(f.state.frame.placement(), place);
    }
};

QTEST_GUILESS_MAIN(TestListDisplay)
#include "test_list_display.moc"
