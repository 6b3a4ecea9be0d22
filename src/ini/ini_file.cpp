#include "ini/ini_file.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <bit>

namespace trovix::ini {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

constexpr char kByteOrderMark[] = "\xef\xbb\xbf";

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// The bytes without the white space at either end, as QByteArray::trimmed() drops it.
QByteArrayView trimmed(QByteArrayView bytes) {
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

int hexDigit(char32_t c) {
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

bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);  // decoding is what finds the errors
    return !decoder.hasError();
}

// Bytes as text: UTF-8 when they are valid UTF-8, else Latin-1, so that every byte reads as some
// character and nothing turns into U+FFFD.
QString bytesToText(QByteArrayView bytes, bool utf8) {
    return utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

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

// Where a line of an INI file ends. A backslash escapes the next byte, which continues the line
// when it is a line end; a semicolon outside quotes starts a comment.
struct LineExtent {
    qsizetype text = 0;        // the first byte that is not a blank
    bool comment = false;      // the whole line is a comment
    qsizetype commentAt = -1;  // where a comment after the text starts
    qsizetype contentEnd = 0;  // where the line end starts
    qsizetype next = 0;        // where the next line starts
};

LineExtent scanLine(QByteArrayView data, qsizetype from) {
    const qsizetype n = data.size();
    LineExtent extent;
    qsizetype p = from;
    while (p < n && isBlank(data[p])) {
        ++p;
    }
    extent.text = p;
    extent.comment = p < n && (data[p] == ';' || data[p] == '#');
    bool inQuotes = false;
    qsizetype end = p;
    while (end < n && !isLineEnd(data[end])) {
        if (!extent.comment && extent.commentAt < 0) {
            if (data[end] == '\\' && end + 1 < n) {
                end += 2;
                if (isLineEnd(data[end - 1]) && end < n && isLineEnd(data[end]) &&
                    data[end] != data[end - 1]) {
                    ++end;
                }
                continue;
            }
            if (data[end] == '"') {
                inQuotes = !inQuotes;
            } else if (data[end] == ';' && !inQuotes) {
                extent.commentAt = end;
            }
        }
        ++end;
    }
    extent.contentEnd = std::min(end, n);
    extent.next = extent.contentEnd;
    if (extent.next < n) {
        const bool crLf =
            data[extent.next] == '\r' && extent.next + 1 < n && data[extent.next + 1] == '\n';
        extent.next += crLf ? 2 : 1;
    }
    return extent;
}

// Whether `raw` is one whole line with its line end, so that what follows starts a new line.
// A last line may end in a backslash or a continued line end without one. The first line of a
// file may start with a byte order mark, and a file of that alone has no line to end.
bool endsALine(QByteArrayView raw, bool firstLine) {
    const qsizetype text = firstLine && raw.startsWith(kByteOrderMark) ? 3 : 0;
    const LineExtent extent = scanLine(raw, text);
    return raw.size() == text || (extent.contentEnd < raw.size() && extent.next == raw.size());
}

// Whether a line holds nothing but blanks (after the byte order mark of a first line).
bool isBlankLine(QByteArrayView raw, bool firstLine) {
    return trimmed(firstLine && raw.startsWith(kByteOrderMark) ? raw.sliced(3) : raw).isEmpty();
}

// Whether the stream of a QVariant (of the Qt 4.0 format, as QSettings writes it) holds a number,
// a character, a date or time, a text, a list of texts, bytes or a URL, and no length in it
// claims more bytes than follow. QDataStream makes room for what a length claims before it reads,
// and a made-up length would take all memory.
bool isPlainVariant(const QByteArray& bytes) {
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_4_0);
    const auto remaining = [&] { return bytes.size() - stream.device()->pos(); };
    const auto lengthFits = [&] {
        quint32 length = 0;
        stream >> length;
        if (length == 0xffffffffU) {
            return stream.status() == QDataStream::Ok;  // the null text
        }
        return stream.status() == QDataStream::Ok && length <= remaining() &&
               stream.skipRawData(static_cast<int>(length)) == static_cast<int>(length);
    };
    quint32 type = 0;
    stream >> type;
    switch (type) {
        case 1:   // bool
        case 2:   // int
        case 3:   // unsigned int
        case 4:   // long long
        case 5:   // unsigned long long
        case 6:   // double
        case 7:   // a character
        case 14:  // date
        case 15:  // time
        case 16:  // date and time
            return true;
        case 10:  // text
        case 12:  // bytes
        case 17:  // a URL, as its text
            return lengthFits();
        case 11: {  // a list of texts
            quint32 count = 0;
            stream >> count;
            if (count > remaining() / 4) {
                return false;
            }
            for (quint32 i = 0; i < count; ++i) {
                if (!lengthFits()) {
                    return false;
                }
            }
            return true;
        }
        default:
            return false;
    }
}

std::optional<QString> variantText(const QByteArray& bytes) {
    if (!isPlainVariant(bytes)) {
        return std::nullopt;
    }
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_4_0);
    QVariant variant;
    stream >> variant;
    if (stream.status() != QDataStream::Ok) {
        return std::nullopt;
    }
    if (variant.typeId() == QMetaType::QStringList) {
        return variant.toStringList().join(QStringLiteral(", "));
    }
    if (!variant.isValid() || !variant.canConvert<QString>()) {
        return std::nullopt;
    }
    return variant.toString();
}

// The text behind QSettings' @ forms. A value that starts with '@' was written as "@@...".
std::optional<QString> textOfAtForm(const QString& text) {
    if (!text.startsWith(u'@')) {
        return text;
    }
    const auto inner = [&text](qsizetype prefix) { return text.mid(prefix).chopped(1); };
    if (text.endsWith(u')')) {
        if (text.startsWith(QLatin1String("@String("))) {
            return inner(8);
        }
        if (text.startsWith(QLatin1String("@ByteArray("))) {
            const QByteArray bytes = inner(11).toLatin1();
            return bytesToText(bytes, isValidUtf8(bytes));
        }
        if (text.startsWith(QLatin1String("@Variant("))) {
            return variantText(inner(9).toLatin1());
        }
        // Rectangles, sizes, points, dates and "no value" are nothing the program stores.
        for (const char* form : {"@Rect(", "@Size(", "@Point(", "@DateTime(", "@Invalid("}) {
            if (text.startsWith(QLatin1String(form))) {
                return std::nullopt;
            }
        }
    }
    if (text.startsWith(QLatin1String("@@"))) {
        return text.mid(1);
    }
    return text;
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

// Whether the bytes of a key or section name are its text: ASCII without escapes, as most keys
// are, plain letters and digits.
bool standsForItself(QByteArrayView raw) {
    return std::all_of(raw.begin(), raw.end(), [](char c) {
        return static_cast<uchar>(c) < 0x80 && c != '%' && c != '\\';
    });
}

// Whether a double quote is open at `end` of a line, as scanLine() counts them.
bool quoteOpenAt(QByteArrayView line, qsizetype end) {
    bool open = false;
    for (qsizetype i = 0; i < end; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        } else if (line[i] == '"') {
            open = !open;
        }
    }
    return open;
}

}  // namespace

QByteArray encodeIniValue(const QString& text) {
    return encodeValue(text, true);
}

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

namespace {

// Where the text of the line that starts at `begin` starts: a byte order mark is part of the
// first line's bytes but not of its text.
qsizetype textStart(QByteArrayView data, qsizetype begin) {
    return begin == 0 && data.startsWith(kByteOrderMark) ? 3 : begin;
}

// The first `wanted` byte ('=' or ']') of the line whose text goes on from `p`, before a comment
// or the line's end as scanLine() finds them; -1 when there is none. The line is read only as
// far as that byte.
qsizetype firstBeforeLimit(QByteArrayView data, qsizetype p, char wanted) {
    const qsizetype n = data.size();
    bool inQuotes = false;
    qsizetype at = p;
    while (at < n && !isLineEnd(data[at])) {
        if (data[at] == wanted) {
            return at;
        }
        if (data[at] == '\\' && at + 1 < n) {
            if (data[at + 1] == wanted) {
                return at + 1;
            }
            at += 2;
            if (isLineEnd(data[at - 1]) && at < n && isLineEnd(data[at]) &&
                data[at] != data[at - 1]) {
                ++at;
            }
            continue;
        }
        if (data[at] == '"') {
            inQuotes = !inQuotes;
        } else if (data[at] == ';' && !inQuotes) {
            return -1;
        }
        ++at;
    }
    return -1;
}

// The section name of a header line, or the key of an entry line, whose text starts at or after
// `from`, as written.
QByteArrayView writtenName(QByteArrayView data, qsizetype from, bool header) {
    qsizetype p = from;
    while (p < data.size() && isBlank(data[p])) {
        ++p;
    }
    if (!header) {
        const qsizetype found = firstBeforeLimit(data, p, '=');
        return found >= 0 ? trimmed(data.sliced(p, found - p)) : QByteArrayView();
    }
    qsizetype close = firstBeforeLimit(data, p + 1, ']');
    if (close < 0) {  // the name goes on to the comment or the line's end
        const LineExtent extent = scanLine(data, from);
        close = extent.commentAt >= 0 ? extent.commentAt : extent.contentEnd;
    }
    return trimmed(data.sliced(p + 1, close - p - 1));
}

quint64 mixBits(quint64 bits) {
    bits ^= bits >> 33;
    bits *= 0xff51afd7ed558ccdULL;
    bits ^= bits >> 33;
    bits *= 0xc4ceb9fe1a85ec53ULL;
    return bits ^ (bits >> 33);
}

}  // namespace

// A section name or a key as text, compared and hashed by its characters: the bytes as written
// when they stand for themselves, else the text they are decoded to. Most names stand for
// themselves, and are neither copied nor decoded.
class IniDocument::Name {
  public:
    Name() = default;  // ""

    static Name ofText(const QString& text) {
        Name name;
        name.text_ = text;
        name.isAscii_ = false;
        return name;
    }

    static Name ofKey(QByteArrayView raw) {
        if (standsForItself(raw)) {
            Name name;
            name.ascii_ = raw;
            return name;
        }
        return ofText(decodeIniKey(raw));
    }

    // [General] in any letter case is the section "", [%General] the section "General".
    static Name ofSection(QByteArrayView raw) {
        if (raw.size() == 7 && raw.compare("General", Qt::CaseInsensitive) == 0) {
            return Name();
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

    friend bool operator==(const Name& a, const Name& b) {
        if (a.isAscii_ && b.isAscii_) {
            return a.ascii_ == b.ascii_;
        }
        if (a.isAscii_ || b.isAscii_) {
            const Name& ascii = a.isAscii_ ? a : b;
            const Name& text = a.isAscii_ ? b : a;
            return QLatin1String(ascii.ascii_.data(), ascii.ascii_.size()) == text.text_;
        }
        return a.text_ == b.text_;
    }

  private:
    QByteArrayView ascii_;
    QString text_;
    bool isAscii_ = true;
};

// A slot is chosen by the low bits of a hash. It keeps the number, plus one, in as many bits as
// the slots take to count, and the hash's highest bits above it: a tag that rules out most
// numbers without a look at their lines.
quint32 IniDocument::IdTable::tagOf(quint64 hash) const {
    return static_cast<quint32>(hash >> 32 >> idBits_);
}

quint32 IniDocument::IdTable::slotOf(quint64 hash, quint32 id) const {
    return static_cast<quint32>(quint64{tagOf(hash)} << idBits_) | (id + 1);
}

template <typename Matches>
IniDocument::IdTable::Probe IniDocument::IdTable::probe(quint64 hash, Matches&& matches) const {
    if (slots_.empty()) {
        return {};
    }
    const std::size_t mask = slots_.size() - 1;
    const quint32 tag = tagOf(hash);
    const auto idMask = static_cast<quint32>((quint64{1} << idBits_) - 1);
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    for (; slots_[i] != 0; i = (i + 1) & mask) {
        const quint32 slot = slots_[i];
        if (quint64{slot} >> idBits_ == tag && matches((slot & idMask) - 1)) {
            return {i, (slot & idMask) - 1};
        }
    }
    return {i, -1};
}

template <typename Matches>
qint64 IniDocument::IdTable::find(quint64 hash, Matches&& matches) const {
    return probe(hash, matches).found;
}

template <typename Matches, typename HashOf>
quint32 IniDocument::IdTable::findOrAdd(quint64 hash, Matches&& matches, quint32 id,
                                        HashOf&& hashOf) {
    const Probe found = probe(hash, matches);
    if (found.found >= 0) {
        return static_cast<quint32>(found.found);
    }
    // The table doubles rather than be more than three quarters full, and the numbers in it
    // are hashed again from their lines, in order, as the lines follow each other in the file.
    if ((std::size_t{count_} + 1) * 4 > slots_.size() * 3) {
        const std::size_t size = std::max<std::size_t>(16, slots_.size() * 2);
        std::vector<quint32>(size).swap(slots_);
        idBits_ = static_cast<unsigned>(std::countr_zero(size));
        for (quint32 other = firstId_; other < firstId_ + count_; ++other) {
            place(hashOf(other), other);
        }
        place(hash, id);
    } else {
        slots_[found.free] = slotOf(hash, id);
    }
    ++count_;
    return id;
}

void IniDocument::IdTable::place(quint64 hash, quint32 id) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (slots_[i] != 0) {
        i = (i + 1) & mask;
    }
    slots_[i] = slotOf(hash, id);
}

IniDocument::IniDocument() : IniDocument(QByteArray()) {
}

IniDocument::IniDocument(const QByteArray& bytes) : source_(bytes) {
    parse();
}

IniDocument::LineParts IniDocument::parseLine(QByteArrayView data, qsizetype begin,
                                              qsizetype from) {
    const LineExtent extent = scanLine(data, from);
    const qsizetype p = extent.text;
    const qsizetype limit = extent.commentAt >= 0 ? extent.commentAt : extent.contentEnd;
    LineParts line;
    line.next = extent.next;
    if (extent.comment || p >= limit) {
        return line;
    }
    if (data[p] == '[') {
        // Only this line is searched: a header without ']' ends with its line.
        const qsizetype found = data.sliced(p + 1, limit - p - 1).indexOf(']');
        const qsizetype close = found >= 0 ? p + 1 + found : limit;
        line.kind = LineKind::Header;
        line.name = trimmed(data.sliced(p + 1, close - p - 1));
        return line;
    }
    const qsizetype found = data.sliced(p, limit - p).indexOf('=');
    const QByteArrayView key = found >= 0 ? trimmed(data.sliced(p, found)) : QByteArrayView();
    if (key.isEmpty()) {
        return line;
    }
    line.kind = LineKind::Entry;
    line.name = key;
    qsizetype valueBegin = p + found + 1;
    while (valueBegin < limit && isBlank(data[valueBegin])) {
        ++valueBegin;
    }
    line.valueBegin = valueBegin - begin;
    line.valueEnd = limit - begin;
    return line;
}

void IniDocument::parse() {
    const QByteArrayView data(source_);
    const qsizetype n = data.size();
    const qsizetype firstEnd = data.indexOf('\n');
    const qsizetype firstReturn = data.indexOf('\r');
    if (firstReturn >= 0 && (firstEnd < 0 || firstReturn < firstEnd)) {
        lineEnd_ = firstReturn + 1 < n && data[firstReturn + 1] == '\n' ? "\r\n" : "\r";
    }
    sections_.push_back(Section{kNoLine, kNoLine});  // ""
    qint32 section = 0;
    for (qsizetype start = 0; start < n;) {
        const LineParts line = parseLine(data, start, textStart(data, start));
        if (line.kind == LineKind::Header) {
            const Name name = Name::ofSection(line.name);
            section = name.isEmpty() ? 0 : findOrAddSection(start, name);
            sections_[static_cast<std::size_t>(section)].lastHeader = start;
            if (firstHeader_ < 0) {
                firstHeader_ = start;
            }
        } else if (line.kind == LineKind::Entry) {
            setEntry(section, Name::ofKey(line.name), start);
            sections_[static_cast<std::size_t>(section)].lastEntry = start;
        }
        last_ = start;
        start = line.next;
    }
    endSection_ = section;
}

quint64 IniDocument::entryHash(qint64 section, const Name& key) {
    return mixBits(key.hash() + static_cast<quint64>(section) * 0x9e3779b97f4a7c15ULL);
}

qint32 IniDocument::findSection(const Name& name) const {
    return static_cast<qint32>(sectionIds_.find(
        name.hash(), [this, &name](quint32 id) { return sectionName(id) == name; }));
}

qint32 IniDocument::findSection(const QString& name) const {
    return name.isEmpty() ? 0 : findSection(Name::ofText(name));
}

// A new section's name is in `header`.
qint32 IniDocument::findOrAddSection(LineRef header, const Name& name) {
    const auto id = static_cast<quint32>(sections_.size());
    const quint32 found = sectionIds_.findOrAdd(
        name.hash(), [this, &name](quint32 other) { return sectionName(other) == name; }, id,
        [this](quint32 other) { return sectionName(other).hash(); });
    if (found == id) {
        sections_.push_back(Section{header, kNoLine});
    }
    return static_cast<qint32>(found);
}

IniDocument::Name IniDocument::sectionName(qint64 section) const {
    if (section == 0) {
        return Name();
    }
    const LineRef header = sections_[static_cast<std::size_t>(section)].lastHeader.get();
    const qsizetype n = source_.size();
    if (header >= n) {
        return Name::ofSection(
            writtenName(edits_[static_cast<std::size_t>(header - n)].raw, 0, true));
    }
    return Name::ofSection(writtenName(source_, textStart(source_, header), true));
}

qint64 IniDocument::findEntry(qint64 section, const Name& key) const {
    return entryIds_.find(entryHash(section, key), [this, section, &key](quint32 id) {
        const Entry& entry = entries_[id];
        return entry.section.get() == section && keyOf(entry.line.get()) == key;
    });
}

void IniDocument::setEntry(qint32 section, const Name& key, LineRef line) {
    const auto id = static_cast<quint32>(entries_.size());
    const quint32 found = entryIds_.findOrAdd(
        entryHash(section, key),
        [this, section, &key](quint32 other) {
            const Entry& entry = entries_[other];
            return entry.section.get() == section && keyOf(entry.line.get()) == key;
        },
        id,
        [this](quint32 other) {
            const Entry& entry = entries_[other];
            return entryHash(entry.section.get(), keyOf(entry.line.get()));
        });
    if (found == id) {
        entries_.push_back(Entry{line, section});
    } else {
        entries_[found].line = line;
    }
}

IniDocument::Name IniDocument::keyOf(LineRef line) const {
    // A line set here keeps the key it was read with.
    const qsizetype n = source_.size();
    if (line >= n) {
        return Name::ofKey(writtenName(edits_[static_cast<std::size_t>(line - n)].raw, 0, false));
    }
    return Name::ofKey(writtenName(source_, textStart(source_, line), false));
}

IniDocument::LineRef IniDocument::lastEntry(const QString& section, const QString& key) const {
    const qint32 id = findSection(section);
    if (id < 0) {
        return kNoLine;
    }
    const qint64 entry = findEntry(id, Name::ofText(key));
    return entry >= 0 ? entries_[static_cast<std::size_t>(entry)].line.get() : kNoLine;
}

qsizetype IniDocument::lineEnd(LineRef line) const {
    return scanLine(source_, textStart(source_, line)).next;
}

IniDocument::LineView IniDocument::lineAt(LineRef line) const {
    const qsizetype n = source_.size();
    if (line >= n) {
        const Edit& added = edits_[static_cast<std::size_t>(line - n)];
        return LineView{added.raw, added.kind, added.valueBegin, added.valueEnd};
    }
    const LineParts parts = parseLine(source_, line, textStart(source_, line));
    LineView view{QByteArrayView(source_).sliced(line, parts.next - line), parts.kind,
                  parts.valueBegin, parts.valueEnd};
    const auto patch = patches_.find(line);
    if (patch != patches_.end() && patch->second.rewritten >= 0) {
        const Edit& rewritten = edits_[static_cast<std::size_t>(patch->second.rewritten)];
        view.raw = rewritten.raw;
        view.valueBegin = rewritten.valueBegin;
        view.valueEnd = rewritten.valueEnd;
    }
    return view;
}

bool IniDocument::underHeader(LineRef line) const {
    const qsizetype n = source_.size();
    if (line >= n) {
        return edits_[static_cast<std::size_t>(line - n)].underHeader;
    }
    return firstHeader_ >= 0 && line >= firstHeader_;
}

qint32 IniDocument::sectionOfLast() const {
    const qsizetype n = source_.size();
    return last_ >= n ? edits_[static_cast<std::size_t>(last_ - n)].section : endSection_;
}

void IniDocument::rewrite(LineRef line, const QByteArray& raw, qsizetype valueBegin,
                          qsizetype valueEnd) {
    const qsizetype n = source_.size();
    std::size_t index = 0;
    if (line >= n) {
        index = static_cast<std::size_t>(line - n);
    } else {
        Patch& patch = patches_[line];
        if (patch.rewritten < 0) {
            patch.rewritten = static_cast<qint32>(edits_.size());
            edits_.emplace_back();
        }
        index = static_cast<std::size_t>(patch.rewritten);
    }
    Edit& edit = edits_[index];
    edit.raw = raw;
    edit.valueBegin = valueBegin;
    edit.valueEnd = valueEnd;
}

// Adds a line after the line `after`, or at the end when that is kNoLine.
IniDocument::LineRef IniDocument::addLine(Edit line, LineRef after) {
    const qsizetype n = source_.size();
    const auto index = static_cast<qint32>(edits_.size());
    if (after < 0) {
        after = last_;
    }
    if (after < 0) {
        firstAdded_ = index;
    } else if (after >= n) {
        Edit& before = edits_[static_cast<std::size_t>(after - n)];
        line.next = before.next;
        before.next = index;
    } else {
        Patch& patch = patches_[after];
        line.next = patch.added;
        patch.added = index;
    }
    const LineRef added = n + index;
    if (after == last_) {
        last_ = added;
    }
    edits_.push_back(std::move(line));
    return added;
}

template <typename Visit>
void IniDocument::forEachLine(Visit&& visit) const {
    const QByteArrayView data(source_);
    const qsizetype n = data.size();
    const auto visitAdded = [&](qint32 index) {
        for (; index >= 0; index = edits_[static_cast<std::size_t>(index)].next) {
            const Edit& line = edits_[static_cast<std::size_t>(index)];
            visit(QByteArrayView(line.raw), line.kind, line.section, line.underHeader,
                  n + index == last_);
        }
    };
    visitAdded(firstAdded_);
    auto patch = patches_.begin();
    qint32 section = 0;
    bool underHeader = false;
    for (qsizetype start = 0; start < n;) {
        const LineParts line = parseLine(data, start, textStart(data, start));
        if (line.kind == LineKind::Header) {
            const Name name = Name::ofSection(line.name);
            section = name.isEmpty() ? 0 : findSection(name);
            underHeader = true;
        }
        QByteArrayView raw = data.sliced(start, line.next - start);
        qint32 added = -1;
        if (patch != patches_.end() && patch->first == start) {
            if (patch->second.rewritten >= 0) {
                raw = edits_[static_cast<std::size_t>(patch->second.rewritten)].raw;
            }
            added = patch->second.added;
            ++patch;
        }
        visit(raw, line.kind, section, underHeader, start == last_);
        visitAdded(added);
        start = line.next;
    }
}

std::vector<QByteArrayView> IniDocument::pieces() const {
    std::vector<QByteArrayView> out;
    const QByteArrayView data(source_);
    const auto addedAfter = [&](qint32 index) {
        for (; index >= 0; index = edits_[static_cast<std::size_t>(index)].next) {
            out.emplace_back(edits_[static_cast<std::size_t>(index)].raw);
        }
    };
    addedAfter(firstAdded_);
    qsizetype done = 0;  // source_ is in `out` up to here
    for (const auto& [line, patch] : patches_) {
        const qsizetype end = lineEnd(line);
        if (patch.rewritten >= 0) {
            out.push_back(data.sliced(done, line - done));
            out.emplace_back(edits_[static_cast<std::size_t>(patch.rewritten)].raw);
        } else {
            out.push_back(data.sliced(done, end - done));
        }
        done = end;
        addedAfter(patch.added);
    }
    out.push_back(data.sliced(done));
    return out;
}

QByteArray IniDocument::bytes() const {
    if (patches_.empty() && firstAdded_ < 0) {
        return source_;
    }
    const std::vector<QByteArrayView> parts = pieces();
    qsizetype size = 0;
    for (const QByteArrayView part : parts) {
        size += part.size();
    }
    QByteArray out(size, Qt::Uninitialized);
    char* to = out.data();
    for (const QByteArrayView part : parts) {
        to = std::copy(part.begin(), part.end(), to);
    }
    return out;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const LineRef line = lastEntry(section, key);
    if (line < 0) {
        return std::nullopt;
    }
    return valueOf(line);
}

bool IniDocument::hasKeys(const QString& section) const {
    const qint32 id = findSection(section);
    return id >= 0 && sections_[static_cast<std::size_t>(id)].lastEntry.get() >= 0;
}

std::vector<std::pair<QString, QString>> IniDocument::keys() const {
    std::vector<std::pair<QString, QString>> out;
    out.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        out.emplace_back(sectionName(entry.section.get()).toString(),
                         keyOf(entry.line.get()).toString());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::optional<QString> IniDocument::valueOf(LineRef line) const {
    const LineView view = lineAt(line);
    return decodeIniValue(view.raw.sliced(view.valueBegin, view.valueEnd - view.valueBegin));
}

void IniDocument::ensureLastLineEnds() {
    if (last_ < 0) {
        return;
    }
    // A line end after a lone backslash, or after a continued line end, continues the line: a
    // second one ends it where it ended before.
    const LineView line = lineAt(last_);
    QByteArray raw = line.raw.toByteArray();
    const bool firstLine = last_ == 0;
    if (endsALine(raw, firstLine)) {
        return;
    }
    while (!endsALine(raw, firstLine)) {
        raw += lineEnd_;
    }
    rewrite(last_, raw, line.valueBegin, line.valueEnd);
    if (line.kind != LineKind::Entry) {
        return;
    }
    // The backslash that ended the file escapes a line end now, and keeps the blanks before it
    // in the value: the value is written again as it was.
    const std::optional<QString> before = valueOf(last_);
    const LineExtent extent = scanLine(raw, 0);
    rewrite(last_, raw, line.valueBegin,
            extent.commentAt >= 0 ? extent.commentAt : extent.contentEnd);
    if (before && valueOf(last_) != before) {
        replaceValue(last_, *before);
    }
}

void IniDocument::replaceValue(LineRef index, const QString& value) {
    const LineView line = lineAt(index);
    const QByteArrayView raw = line.raw;
    // Blanks before a comment stay with the comment.
    qsizetype replaced = line.valueEnd;
    if (replaced < raw.size() && raw.at(replaced) == ';') {
        while (replaced > line.valueBegin && isBlank(raw.at(replaced - 1))) {
            --replaced;
        }
    }
    const qsizetype valueBegin = line.valueBegin;
    // A key with a lone double quote leaves one open: the new value goes without quotes, and
    // closes it where the old value did, so that a comment after it stays one.
    QByteArray encoded;
    if (quoteOpenAt(raw, valueBegin)) {
        encoded = encodeValue(value, false);
        if (!quoteOpenAt(raw, line.valueEnd)) {
            // Blanks after a quote would be part of the value.
            encoded += '"';
            replaced = line.valueEnd;
        }
    } else {
        encoded = encodeIniValue(value);
    }
    QByteArray rewritten = raw.first(valueBegin).toByteArray();
    rewritten += encoded;
    rewritten += raw.sliced(replaced);
    rewrite(index, rewritten, valueBegin, valueBegin + encoded.size());
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const LineRef found = lastEntry(section, key);
    if (found >= 0) {
        if (valueOf(found) != value) {
            replaceValue(found, value);
        }
        return;
    }

    const QByteArray encoded = encodeIniValue(value);
    qint32 id = findSection(section);
    Edit entry;
    entry.kind = LineKind::Entry;
    entry.raw = encodeIniKey(key) + '=';
    entry.valueBegin = entry.raw.size();
    entry.raw += encoded;
    entry.valueEnd = entry.raw.size();
    entry.raw += lineEnd_;

    // After the section's last key, or else its last header.
    LineRef after = kNoLine;
    if (id >= 0) {
        const Section& owner = sections_[static_cast<std::size_t>(id)];
        after = owner.lastEntry.get() >= 0 ? owner.lastEntry.get() : owner.lastHeader.get();
    }
    if (after >= 0) {
        if (after == last_) {
            ensureLastLineEnds();
        }
        entry.underHeader = underHeader(after);
    } else {
        ensureLastLineEnds();
        if (last_ >= 0 && !isBlankLine(lineAt(last_).raw, last_ == 0)) {
            Edit blank;
            blank.raw = lineEnd_;
            blank.underHeader = underHeader(last_);
            blank.section = sectionOfLast();
            addLine(std::move(blank), kNoLine);
        }
        Edit header;
        header.kind = LineKind::Header;
        header.underHeader = true;
        if (section.isEmpty()) {
            header.raw = "[General]";
        } else if (section == QLatin1String("General")) {
            header.raw = "[%General]";
        } else if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            // [general] in any letter case is the section "": this spelling of the word keeps
            // its letters, its first one escaped.
            header.raw = "[%" + QByteArray::number(section.front().unicode(), 16).toUpper() +
                         section.sliced(1).toLatin1() + ']';
        } else {
            header.raw = '[' + encodeIniKey(section) + ']';
        }
        header.raw += lineEnd_;
        const LineRef headerLine = addLine(std::move(header), kNoLine);
        if (id < 0) {
            id = findOrAddSection(headerLine, Name::ofText(section));
        }
        edits_[static_cast<std::size_t>(headerLine - source_.size())].section = id;
        sections_[static_cast<std::size_t>(id)].lastHeader = headerLine;
        entry.underHeader = true;
    }
    entry.section = id;
    const LineRef added = addLine(std::move(entry), after);
    setEntry(id, Name::ofText(key), added);
    sections_[static_cast<std::size_t>(id)].lastEntry = added;
}

bool IniDocument::removeSection(const QString& section) {
    const qint32 id = findSection(section);
    if (id < 0) {
        return false;
    }
    const bool hadKeys = sections_[static_cast<std::size_t>(id)].lastEntry.get() >= 0;
    // Above the first header only the keys go: comments there speak for the whole file.
    QByteArray kept;
    kept.reserve(source_.size());
    bool took = false;
    bool tookLast = false;
    qsizetype keptEnd = 0;  // after the last line kept that is not blank
    forEachLine(
        [&](QByteArrayView raw, LineKind kind, qint32 lineSection, bool underHeader, bool isLast) {
            if (lineSection == id && (underHeader || kind == LineKind::Entry)) {
                took = true;
                tookLast = tookLast || isLast;
                return;
            }
            kept += raw;
            if (kind != LineKind::Other || !trimmed(raw).isEmpty()) {
                keptEnd = kept.size();
            }
        });
    if (!took) {
        return hadKeys;
    }
    // A section taken from the end leaves no blank lines behind it.
    if (tookLast) {
        kept.truncate(keptEnd);
    }
    // Read again what is left; new lines keep the line end of the file as it was first read.
    const QByteArray lineEnd = lineEnd_;
    *this = IniDocument(kept);
    lineEnd_ = lineEnd;
    return hadKeys;
}

}  // namespace trovix::ini
