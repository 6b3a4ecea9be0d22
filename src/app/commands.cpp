#include "app/commands.h"

#include "app/main_state.h"
#include "search/matcher.h"
#include "search/search_engine.h"
#include "store/slot_procedures.h"
#include "view/fonts.h"
#include "view/layout.h"
#include "view/list_display.h"

namespace trovix::app {

void switchFullDataView(MainState& state) {
    state.busy = true;
    const bool on = state.fullDataView();
    if (on) {
        store::expandListData(state);
        state.editBox.setEnabled(false);
        state.editBox.setText(QStringLiteral("<disabled>"));
    } else {
        store::contractListData(state);
        state.editBox.setEnabled(true);
        state.editBox.setText(QString());
    }
    for (const char* key : {"new", "delete", "sort"}) {
        state.toolbar.setEnabled(QString::fromLatin1(key), !on);
    }
    state.busy = false;
}

void toolbarButtonClick(MainState& state, const QString& key) {
    if (key == QLatin1String("find")) {
        if (!search::trimSpaces(state.searchBox.text()).isEmpty()) {
            search::search(state);
        }
    } else if (key == QLatin1String("viewall")) {
        for (store::SlotId id : store::kAllSlots) {
            store::loadArray(state, id);
        }
        view::setListDisplay(state);
    } else if (key == QLatin1String("edit")) {
        state.frame.setEditPaneVisible(state.toolbar.isPressed(key));
        view::formResize(state);
    } else if (key == QLatin1String("data")) {
        switchFullDataView(state);
    } else if (key == QLatin1String("font")) {
        view::selectFont(state);
    } else if (key == QLatin1String("fileA") || key == QLatin1String("fileB") ||
               key == QLatin1String("fileC")) {
        const int n = key.back().unicode() - u'A' + 1;
        state.listWithFocus = state.toolbar.isPressed(key) ? n : 0;
        view::setListDisplay(state);
    }
}

}  // namespace trovix::app
