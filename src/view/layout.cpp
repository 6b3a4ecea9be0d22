#include "view/layout.h"

#include <cmath>

#include "state/controls.h"

namespace trovix::view {

int computeLayout(const LayoutInput& in, ControlGeometry& g) {
    int gap = std::max(in.gap, kMinimumGap);
    if (in.height - gap < 3000) {
        gap = static_cast<int>(std::lround(in.height - 3000));
    }

    if (in.editPaneShown) {
        g.picture1 = {g.picture1.left, in.height - gap, in.width, g.picture1.height};
        g.frameEdit = {g.frameEdit.left, g.picture1.top + 40, in.width - 350,
                       in.height - g.picture1.top - 1300};
        g.txtEdit = {g.txtEdit.left, g.txtEdit.top, g.frameEdit.width - 250,
                     g.frameEdit.height - 330};
        g.frameResults = {g.frameResults.left, g.frameResults.top, in.width - 350,
                          g.picture1.top - g.frameResults.top};
    } else {
        g.frameResults = {g.frameResults.left, g.frameResults.top, in.width - 350,
                          in.height - g.frameResults.top - 1250};
    }
    g.frameFind.width = in.width - 350;
    g.lstFind.width = g.frameFind.width - 250;

    // The shown lists stack from the top of the results frame, where list A sits, in the
    // order A, B, C, 80 twips apart.
    const double w = g.frameResults.width - 230;
    const double fh = g.frameResults.height;
    int shown = 0;
    for (const bool s : in.listShown) {
        shown += s ? 1 : 0;
    }
    if (shown == 0) {
        return gap;
    }
    const double h = shown == 1 ? fh - 350 : (fh - 550) / shown;
    const double left = g.lists[0].left;
    double top = g.lists[0].top;
    for (std::size_t i = 0; i < 3; ++i) {
        if (in.listShown[i]) {
            g.lists[i] = {left, top, w, h};
            top += h + 80;
        }
    }
    return gap;
}

void formResize(WindowFrame& frame, const Toolbar& toolbar, int& gap, bool busy) {
    if (busy || frame.windowState() == WindowState::Minimized) {
        return;
    }
    LayoutInput in;
    in.width = frame.layoutWidth();
    in.height = frame.layoutHeight();
    in.gap = gap;
    in.editPaneShown = toolbar.isPressed(Command::Edit);
    for (lists::SlotId id : lists::kAllSlots) {
        in.listShown[static_cast<std::size_t>(id)] = toolbar.isPressed(fileButton(id));
    }
    ControlGeometry geometry = frame.geometry();
    gap = computeLayout(in, geometry);
    frame.setGeometry(geometry);
}

}  // namespace trovix::view
