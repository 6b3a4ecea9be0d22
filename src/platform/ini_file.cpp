#include "platform/ini_file.h"

#include <QDataStream>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>
#include <algorithm>

namespace trovix::platform {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
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
// A last line may end in a backslash or a continued line end without one.
bool endsALine(QByteArrayView raw) {
    const LineExtent extent = scanLine(raw, raw.startsWith("\xef\xbb\xbf") ? 3 : 0);
    return extent.contentEnd < raw.size() && extent.next == raw.size();
}

std::optional<QString> variantText(const QByteArray& bytes) {
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
            const char escape = raw[i++];
            switch (escape) {
                case 'a':
                    current += u'\a';
                    break;
                case 'b':
                    current += u'\b';
                    break;
                case 'f':
                    current += u'\f';
                    break;
                case 'n':
                    current += u'\n';
                    break;
                case 'r':
                    current += u'\r';
                    break;
                case 't':
                    current += u'\t';
                    break;
                case 'v':
                    current += u'\v';
                    break;
                case '"':
                case '?':
                case '\'':
                case '\\':
                    current += QLatin1Char(escape);
                    break;
                case 'x': {
                    // As many hex digits as follow make one UTF-16 unit.
                    if (i < n && hexDigit(static_cast<uchar>(raw[i])) >= 0) {
                        char16_t unit = 0;
                        while (i < n && hexDigit(static_cast<uchar>(raw[i])) >= 0) {
                            unit = static_cast<char16_t>((unit << 4) +
                                                         hexDigit(static_cast<uchar>(raw[i++])));
                        }
                        current += QChar(unit);
                    }
                    break;
                }
                case '\n':
                case '\r':
                    // A backslash at the end of a line continues the value on the next one.
                    if (i < n && isLineEnd(raw[i]) && raw[i] != escape) {
                        ++i;
                    }
                    break;
                default:
                    if (escape >= '0' && escape <= '7') {
                        char16_t unit = static_cast<char16_t>(escape - '0');
                        while (i < n && raw[i] >= '0' && raw[i] <= '7') {
                            unit = static_cast<char16_t>((unit << 3) + (raw[i++] - '0'));
                        }
                        current += QChar(unit);
                    }
                    // Any other escaped character is dropped, as QSettings drops it.
                    break;
            }
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
    for (QString& item : items) {
        item = textOfAtForm(item).value_or(item);
    }
    return items.join(QStringLiteral(", "));
}

QByteArray encodeIniValue(const QString& text) {
    QByteArray out;
    out.reserve(text.size() + 8);
    bool quote = false;
    // After \0 or \xHH a hex digit would be read as part of the escape: it is escaped too.
    bool escapeHexDigit = false;
    if (text.startsWith(u'@')) {
        out += '@';
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (escapeHexDigit && hexDigit(c) >= 0) {
            out += hexEscape(c);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
            case u'\0':
                out += "\\0";
                escapeHexDigit = true;
                continue;
            case u'\a':
                out += "\\a";
                continue;
            case u'\b':
                out += "\\b";
                continue;
            case u'\f':
                out += "\\f";
                continue;
            case u'\n':
                out += "\\n";
                continue;
            case u'\r':
                out += "\\r";
                continue;
            case u'\t':
                out += "\\t";
                continue;
            case u'\v':
                out += "\\v";
                continue;
            case u'"':
                out += "\\\"";
                quote = true;
                continue;
            case u'\\':
                out += "\\\\";
                continue;
            case u',':
            case u';':
            case u'=':
            case u'#':
                quote = true;
                break;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7f) {
            out += hexEscape(c);
            escapeHexDigit = true;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text.at(i + 1).isLowSurrogate()) {
            out += text.mid(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            // A lone half of a pair has no UTF-8 form; the escape keeps it.
            out += hexEscape(c);
            escapeHexDigit = true;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += QStringView(text).sliced(i, 1).toUtf8();
        }
    }
    // Blanks at either end would be dropped when read unquoted.
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace())) {
        quote = true;
    }
    if (quote) {
        out.prepend('"');
        out.append('"');
    }
    return out;
}

QString decodeIniKey(QByteArrayView raw) {
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

IniDocument::IniDocument(const QByteArray& bytes) {
    parse(bytes);
}

void IniDocument::parse(const QByteArray& bytes) {
    const qsizetype n = bytes.size();
    const char* data = bytes.constData();
    const qsizetype firstEnd = bytes.indexOf('\n');
    const qsizetype firstReturn = bytes.indexOf('\r');
    if (firstReturn >= 0 && (firstEnd < 0 || firstReturn < firstEnd)) {
        lineEnd_ = firstReturn + 1 < n && data[firstReturn + 1] == '\n' ? "\r\n" : "\r";
    }
    QString section;
    qsizetype i = 0;
    // A byte order mark is part of the first line's bytes but not of its text.
    if (bytes.startsWith("\xef\xbb\xbf")) {
        i = 3;
    }
    qsizetype start = 0;
    while (i < n) {
        Line line;
        const LineExtent extent = scanLine(bytes, i);
        const qsizetype p = extent.text;
        const bool comment = extent.comment;
        const qsizetype commentAt = extent.commentAt;
        const qsizetype limit = commentAt >= 0 ? commentAt : extent.contentEnd;
        const qsizetype next = extent.next;
        line.raw = bytes.mid(start, next - start);

        if (!comment && p < limit && data[p] == '[') {
            qsizetype close = bytes.indexOf(']', p + 1);
            if (close < 0 || close > limit) {
                close = limit;
            }
            const QByteArray name = bytes.mid(p + 1, close - p - 1).trimmed();
            if (name.compare("General", Qt::CaseInsensitive) == 0) {
                section.clear();
            } else if (name.compare("%General", Qt::CaseInsensitive) == 0) {
                section = QStringLiteral("General");
            } else {
                section = decodeIniKey(name);
            }
            line.kind = LineKind::Header;
            ++blocks_;
        } else if (!comment && p < limit) {
            const qsizetype found = QByteArrayView(data + p, limit - p).indexOf('=');
            const qsizetype equals = found >= 0 ? p + found : -1;
            const QByteArray key = equals >= 0 ? bytes.mid(p, equals - p).trimmed() : QByteArray();
            if (!key.isEmpty()) {
                line.kind = LineKind::Entry;
                line.key = decodeIniKey(key);
                qsizetype valueBegin = equals + 1;
                while (valueBegin < limit && isBlank(data[valueBegin])) {
                    ++valueBegin;
                }
                line.valueBegin = valueBegin - start;
                line.valueEnd = limit - start;
            }
        }
        line.block = blocks_ - 1;
        line.section = section;
        lines_.push_back(std::move(line));
        start = i = next;
    }
}

QByteArray IniDocument::bytes() const {
    QByteArray out;
    for (const Line& line : lines_) {
        out += line.raw;
    }
    return out;
}

qsizetype IniDocument::lastEntry(const QString& section, const QString& key) const {
    for (qsizetype i = static_cast<qsizetype>(lines_.size()) - 1; i >= 0; --i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        if (line.kind == LineKind::Entry && line.section == section && line.key == key) {
            return i;
        }
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const qsizetype index = lastEntry(section, key);
    if (index < 0) {
        return std::nullopt;
    }
    const Line& line = lines_[static_cast<std::size_t>(index)];
    return decodeIniValue(
        QByteArrayView(line.raw).sliced(line.valueBegin, line.valueEnd - line.valueBegin));
}

bool IniDocument::hasKeys(const QString& section) const {
    return std::any_of(lines_.begin(), lines_.end(), [&section](const Line& line) {
        return line.kind == LineKind::Entry && line.section == section;
    });
}

void IniDocument::ensureLastLineEnds() {
    if (lines_.empty()) {
        return;
    }
    // A line end after a lone backslash, or after a continued line end, continues the line: a
    // second one ends it where it ended before.
    QByteArray& raw = lines_.back().raw;
    while (!endsALine(raw)) {
        raw += lineEnd_;
    }
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const QByteArray encoded = encodeIniValue(value);
    const qsizetype index = lastEntry(section, key);
    if (index >= 0) {
        Line& line = lines_[static_cast<std::size_t>(index)];
        if (this->value(section, key) == value) {
            return;
        }
        // Blanks before a comment stay with the comment.
        qsizetype replaced = line.valueEnd;
        if (replaced < line.raw.size() && line.raw.at(replaced) == ';') {
            while (replaced > line.valueBegin && isBlank(line.raw.at(replaced - 1))) {
                --replaced;
            }
        }
        line.raw = line.raw.left(line.valueBegin) + encoded + line.raw.mid(replaced);
        line.valueEnd = line.valueBegin + encoded.size();
        return;
    }

    Line entry;
    entry.kind = LineKind::Entry;
    entry.section = section;
    entry.key = key;
    entry.raw = encodeIniKey(key) + '=';
    entry.valueBegin = entry.raw.size();
    entry.raw += encoded;
    entry.valueEnd = entry.raw.size();
    entry.raw += lineEnd_;

    // After the section's last key, or else its last header.
    qsizetype after = -1;
    for (qsizetype i = static_cast<qsizetype>(lines_.size()) - 1; i >= 0 && after < 0; --i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        if (line.kind == LineKind::Entry && line.section == section) {
            after = i;
        }
    }
    for (qsizetype i = static_cast<qsizetype>(lines_.size()) - 1; i >= 0 && after < 0; --i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        if (line.kind == LineKind::Header && line.section == section) {
            after = i;
        }
    }
    if (after >= 0) {
        if (after == static_cast<qsizetype>(lines_.size()) - 1) {
            ensureLastLineEnds();
        }
        entry.block = lines_[static_cast<std::size_t>(after)].block;
        lines_.insert(lines_.begin() + after + 1, std::move(entry));
        return;
    }

    ensureLastLineEnds();
    if (!lines_.empty() && !lines_.back().raw.trimmed().isEmpty()) {
        Line blank;
        blank.raw = lineEnd_;
        blank.block = lines_.back().block;
        blank.section = lines_.back().section;
        lines_.push_back(std::move(blank));
    }
    Line header;
    header.kind = LineKind::Header;
    header.section = section;
    header.block = blocks_++;
    if (section.isEmpty()) {
        header.raw = "[General]";
    } else if (section == QLatin1String("General")) {
        header.raw = "[%General]";
    } else {
        header.raw = '[' + encodeIniKey(section) + ']';
    }
    header.raw += lineEnd_;
    entry.block = header.block;
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(entry));
}

bool IniDocument::removeSection(const QString& section) {
    const bool hadKeys = hasKeys(section);
    const std::size_t before = lines_.size();
    const bool tookLast = !lines_.empty() && lines_.back().section == section &&
                          (lines_.back().block >= 0 || lines_.back().kind == LineKind::Entry);
    // Above the first header only the keys go: comments there speak for the whole file.
    std::erase_if(lines_, [&section](const Line& line) {
        return line.section == section && (line.block >= 0 || line.kind == LineKind::Entry);
    });
    // A section taken from the end leaves no blank lines behind it.
    if (tookLast && lines_.size() != before) {
        while (!lines_.empty() && lines_.back().kind == LineKind::Other &&
               lines_.back().raw.trimmed().isEmpty()) {
            lines_.pop_back();
        }
    }
    return hadKeys;
}

}  // namespace trovix::platform
