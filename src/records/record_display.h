#pragma once

#include <QString>
#include <cstddef>
#include <string_view>

#include "lists/slot.h"

namespace trovix {
class Toolbar;
}  // namespace trovix

namespace trovix::records {

// The text the edit box shows for a record: its lines separated by CR LF.
QString displayText(std::string_view element);

// Records the edit box shows whole and lets the user edit. A text box lays a line out again on
// every keystroke, so a longer line would make each key take seconds.
inline constexpr std::size_t kEditableBytes = 4 << 20;
inline constexpr std::size_t kEditableLineBytes = 100000;

struct BoxText {
    QString text;
    bool whole = true;  // false: an excerpt of a record too long to edit here
};
// The display text of a record, or, for a record too long to edit, an excerpt: its first
// lines, each cut short.
BoxText editBoxText(std::string_view element);

// Gives a slot's list the focus colour and the others white, when that list is shown (its
// toolbar button pressed).
void setListBackGroundColors(lists::FileSlots& slots, const Toolbar& toolbar, lists::SlotId id);

// Gives the list with focus the focus colour and the other two white.
void colourListWithFocus(lists::FileSlots& slots, lists::SlotId focus);

}  // namespace trovix::records
