#pragma once

#include <QIcon>
#include <QString>

namespace trovix::view {

// The picture of a toolbar button by its image key, drawn with plain shapes so the toolbar looks
// the same on every desktop, with or without an icon theme.
QIcon toolbarIcon(const QString& image);

}  // namespace trovix::view
