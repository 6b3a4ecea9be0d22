#include "platform/qt/qt_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace trovix::platform {

double QtScreen::logicalDpi() const {
    const QWidget* window = window_.get();
    const QScreen* screen = window != nullptr && window->screen() != nullptr
                                ? window->screen()
                                : QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 0.0;
    // twipsPerPixel() divides by this, so never hand out zero.
    return dpi > 0 ? dpi : 96.0;
}

void QtScreen::showBusyPointer(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

QRect QtScreen::primaryGeometry() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect();
}

QList<QRect> QtScreen::availableGeometries() const {
    QList<QRect> result;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        result.append(screen->availableGeometry());
    }
    return result;
}

bool QtScreen::canPlaceWindows() const {
    // "wayland", or "wayland-egl" and the like when a variant of the plugin is asked for.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace trovix::platform
