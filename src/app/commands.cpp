#include "app/commands.h"

#include "app/main_state.h"
#include "store/slot_procedures.h"

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
    if (key == QLatin1String("data")) {
        switchFullDataView(state);
    }
}

}  // namespace trovix::app
