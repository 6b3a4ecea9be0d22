#pragma once

#include <QByteArrayView>
#include <QString>

// The bytes of an INI file one at a time and in runs: blanks, line ends, hex digits, and text
// read as UTF-8 where it is valid UTF-8, else as Latin-1.
namespace trovix::ini {

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

inline bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// The bytes without the white space at either end, as QByteArray::trimmed() drops it.
inline QByteArrayView trimmed(QByteArrayView bytes) {
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isSpace(bytes[begin])) {
        ++begin;
    }
    while (end > begin && isSpace(bytes[end - 1])) {
        --end;
    }
    return bytes.sliced(begin, end - begin);
}

inline int hexDigit(char32_t c) {
    if (c >= '0' && c <= '9') {
        return static_cast<int>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<int>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<int>(c - 'A' + 10);
    }
    return -1;
}

bool isValidUtf8(QByteArrayView bytes);

// Bytes as text: UTF-8 when they are valid UTF-8, else Latin-1, so that every byte reads as some
// character and nothing turns into U+FFFD.
inline QString bytesToText(QByteArrayView bytes, bool utf8) {
    return utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

}  // namespace trovix::ini
