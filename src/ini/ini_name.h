#pragma once

#include <QByteArrayView>
#include <QLatin1String>
#include <QString>

#include "ini/key_codec.h"

namespace trovix::ini {

// Spreads the bits of a hash over all 64, so that its low bits alone choose well.
inline quint64 mixBits(quint64 bits) {
    bits ^= bits >> 33;
    bits *= 0xff51afd7ed558ccdULL;
    bits ^= bits >> 33;
    bits *= 0xc4ceb9fe1a85ec53ULL;
    return bits ^ (bits >> 33);
}

// A section name or a key as text, compared and hashed by its characters: the bytes as written
// when they stand for themselves, else the text they are decoded to. Most names stand for
// themselves, and are neither copied nor decoded.
class IniName {
  public:
    IniName() = default;  // ""

    static IniName ofText(const QString& text) {
        IniName name;
        name.text_ = text;
        name.isAscii_ = false;
        return name;
    }

    static IniName ofKey(QByteArrayView raw) {
        if (standsForItself(raw)) {
            IniName name;
            name.ascii_ = raw;
            return name;
        }
        return ofText(decodeIniKey(raw));
    }

    // [General] in any letter case is the section "", [%General] the section "General".
    static IniName ofSection(QByteArrayView raw) {
        if (raw.size() == 7 && raw.compare("General", Qt::CaseInsensitive) == 0) {
            return IniName();
        }
        if (raw.size() == 8 && raw.compare("%General", Qt::CaseInsensitive) == 0) {
            return ofKey("General");
        }
        return ofKey(raw);
    }

    bool isEmpty() const { return isAscii_ ? ascii_.isEmpty() : text_.isEmpty(); }

    QString toString() const { return isAscii_ ? QString::fromLatin1(ascii_) : text_; }

    // FNV-1a over the UTF-16 units, the same for both forms of a text.
    quint64 hash() const {
        quint64 bits = 14695981039346656037ULL;
        const auto add = [&bits](char16_t unit) { bits = (bits ^ unit) * 1099511628211ULL; };
        if (isAscii_) {
            for (const char c : ascii_) {
                add(static_cast<char16_t>(c));
            }
        } else {
            for (const QChar c : text_) {
                add(c.unicode());
            }
        }
        return mixBits(bits);
    }

    friend bool operator==(const IniName& a, const IniName& b) {
        if (a.isAscii_ && b.isAscii_) {
            return a.ascii_ == b.ascii_;
        }
        if (a.isAscii_ || b.isAscii_) {
            const IniName& ascii = a.isAscii_ ? a : b;
            const IniName& text = a.isAscii_ ? b : a;
            return QLatin1String(ascii.ascii_.data(), ascii.ascii_.size()) == text.text_;
        }
        return a.text_ == b.text_;
    }

  private:
    QByteArrayView ascii_;
    QString text_;
    bool isAscii_ = true;
};

}  // namespace trovix::ini
