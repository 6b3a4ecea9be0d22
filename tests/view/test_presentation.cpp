#include <QTest>

#include "app/commands.h"
#include "app/event_handlers.h"
#include "app/list_commands.h"
#include "platform/fake/fake_font_dialog.h"
#include "support/state_fixture.h"
#include "view/layout.h"

using namespace trovix;
using testing::StateFixture;

class TestPresentation : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void theLayoutOfTheEditPaneTheSplitterAndTheLists() {
        ControlGeometry g;
        QCOMPARE(view::computeLayout({9000, 8000, 2700}, g), 2700);
        QCOMPARE(g.picture1, (TwipRect{0, 5300, 9000, 60}));
        QCOMPARE(g.frameEdit, (TwipRect{120, 5340, 8650, 1400}));
        QCOMPARE(g.txtEdit, (TwipRect{120, 240, 8400, 1070}));
        QCOMPARE(g.frameResults, (TwipRect{120, 1200, 8650, 4100}));  // ends at the splitter
        QVERIFY(g.frameFind.width == 8650 && g.lstFind.width == 8400);

        const ControlGeometry before = g;
        view::computeLayout({9000, 8000, 2700, false}, g);
        QCOMPARE(g.frameResults, (TwipRect{120, 1200, 8650, 8000 - 1200 - 1250}));
        // The hidden pane keeps its place.
        QVERIFY(g.picture1 == before.picture1 && g.frameEdit == before.frameEdit);

        // A stored distance too small to show the edit box is raised until it shows a line.
        QCOMPARE(view::computeLayout({7050, 9000, -5}, g), view::kMinimumGap);
        QVERIFY(g.txtEdit.height > 250);
        QCOMPARE(view::computeLayout({7050, 9000, 1700}, g), view::kMinimumGap);

        // FH = 8000 - 2700 - 1200 = 4100; W = 8650 - 230 = 8420. A shown list gets the whole
        // width and its share of the height; a hidden one (no top here) keeps its design place.
        const double fh = 4100;
        const double two = (fh - 550) / 2;
        const double three = (fh - 550) / 3;
        // The lists shown, their tops, and their height.
        const std::tuple<std::array<bool, 3>, std::array<double, 3>, double> cases[] = {
            {{true, true, true}, {240, 240 + three + 80, 240 + 2 * (three + 80)}, three},
            {{true, false, false}, {240, -1, -1}, fh - 350},
            {{false, true, false}, {-1, 240, -1}, fh - 350},
            {{false, false, true}, {-1, -1, 240}, fh - 350},
            {{true, true, false}, {240, 240 + two + 80, -1}, two},
            {{true, false, true}, {240, -1, 240 + two + 80}, two},
            {{false, true, true}, {-1, 240, 240 + two + 80}, two},
            {{false, false, false}, {-1, -1, -1}, 0},
        };
        const ControlGeometry design;
        for (const auto& [shown, tops, height] : cases) {
            ControlGeometry laidOut;
            view::computeLayout({9000, 8000, 2700, true, shown}, laidOut);
            for (std::size_t i = 0; i < 3; ++i) {
                const TwipRect expected =
                    tops[i] < 0 ? design.lists[i] : TwipRect{120, tops[i], 8420, height};
                QCOMPARE(laidOut.lists[i], expected);
            }
            QCOMPARE(laidOut.frameResults.height, fh);  // the frames are laid out in every case
        }
    }

    void resizingFollowsTheWindowState() {
        platform::FakeServices services;
        MainState state{services.services()};
        // The Gap after a resize, and the splitter's top.
        const auto resize = [&] {
            view::formResize(state.frame, state.toolbar, state.gap, state.busy);
            return QList<double>{double(state.gap), state.frame.geometry().picture1.top};
        };
        state.frame.setLayoutSize(9000, 8000);
        state.gap = 4000;
        QList<double> seen = resize();

        // Minimised or busy: nothing changes; restored: laid out again from the current Gap.
        state.frame.userChanged(state.frame.placement(), WindowState::Minimized);
        state.frame.setLayoutSize(9000, 6400);
        seen << resize();
        state.frame.userChanged(state.frame.placement(), WindowState::Normal);
        state.busy = true;
        seen << resize();
        state.busy = false;
        QCOMPARE(seen << resize(), QList<double>({4000, 4000, 4000, 4000, 4000, 4000, 3400, 3000}));

        // The toolbar decides what is laid out, as soon as a button is pressed.
        for (const Command button : {Command::Edit, Command::FileA}) {
            state.toolbar.setPressed(button, false);
            app::toolbarButtonClick(state, button);
        }
        QVERIFY(state.frame.geometry().frameResults.height == 6400 - 1200 - 1250 &&
                state.frame.geometry().lists[1].top == 240);
    }

    void showingListsTheListWithFocusAndEmptyLists() {
        StateFixture f({"a1", "a2"}, {"b1"}, {"c1-----c2"});
        f.state.toolbar.setPressed(Command::FileA, false);
        f.state.toolbar.setPressed(Command::FileB, false);
        f.state.listWithFocus = std::nullopt;
        app::windowShown(f.state);  // the first showing applies the list display
        QCOMPARE(f.seen() + ' ' + f.state.statusBar.panel(3),
                 "focus 3: -1- -1- 0* | c1|c2 area_codes.txt  (1)");

        // A focus that is not 0 stays, even on a hidden list.
        f.state.listWithFocus = lists::SlotId::A;
        app::setListDisplay(f.state);
        QCOMPARE(f.seen(), "focus 1: 0*- -1- -1 | a1");

        // Pressing a list's button shows it and gives it the focus; releasing it drops the
        // focus to the first shown list.
        app::toolbarButtonPressed(f.state, Command::FileA);
        QCOMPARE(lists::listNumber(f.state.listWithFocus), 1);
        app::toolbarButtonPressed(f.state, Command::FileB);
        QCOMPARE(f.seen(), "focus 2: -1 0* -1 | b1");
        app::toolbarButtonPressed(f.state, Command::FileB);
        QCOMPARE(f.seen(), "focus 1: 0* -1- -1 | a1");

        // With file names shown the first record row is selected, never the header.
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        app::setListDisplay(f.state);
        QCOMPARE(f.seen(), "focus 1: 1* -1- -1 | a1");
        // Showing the window again keeps the record the user went on to.
        f.list(1).setListIndex(2);
        app::windowShown(f.state);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("a2"));

        // Empty lists are left alone.
        StateFixture empty({}, {}, {});
        app::setListDisplay(empty.state);  // nothing to select
        QCOMPARE(empty.list(1).listIndex(), -1);
        app::optionMenuClick(empty.state, Option::DisplayFileNames);
        app::setListDisplay(empty.state);  // a header row alone: no record row to select
        QCOMPARE(empty.list(1).listIndex(), -1);
        empty.list(2).clear();
        app::optionMenuClick(empty.state, Option::DisplayFileNames);  // no header left to remove
        QVERIFY(empty.rows(1).isEmpty() && empty.list(2).count() == 0);
    }

    void fontsFromTheDialog() {
        StateFixture f({}, {}, {});
        platform::FakeFontDialog dialog;
        f.state.services.fonts = dialog;
        // The font chosen, and the font the lists take.
        const std::pair<platform::FontChoice, ListFont> cases[] = {
            {{"DejaVu Serif", 11.5, 700, true}, {"DejaVu Serif", 12, true, true}},  // to even
            {{"Fixed", 10.5, std::nullopt, false}, {"Fixed", 10, true, false}},     // bitmap
            {{"Regular", 9, 400, false}, {"Regular", 9, false, false}},
            {{"Demi", 9, 600, false}, {"Demi", 9, true, false}},  // demibold is bold
        };
        for (const auto& [choice, font] : cases) {
            dialog.result = choice;
            app::selectFont(f.state);
            QVERIFY2(f.state.frame.font() == font, qPrintable(font.name));
        }
        QCOMPARE(f.state.statusBar.message(), QStringLiteral("Demi  9 pt"));

        dialog.result.reset();  // cancelled: nothing changes
        app::selectFont(f.state);
        QCOMPARE(f.state.frame.font().name, QStringLiteral("Demi"));
        dialog.result = platform::FontChoice{QString(), 20, 700, true};
        app::selectFont(f.state);  // no face name: nothing changes
        QCOMPARE(f.state.frame.font().size, 9);
    }

    void pushButtonsStayUpAndADisabledButtonDoesNothing() {
        StateFixture f({}, {}, {});
        for (const ToolbarEntry& entry : kToolbar) {
            if (entry.style == ButtonStyle::Push && entry.command != Command::Find &&
                entry.command != Command::ViewAll) {
                app::toolbarButtonPressed(f.state, *entry.command);
                QVERIFY2(!f.state.toolbar.isPressed(*entry.command), entry.key);
            }
        }
        f.state.toolbar.setEnabled(Command::Data, false);
        app::toolbarButtonPressed(f.state, Command::Data);
        QVERIFY(!f.state.fullDataView());
    }
};

QTEST_GUILESS_MAIN(TestPresentation)
#include "test_presentation.moc"
