#include "platform/qt/qt_window_control.h"

#include <QMetaObject>

namespace trovix::platform {

void QtWindowControl::closeWindow() {
    if (QWidget* window = owner_.get()) {
        window->close();
    }
}

void QtWindowControl::showAbout(const QString& caption) {
    if (QWidget* window = owner_.get()) {
        QMetaObject::invokeMethod(window, "showAbout", Qt::DirectConnection,
                                  Q_ARG(QString, caption));
    }
}

}  // namespace trovix::platform
