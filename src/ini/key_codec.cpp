#include "ini/key_codec.h"

#include "ini/ini_bytes.h"

namespace trovix::ini {

QString decodeIniKey(QByteArrayView raw) {
    if (standsForItself(raw)) {
        return QString::fromLatin1(raw);
    }
    const bool utf8 = isValidUtf8(raw);
    QString out;
    qsizetype runStart = 0;
    const auto flush = [&](qsizetype end) {
        out += bytesToText(raw.sliced(runStart, end - runStart), utf8);
    };
    const auto hexValue = [&raw](qsizetype from, int digits) {
        int value = 0;
        for (int d = 0; d < digits; ++d) {
            const int digit = hexDigit(static_cast<uchar>(raw[from + d]));
            if (digit < 0) {
                return -1;
            }
            value = value * 16 + digit;
        }
        return value;
    };
    qsizetype i = 0;
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            flush(i);
            out += u'/';
            runStart = ++i;
            continue;
        }
        if (c == '%') {
            int unit = -1;
            qsizetype length = 0;
            if (i + 5 < raw.size() && raw[i + 1] == 'U') {
                unit = hexValue(i + 2, 4);
                length = 6;
            }
            if (unit < 0 && i + 2 < raw.size()) {
                unit = hexValue(i + 1, 2);
                length = 3;
            }
            if (unit >= 0) {
                flush(i);
                out += QChar(static_cast<char16_t>(unit));
                i += length;
                runStart = i;
                continue;
            }
        }
        ++i;
    }
    flush(i);
    return out;
}

QByteArray encodeIniKey(const QString& key) {
    QByteArray out;
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                   (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.') {
            out += static_cast<char>(c);
        } else if (c <= 0xff) {
            out += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        } else {
            out += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
        }
    }
    return out;
}

}  // namespace trovix::ini
