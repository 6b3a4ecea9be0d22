#include <QTest>

#include "state/main_state.h"
#include "view/layout.h"

using namespace trovix;
using view::LayoutInput;

namespace {

LayoutInput window(double width, double height, int gap) {
    LayoutInput in;
    in.width = width;
    in.height = height;
    in.gap = gap;
    return in;
}

}  // namespace

class TestLayout : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void editPaneShownAndHidden() {
        ControlGeometry g;
        int gap = view::computeLayout(window(9000, 8000, 2700), g);
        QCOMPARE(gap, 2700);
        QCOMPARE(g.picture1, (TwipRect{0, 5300, 9000, 60}));
        QCOMPARE(g.frameEdit, (TwipRect{120, 5340, 8650, 1400}));
        QCOMPARE(g.txtEdit, (TwipRect{120, 240, 8400, 1070}));
        QCOMPARE(g.frameResults, (TwipRect{120, 1200, 8650, 4100}));  // ends at the splitter
        QCOMPARE(g.frameFind.width, 8650.0);
        QCOMPARE(g.lstFind.width, 8400.0);

        LayoutInput hidden = window(9000, 8000, 2700);
        hidden.editPaneShown = false;
        const ControlGeometry before = g;
        gap = view::computeLayout(hidden, g);
        QCOMPARE(g.frameResults, (TwipRect{120, 1200, 8650, 8000 - 1200 - 1250}));
        QCOMPARE(g.picture1, before.picture1);  // the hidden pane keeps its place
        QCOMPARE(g.frameEdit, before.frameEdit);
    }

    void theSplitterKeepsItsDistanceFromTheTop() {
        ControlGeometry g;
        // A window 6400 high with the bar 4000 from the bottom: the bar stops 3000 from the top.
        QCOMPARE(view::computeLayout(window(7050, 6400, 4000), g), 3400);
        QCOMPARE(g.picture1.top, 3000.0);
        // A stored distance too small to show the edit box is raised until it shows a line.
        QCOMPARE(view::computeLayout(window(7050, 9000, -5), g), view::kMinimumGap);
        QVERIFY(g.txtEdit.height > 250);
        QCOMPARE(view::computeLayout(window(7050, 9000, 1700), g), view::kMinimumGap);
    }

    void listsStackInTheOrderShown() {
        // FH = 8000 - 2700 - 1200 = 4100; W = 8650 - 230 = 8420.
        const double fh = 4100;
        const double w = 8420;
        struct Case {
            std::array<bool, 3> shown;
            std::array<TwipRect, 3> expected;  // an empty width: keeps its design geometry
        };
        const ControlGeometry design;
        const double two = (fh - 550) / 2;
        const double three = (fh - 550) / 3;
        const Case cases[] = {
            {{true, true, true},
             {{{120, 240, w, three},
               {120, 240 + three + 80, w, three},
               {120, 240 + 2 * (three + 80), w, three}}}},
            {{true, false, false}, {{{120, 240, w, fh - 350}, design.lists[1], design.lists[2]}}},
            {{false, true, false}, {{design.lists[0], {120, 240, w, fh - 350}, design.lists[2]}}},
            {{false, false, true}, {{design.lists[0], design.lists[1], {120, 240, w, fh - 350}}}},
            {{true, true, false},
             {{{120, 240, w, two}, {120, 240 + two + 80, w, two}, design.lists[2]}}},
            {{true, false, true},
             {{{120, 240, w, two}, design.lists[1], {120, 240 + two + 80, w, two}}}},
            {{false, true, true},
             {{design.lists[0], {120, 240, w, two}, {120, 240 + two + 80, w, two}}}},
            {{false, false, false}, {{design.lists[0], design.lists[1], design.lists[2]}}},
        };
        for (const Case& c : cases) {
            ControlGeometry g;
            LayoutInput in = window(9000, 8000, 2700);
            in.listShown = c.shown;
            view::computeLayout(in, g);
            for (std::size_t i = 0; i < 3; ++i) {
                QCOMPARE(g.lists[i], c.expected[i]);
            }
            QCOMPARE(g.frameResults.height, fh);  // the frames are laid out in every case
        }
    }

    void resizingFollowsTheWindowState() {
        MainState state;
        state.frame.setLayoutSize(9000, 8000);
        state.gap = 4000;
        view::formResize(state);
        QCOMPARE(state.frame.geometry().picture1.top, 4000.0);

        // Minimised or busy: nothing changes.
        state.frame.userChanged(state.frame.placement(), WindowState::Minimized);
        state.frame.setLayoutSize(9000, 6400);
        view::formResize(state);
        QCOMPARE(state.gap, 4000);
        state.frame.userChanged(state.frame.placement(), WindowState::Normal);
        state.busy = true;
        view::formResize(state);
        QCOMPARE(state.gap, 4000);
        state.busy = false;
        view::formResize(state);
        QCOMPARE(state.gap, 3400);  // restored: laid out again from the current Gap
        QCOMPARE(state.frame.geometry().picture1.top, 3000.0);

        // The toolbar decides what is laid out.
        state.toolbar.setPressed(Command::Edit, false);
        state.toolbar.setPressed(Command::FileA, false);
        view::formResize(state);
        QCOMPARE(state.frame.geometry().frameResults.height, 6400.0 - 1200 - 1250);
        QCOMPARE(state.frame.geometry().lists[1].top, 240.0);
    }
};

QTEST_GUILESS_MAIN(TestLayout)
#include "test_layout.moc"
