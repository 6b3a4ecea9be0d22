#pragma once

#include <QString>

class QAction;

namespace trovix::widgets {

// A caption without its access marks: "&Search While &Typing" becomes "Search While Typing",
// and "&&" stands for one "&".
QString withoutAccessMarks(const QString& caption);

// Gives an item of a menu the accessible name a screen reader reads for it. Qt takes only the
// first "&" out of a menu item's caption when it names the item, so a caption with two access
// marks would be read with the second one in it. Call it before the item is first read.
void setMenuItemAccessibleName(QAction* action, const QString& name);

}  // namespace trovix::widgets
