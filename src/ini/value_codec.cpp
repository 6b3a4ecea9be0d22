#include "ini/value_codec.h"

#include <QStringList>

#include "ini/at_forms.h"
#include "ini/ini_bytes.h"

namespace trovix::ini {
namespace {

QByteArray hexEscape(char16_t unit) {
    return "\\x" + QByteArray::number(unit, 16);
}

// Drops the blanks that end `text`, but none before `limit`: those came from escapes or quotes.
void chopTrailingBlanks(QString& text, qsizetype limit) {
    qsizetype end = text.size();
    while (end > limit && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t')) {
        --end;
    }
    text.truncate(end);
}

// The character a one-letter escape stands for, as in C: \a \b \f \n \r \t \v \" \? \' \\.
std::optional<char16_t> letterEscape(char escape) {
    switch (escape) {
        case 'a':
            return u'\a';
        case 'b':
            return u'\b';
        case 'f':
            return u'\f';
        case 'n':
            return u'\n';
        case 'r':
            return u'\r';
        case 't':
            return u'\t';
        case 'v':
            return u'\v';
        case '"':
        case '?':
        case '\'':
        case '\\':
            return static_cast<char16_t>(escape);
        default:
            return std::nullopt;
    }
}

// \x with as many hex digits as follow at `i` makes one UTF-16 unit; \x alone stands for nothing.
void appendHexEscape(QByteArrayView raw, qsizetype& i, QString& out) {
    const qsizetype n = raw.size();
    if (i < n && hexDigit(static_cast<uchar>(raw[i])) >= 0) {
        char16_t unit = 0;
        while (i < n && hexDigit(static_cast<uchar>(raw[i])) >= 0) {
            unit = static_cast<char16_t>((unit << 4) + hexDigit(static_cast<uchar>(raw[i++])));
        }
        out += QChar(unit);
    }
}

// A backslash and the octal digit `first`, with as many more as follow at `i`, make one UTF-16
// unit.
void appendOctalEscape(char first, QByteArrayView raw, qsizetype& i, QString& out) {
    char16_t unit = static_cast<char16_t>(first - '0');
    while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7') {
        unit = static_cast<char16_t>((unit << 3) + (raw[i++] - '0'));
    }
    out += QChar(unit);
}

// Decodes the escape at `i`, just after its backslash, onto `out`; `i` moves past it.
void appendEscape(QByteArrayView raw, qsizetype& i, QString& out) {
    const char escape = raw[i++];
    if (const std::optional<char16_t> c = letterEscape(escape)) {
        out += QChar(*c);
    } else if (escape == 'x') {
        appendHexEscape(raw, i, out);
    } else if (isLineEnd(escape)) {
        // A backslash at the end of a line continues the value on the next one.
        if (i < raw.size() && isLineEnd(raw[i]) && raw[i] != escape) {
            ++i;
        }
    } else if (escape >= '0' && escape <= '7') {
        appendOctalEscape(escape, raw, i, out);
    }
    // Any other escaped character is dropped, as QSettings drops it.
}

// The text of a value that unquoted commas made a list of: its items, each read as an @ form
// where it is one, joined by ", ".
QString listText(QStringList items) {
    for (QString& item : items) {
        item = textOfAtForm(item).value_or(item);
    }
    return items.join(QStringLiteral(", "));
}

}  // namespace

std::optional<QString> decodeIniValue(QByteArrayView raw) {
    const bool utf8 = isValidUtf8(raw);
    const qsizetype n = raw.size();
    QStringList items;
    bool isList = false;
    QString current;
    bool inQuotes = false;
    bool quoted = false;     // the current item had quotes: its blanks are its own
    qsizetype keepUpTo = 0;  // blanks before this position in `current` are kept
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < n && isBlank(raw[i])) {
            ++i;
        }
        keepUpTo = current.size();
    };
    skipBlanks();
    while (i < n) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= n) {
                break;
            }
            appendEscape(raw, i, current);
            keepUpTo = current.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted) {
                chopTrailingBlanks(current, keepUpTo);
            }
            isList = true;
            items.append(current);
            current.clear();
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            qsizetype end = i + 1;
            while (end < n && raw[end] != '\\' && raw[end] != '"' && raw[end] != ',') {
                ++end;
            }
            current += bytesToText(raw.sliced(i, end - i), utf8);
            i = end;
        }
    }
    if (!quoted) {
        chopTrailingBlanks(current, keepUpTo);
    }
    if (!isList) {
        return textOfAtForm(current);
    }
    items.append(current);
    return listText(std::move(items));
}

namespace {

// The escape of a character C writes with a letter or as \0; none for any other.
const char* controlEscape(char16_t c) {
    switch (c) {
        case u'\0':
            return "\\0";
        case u'\a':
            return "\\a";
        case u'\b':
            return "\\b";
        case u'\f':
            return "\\f";
        case u'\n':
            return "\\n";
        case u'\r':
            return "\\r";
        case u'\t':
            return "\\t";
        case u'\v':
            return "\\v";
        default:
            return nullptr;
    }
}

// The right-hand side of `key=` for a text. Without quotes (when the line has a double quote
// open before its value, which would turn them inside out), the characters that quotes would
// protect are escaped instead.
class ValueEncoder {
  public:
    ValueEncoder(const QString& text, bool mayQuote) : text_(text), mayQuote_(mayQuote) {
        out_.reserve(text.size() + 8);
    }

    QByteArray encode() {
        if (text_.startsWith(u'@')) {
            out_ += '@';
        }
        for (qsizetype i = 0; i < text_.size(); ++i) {
            const char16_t c = text_.at(i).unicode();
            if (escapeHexDigit_ && hexDigit(c) >= 0) {
                out_ += hexEscape(c);
                continue;
            }
            escapeHexDigit_ = false;
            if (!appendSpecial(c, i)) {
                appendCharacter(i);
            }
        }
        if (mayQuote_ && !text_.isEmpty() && (text_.front().isSpace() || text_.back().isSpace())) {
            quote_ = true;
        }
        if (quote_) {
            out_.prepend('"');
            out_.append('"');
        }
        return out_;
    }

  private:
    // After \0 or \xHH a hex digit would be read as part of the escape: it is escaped too.
    void appendHex(char16_t c) {
        out_ += hexEscape(c);
        escapeHexDigit_ = true;
    }

    // Writes the character at `i` when it means something in a value, escaped, and notes when
    // it needs quotes. Returns whether it was written.
    bool appendSpecial(char16_t c, qsizetype i) {
        if (const char* escape = controlEscape(c)) {
            out_ += escape;
            escapeHexDigit_ = c == u'\0';
            return true;
        }
        switch (c) {
            case u'"':
                out_ += "\\\"";
                quote_ = mayQuote_;
                return true;
            case u'\\':
                out_ += "\\\\";
                return true;
            case u',':
            case u';':
                if (!mayQuote_) {
                    appendHex(c);
                    return true;
                }
                quote_ = true;
                return false;
            case u'=':
            case u'#':
                quote_ = mayQuote_;
                return false;
            case u' ':
                // Blanks at either end would be dropped when read unquoted.
                if (!mayQuote_ && (i == 0 || i == text_.size() - 1)) {
                    appendHex(c);
                    return true;
                }
                return false;
            default:
                return false;
        }
    }

    // Writes the character at `i` as UTF-8, or escaped where its bytes would not read back;
    // a surrogate pair moves `i` past its second half.
    void appendCharacter(qsizetype& i) {
        const char16_t c = text_.at(i).unicode();
        // A byte order mark would be dropped where a stretch of UTF-8 starts with one.
        if (c < 0x20 || c == 0x7f || c == 0xfeff) {
            appendHex(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text_.size() &&
                   text_.at(i + 1).isLowSurrogate()) {
            out_ += text_.mid(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            // A lone half of a pair has no UTF-8 form; the escape keeps it.
            appendHex(c);
        } else if (c < 0x80) {
            out_ += static_cast<char>(c);
        } else {
            out_ += QStringView(text_).sliced(i, 1).toUtf8();
        }
    }

    const QString& text_;
    const bool mayQuote_;
    QByteArray out_;
    bool quote_ = false;
    bool escapeHexDigit_ = false;
};

QByteArray encodeValue(const QString& text, bool mayQuote) {
    return ValueEncoder(text, mayQuote).encode();
}

}  // namespace

QByteArray encodeIniValue(const QString& text) {
    return encodeValue(text, true);
}

QByteArray encodeIniValueWithoutQuotes(const QString& text) {
    return encodeValue(text, false);
}

}  // namespace trovix::ini
