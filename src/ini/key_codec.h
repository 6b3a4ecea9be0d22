#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <algorithm>

// The keys and section names of an INI file, as QSettings writes them: %XX and %UXXXX stand for
// characters, a backslash for '/'.
namespace trovix::ini {

QString decodeIniKey(QByteArrayView raw);
QByteArray encodeIniKey(const QString& key);

// Whether the bytes of a key or section name are its text: ASCII without escapes, as most keys
// are, plain letters and digits.
inline bool standsForItself(QByteArrayView raw) {
    return std::all_of(raw.begin(), raw.end(), [](char c) {
        return static_cast<uchar>(c) < 0x80 && c != '%' && c != '\\';
    });
}

}  // namespace trovix::ini
