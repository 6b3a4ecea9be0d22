#pragma once

#include <QByteArrayView>

// The lines of an INI file as QSettings reads them: where each ends, what kind it is, and the
// section name or key it holds. A backslash escapes the next byte, which continues the line when
// it is a line end; a semicolon outside quotes starts a comment.
namespace trovix::ini {

inline constexpr char kByteOrderMark[] = "\xef\xbb\xbf";

enum class LineKind : quint8 { Other, Header, Entry };

// Where a line ends.
struct LineExtent {
    qsizetype text = 0;        // the first byte that is not a blank
    bool comment = false;      // the whole line is a comment
    qsizetype commentAt = -1;  // where a comment after the text starts
    qsizetype contentEnd = 0;  // where the line end starts
    qsizetype next = 0;        // where the next line starts
};

LineExtent scanLine(QByteArrayView data, qsizetype from);

// A line as read: what it is, and its section name or key.
struct LineParts {
    qsizetype next = 0;  // where the next line starts
    LineKind kind = LineKind::Other;
    QByteArrayView name;       // a header's section name or an entry's key, as written
    qsizetype valueBegin = 0;  // an entry's value, from the line's start
    qsizetype valueEnd = 0;
};

// The line whose text starts at `from` (past a byte order mark) and that starts at `begin`.
LineParts parseLine(QByteArrayView data, qsizetype begin, qsizetype from);

// Where the text of the line that starts at `begin` starts: a byte order mark is part of the
// first line's bytes but not of its text.
inline qsizetype textStart(QByteArrayView data, qsizetype begin) {
    return begin == 0 && data.startsWith(kByteOrderMark) ? 3 : begin;
}

// The section name of a header line, or the key of an entry line, whose text starts at or after
// `from`, as written.
QByteArrayView writtenName(QByteArrayView data, qsizetype from, bool header);

// Whether `raw` is one whole line with its line end, so that what follows starts a new line.
// A last line may end in a backslash or a continued line end without one. The first line of a
// file may start with a byte order mark, and a file of that alone has no line to end.
bool endsALine(QByteArrayView raw, bool firstLine);

// Whether a line holds nothing but blanks (after the byte order mark of a first line).
bool isBlankLine(QByteArrayView raw, bool firstLine);

// Whether a double quote is open at `end` of a line, as scanLine() counts them.
bool quoteOpenAt(QByteArrayView line, qsizetype end);

}  // namespace trovix::ini
