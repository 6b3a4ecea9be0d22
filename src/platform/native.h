#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace trovix::platform {

// The line end of a new text file on this platform.
inline QByteArray nativeLineEnd() {
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

// Whether a character separates folders in a path on this platform.
inline bool isFolderSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/';
#else
    return c == u'/';
#endif
}

// The native separator used to join the program folder with a default file name.
inline QChar nativeFolderSeparator() {
#ifdef Q_OS_WIN
    return u'\\';
#else
    return u'/';
#endif
}

}  // namespace trovix::platform
