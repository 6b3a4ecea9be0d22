#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace trovix::platform {

// The INI dialect of Qt's QSettings, which earlier versions of Trovix wrote its settings in.
//
// A value is read as QSettings reads it: blanks around it are dropped, double quotes group text,
// backslash escapes (\n, \", \\, \xHHHH, octal \0, a backslash at the end of a line) are
// decoded, and unquoted commas split it into a list, returned here as its items joined by ", ".
// `@@text` stands for `@text`; `@String(...)`, `@ByteArray(...)` and `@Variant(...)` read as
// the text they hold, when they hold text. Bytes that are not valid UTF-8 are read as Latin-1.
std::optional<QString> decodeIniValue(QByteArrayView raw);
// The right-hand side of `key=` that reads back as `text`, here and in QSettings alike.
QByteArray encodeIniValue(const QString& text);
// Keys and section names: %XX and %UXXXX stand for characters, a backslash for '/'.
QString decodeIniKey(QByteArrayView raw);
QByteArray encodeIniKey(const QString& key);

// An INI file kept as the bytes of its lines. Reading and writing go by section and key; a line
// no one sets is written back exactly as it was read, whatever its encoding, spacing, quoting or
// comments. The section "" is the one QSettings calls [General], and holds the keys above the
// first section header too.
class IniDocument {
  public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray& bytes);

    QByteArray bytes() const;

    // The last line of a key counts, as in QSettings; a section may appear more than once.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Rewrites only the value part of the key's line, and only when the text changes. A new key
    // goes after the last key of its section; a new section goes at the end.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Takes out every block of the section; returns whether it held any key.
    bool removeSection(const QString& section);
    bool hasKeys(const QString& section) const;

  private:
    enum class LineKind { Other, Header, Entry };
    struct Line {
        QByteArray raw;  // the line's bytes with its line end; continued lines make one line
        LineKind kind = LineKind::Other;
        int block = -1;            // which section header the line is under; -1 above the first one
        QString section;           // the section the line belongs to
        QString key;               // an entry's key
        qsizetype valueBegin = 0;  // the bytes of an entry's value within `raw`
        qsizetype valueEnd = 0;
    };

    void parse(const QByteArray& bytes);
    qsizetype lastEntry(const QString& section, const QString& key) const;
    void ensureLastLineEnds();

    std::vector<Line> lines_;
    QByteArray lineEnd_ = "\n";  // the file's own, for new lines
    int blocks_ = 0;
};

}  // namespace trovix::platform
