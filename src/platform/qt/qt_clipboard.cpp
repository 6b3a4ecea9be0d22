#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace trovix::platform {

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setText(const QString& text) {
    // A fresh QMimeData holding text/plain only, so no format of an earlier copy survives.
    auto* mime = new QMimeData;
    mime->setText(text);
    QGuiApplication::clipboard()->setMimeData(mime);  // the clipboard takes ownership
}

}  // namespace trovix::platform
