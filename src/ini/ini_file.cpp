#include "ini/ini_file.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>
#include <algorithm>

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
    // Most keys are plain ASCII letters and digits.
    if (std::all_of(raw.begin(), raw.end(),
                    [](char c) { return static_cast<uchar>(c) < 0x80 && c != '%' && c != '\\'; })) {
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

IniDocument::IniDocument(const QByteArray& bytes) : source_(bytes) {
    parse();
}

qint32 IniDocument::sectionId(const QString& name) {
    const auto found = sectionIds_.constFind(name);
    if (found != sectionIds_.constEnd()) {
        return *found;
    }
    const auto id = static_cast<qint32>(sections_.size());
    sections_.push_back(Section{name, -1, -1});
    sectionIds_.insert(name, id);
    return id;
}

qint32 IniDocument::findSection(const QString& name) const {
    return sectionIds_.value(name, -1);
}

qsizetype IniDocument::lastEntry(const QString& section, const QString& key) const {
    const qint32 id = findSection(section);
    return id >= 0 ? entries_.value(EntryKey{id, key}, -1) : -1;
}

QByteArrayView IniDocument::rawOf(const Line& line) const {
    if (line.rewritten >= 0) {
        return rewritten_[static_cast<std::size_t>(line.rewritten)];
    }
    return QByteArrayView(source_).sliced(line.begin, line.size);
}

void IniDocument::rewrite(qsizetype index, const QByteArray& raw) {
    Line& line = lines_[static_cast<std::size_t>(index)];
    if (line.rewritten < 0) {
        line.rewritten = static_cast<qint32>(rewritten_.size());
        rewritten_.push_back(raw);
    } else {
        rewritten_[static_cast<std::size_t>(line.rewritten)] = raw;
    }
}

// Adds a line after the line `after`, or at the end when that is -1.
qsizetype IniDocument::addLine(Line line, const QByteArray& raw, qsizetype after) {
    const auto index = static_cast<qsizetype>(lines_.size());
    line.rewritten = static_cast<qint32>(rewritten_.size());
    rewritten_.push_back(raw);
    if (after < 0) {
        after = last_;
    }
    if (after < 0) {
        first_ = index;
    } else {
        Line& before = lines_[static_cast<std::size_t>(after)];
        line.next = before.next;
        before.next = index;
    }
    if (after == last_) {
        last_ = index;
    }
    lines_.push_back(line);
    return index;
}

void IniDocument::parse() {
    const QByteArray& bytes = source_;
    const qsizetype n = bytes.size();
    const char* data = bytes.constData();
    const qsizetype firstEnd = bytes.indexOf('\n');
    const qsizetype firstReturn = bytes.indexOf('\r');
    if (firstReturn >= 0 && (firstEnd < 0 || firstReturn < firstEnd)) {
        lineEnd_ = firstReturn + 1 < n && data[firstReturn + 1] == '\n' ? "\r\n" : "\r";
    }
    const std::size_t lineCount =
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    lines_.reserve(lineCount);
    // Any line may name a section or a key: room for them all up front spares the tables being
    // built again and again as a file of many sections is read. Room costs little until used.
    sectionIds_.reserve(static_cast<qsizetype>(lineCount));
    entries_.reserve(static_cast<qsizetype>(lineCount));
    qint32 section = sectionId(QString());
    qsizetype i = 0;
    // A byte order mark is part of the first line's bytes but not of its text.
    if (bytes.startsWith(kByteOrderMark)) {
        i = 3;
    }
    qsizetype start = 0;
    // Keys repeat from section to section: the last one read is decoded once and shared.
    QByteArrayView lastKeyBytes;
    QString lastKey;
    while (i < n) {
        const LineExtent extent = scanLine(bytes, i);
        const qsizetype p = extent.text;
        const bool comment = extent.comment;
        const qsizetype limit = extent.commentAt >= 0 ? extent.commentAt : extent.contentEnd;
        const auto index = static_cast<qsizetype>(lines_.size());
        Line line;
        line.begin = start;
        line.size = extent.next - start;
        line.next = extent.next < n ? index + 1 : -1;

        if (!comment && p < limit && data[p] == '[') {
            // Only this line is searched: a header without ']' ends with its line.
            const qsizetype found = QByteArrayView(data + p + 1, limit - p - 1).indexOf(']');
            const qsizetype close = found >= 0 ? p + 1 + found : limit;
            const QByteArrayView name = trimmed(QByteArrayView(data + p + 1, close - p - 1));
            if (name.size() == 7 && name.compare("General", Qt::CaseInsensitive) == 0) {
                section = sectionId(QString());
            } else if (name.size() == 8 && name.compare("%General", Qt::CaseInsensitive) == 0) {
                section = sectionId(QStringLiteral("General"));
            } else {
                section = sectionId(decodeIniKey(name));
            }
            line.kind = LineKind::Header;
            sections_[static_cast<std::size_t>(section)].lastHeader = index;
            ++blocks_;
        } else if (!comment && p < limit) {
            const qsizetype found = QByteArrayView(data + p, limit - p).indexOf('=');
            const QByteArrayView key =
                found >= 0 ? trimmed(QByteArrayView(data + p, found)) : QByteArrayView();
            if (!key.isEmpty()) {
                line.kind = LineKind::Entry;
                qsizetype valueBegin = p + found + 1;
                while (valueBegin < limit && isBlank(data[valueBegin])) {
                    ++valueBegin;
                }
                line.valueBegin = valueBegin - start;
                line.valueEnd = limit - start;
                if (lastKeyBytes.data() == nullptr || key != lastKeyBytes) {
                    lastKeyBytes = key;
                    lastKey = decodeIniKey(key);
                }
                entries_.insert(EntryKey{section, lastKey}, index);
                sections_[static_cast<std::size_t>(section)].lastEntry = index;
            }
        }
        line.block = blocks_ - 1;
        line.section = section;
        lines_.push_back(line);
        start = i = extent.next;
    }
    if (start < n) {  // a byte order mark and nothing else
        Line line;
        line.size = n;
        line.section = section;
        lines_.push_back(line);
    }
    if (!lines_.empty()) {
        first_ = 0;
        last_ = static_cast<qsizetype>(lines_.size()) - 1;
    }
}

QByteArray IniDocument::bytes() const {
    qsizetype size = 0;
    for (qsizetype i = first_; i >= 0; i = lines_[static_cast<std::size_t>(i)].next) {
        size += rawOf(lines_[static_cast<std::size_t>(i)]).size();
    }
    QByteArray out(size, Qt::Uninitialized);
    char* to = out.data();
    for (qsizetype i = first_; i >= 0; i = lines_[static_cast<std::size_t>(i)].next) {
        const QByteArrayView raw = rawOf(lines_[static_cast<std::size_t>(i)]);
        to = std::copy(raw.begin(), raw.end(), to);
    }
    return out;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const qsizetype index = lastEntry(section, key);
    if (index < 0) {
        return std::nullopt;
    }
    return valueOf(lines_[static_cast<std::size_t>(index)]);
}

bool IniDocument::hasKeys(const QString& section) const {
    const qint32 id = findSection(section);
    return id >= 0 && sections_[static_cast<std::size_t>(id)].lastEntry >= 0;
}

std::vector<std::pair<QString, QString>> IniDocument::keys() const {
    std::vector<std::pair<QString, QString>> out;
    out.reserve(static_cast<std::size_t>(entries_.size()));
    for (auto it = entries_.constBegin(); it != entries_.constEnd(); ++it) {
        out.emplace_back(sections_[static_cast<std::size_t>(it.key().section)].name, it.key().key);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::optional<QString> IniDocument::valueOf(const Line& line) const {
    return decodeIniValue(rawOf(line).sliced(line.valueBegin, line.valueEnd - line.valueBegin));
}

void IniDocument::ensureLastLineEnds() {
    if (last_ < 0) {
        return;
    }
    // A line end after a lone backslash, or after a continued line end, continues the line: a
    // second one ends it where it ended before.
    QByteArray raw = rawOf(lines_[static_cast<std::size_t>(last_)]).toByteArray();
    const bool firstLine = last_ == first_;
    if (endsALine(raw, firstLine)) {
        return;
    }
    while (!endsALine(raw, firstLine)) {
        raw += lineEnd_;
    }
    rewrite(last_, raw);
    Line& line = lines_[static_cast<std::size_t>(last_)];
    if (line.kind != LineKind::Entry) {
        return;
    }
    // The backslash that ended the file escapes a line end now, and keeps the blanks before it
    // in the value: the value is written again as it was.
    const std::optional<QString> before = valueOf(line);
    const LineExtent extent = scanLine(raw, 0);
    line.valueEnd = extent.commentAt >= 0 ? extent.commentAt : extent.contentEnd;
    if (before && valueOf(line) != before) {
        replaceValue(last_, *before);
    }
}

void IniDocument::replaceValue(qsizetype index, const QString& value) {
    const Line& line = lines_[static_cast<std::size_t>(index)];
    const QByteArrayView raw = rawOf(line);
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
    rewrite(index, rewritten);
    lines_[static_cast<std::size_t>(index)].valueEnd = valueBegin + encoded.size();
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const qsizetype index = lastEntry(section, key);
    if (index >= 0) {
        if (valueOf(lines_[static_cast<std::size_t>(index)]) != value) {
            replaceValue(index, value);
        }
        return;
    }

    const QByteArray encoded = encodeIniValue(value);
    const qint32 id = sectionId(section);
    Line entry;
    entry.kind = LineKind::Entry;
    entry.section = id;
    QByteArray raw = encodeIniKey(key) + '=';
    entry.valueBegin = raw.size();
    raw += encoded;
    entry.valueEnd = raw.size();
    raw += lineEnd_;

    // After the section's last key, or else its last header.
    const Section& owner = sections_[static_cast<std::size_t>(id)];
    const qsizetype after = owner.lastEntry >= 0 ? owner.lastEntry : owner.lastHeader;
    if (after >= 0) {
        if (after == last_) {
            ensureLastLineEnds();
        }
        entry.block = lines_[static_cast<std::size_t>(after)].block;
    } else {
        ensureLastLineEnds();
        if (last_ >= 0 &&
            !isBlankLine(rawOf(lines_[static_cast<std::size_t>(last_)]), last_ == first_)) {
            const Line& end = lines_[static_cast<std::size_t>(last_)];
            Line blank;
            blank.block = end.block;
            blank.section = end.section;
            addLine(blank, lineEnd_, -1);
        }
        Line header;
        header.kind = LineKind::Header;
        header.section = id;
        header.block = blocks_++;
        QByteArray headerRaw;
        if (section.isEmpty()) {
            headerRaw = "[General]";
        } else if (section == QLatin1String("General")) {
            headerRaw = "[%General]";
        } else if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            // [general] in any letter case is the section "": this spelling of the word keeps
            // its letters, its first one escaped.
            headerRaw = "[%" + QByteArray::number(section.front().unicode(), 16).toUpper() +
                        section.sliced(1).toLatin1() + ']';
        } else {
            headerRaw = '[' + encodeIniKey(section) + ']';
        }
        const qsizetype headerIndex = addLine(header, headerRaw + lineEnd_, -1);
        sections_[static_cast<std::size_t>(id)].lastHeader = headerIndex;
        entry.block = header.block;
    }
    const qsizetype added = addLine(entry, raw, after);
    entries_.insert(EntryKey{id, key}, added);
    sections_[static_cast<std::size_t>(id)].lastEntry = added;
}

bool IniDocument::removeSection(const QString& section) {
    const qint32 id = findSection(section);
    if (id < 0) {
        return false;
    }
    const bool hadKeys = sections_[static_cast<std::size_t>(id)].lastEntry >= 0;
    // Above the first header only the keys go: comments there speak for the whole file.
    const auto goes = [id](const Line& line) {
        return line.section == id && (line.block >= 0 || line.kind == LineKind::Entry);
    };
    std::vector<qsizetype> kept;
    for (qsizetype i = first_; i >= 0; i = lines_[static_cast<std::size_t>(i)].next) {
        if (!goes(lines_[static_cast<std::size_t>(i)])) {
            kept.push_back(i);
        }
    }
    const bool tookLast = last_ >= 0 && goes(lines_[static_cast<std::size_t>(last_)]);
    if (kept.size() == lines_.size()) {
        return hadKeys;
    }
    // A section taken from the end leaves no blank lines behind it.
    if (tookLast) {
        while (!kept.empty()) {
            const Line& line = lines_[static_cast<std::size_t>(kept.back())];
            if (line.kind != LineKind::Other || !trimmed(rawOf(line)).isEmpty()) {
                break;
            }
            kept.pop_back();
        }
    }
    QByteArray bytes;
    for (const qsizetype i : kept) {
        bytes += rawOf(lines_[static_cast<std::size_t>(i)]);
    }
    // Read again what is left; new lines keep the line end of the file as it was first read.
    const QByteArray lineEnd = lineEnd_;
    *this = IniDocument(bytes);
    lineEnd_ = lineEnd;
    return hadKeys;
}

}  // namespace trovix::ini
