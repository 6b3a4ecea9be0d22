#include "ini/ini_lines.h"

#include <algorithm>

#include "ini/ini_bytes.h"

namespace trovix::ini {
namespace {

// Where the text goes on after the backslash at `at` and the byte it escapes; an escaped line
// break of two bytes (CR LF or LF CR) is passed whole.
qsizetype afterEscape(QByteArrayView data, qsizetype at) {
    at += 2;
    if (isLineEnd(data[at - 1]) && at < data.size() && isLineEnd(data[at]) &&
        data[at] != data[at - 1]) {
        ++at;
    }
    return at;
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
            at = afterEscape(data, at);
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

}  // namespace

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
                end = afterEscape(data, end);
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

bool endsALine(QByteArrayView raw, bool firstLine) {
    const qsizetype text = firstLine && raw.startsWith(kByteOrderMark) ? 3 : 0;
    const LineExtent extent = scanLine(raw, text);
    return raw.size() == text || (extent.contentEnd < raw.size() && extent.next == raw.size());
}

bool isBlankLine(QByteArrayView raw, bool firstLine) {
    return trimmed(firstLine && raw.startsWith(kByteOrderMark) ? raw.sliced(3) : raw).isEmpty();
}

LineParts parseLine(QByteArrayView data, qsizetype begin, qsizetype from) {
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

}  // namespace trovix::ini
