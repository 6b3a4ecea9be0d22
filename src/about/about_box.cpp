#include "about/about_box.h"

#include <QCoreApplication>

#include "state/build_info.h"

namespace trovix::about {

QString aboutCaption() {
    return QCoreApplication::translate(
               "AboutBox",
               "Trovix finds and keeps your records. © 2026 The Trovix developers, under the "
               "MIT License.    Version: %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

TwipRect aboutPlacement(const TwipRect& mainWindow, double width, double height) {
    return {mainWindow.left + (mainWindow.width - width) / 2.0,
            mainWindow.top + (mainWindow.height - height) / 2.0, width, height};
}

}  // namespace trovix::about
