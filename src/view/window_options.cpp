#include "view/window_options.h"

#include "state/controls.h"
#include "state/text.h"

namespace trovix::view {

void setToolTipText(Toolbar& toolbar, const lists::FileSlots& slots) {
    for (lists::SlotId id : lists::kAllSlots) {
        toolbar.setToolTip(fileButton(id), withoutFolder(lists::slotOf(slots, id).fileName));
    }
}

void setOnTop(WindowFrame& frame, const OptionMenu& options) {
    frame.setOnTop(options.isChecked(Option::OnTop));
}

}  // namespace trovix::view
