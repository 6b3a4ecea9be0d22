#pragma once

#include <QIcon>
#include <QString>

namespace trovix::widgets {

// The picture of a toolbar button by its image key, drawn with plain shapes so the toolbar looks
// the same on every desktop, with or without an icon theme. It is drawn anew at the size and
// screen scale asked for, in the colours of the desktop's palette, so that it stands out from the
// toolbar under a light theme and a dark one. A marked picture has a dot in its corner: a file
// button's while its file has unsaved changes.
QIcon toolbarIcon(const QString& image, bool marked = false);

}  // namespace trovix::widgets
