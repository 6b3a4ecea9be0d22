#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace trovix::ini {

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
//
// Reading takes time in proportion to the file's size, whatever its content; looking a key up
// and setting it take about the same time however large the file is.
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
    // Every section and key that holds a value, sorted.
    std::vector<std::pair<QString, QString>> keys() const;

  private:
    enum class LineKind : quint8 { Other, Header, Entry };
    // Lines are kept in the order they were read or added and chained in the file's order, so
    // that adding a line moves no other.
    struct Line {
        qsizetype begin = 0;       // the line's bytes in source_, with its line end; continued
        qsizetype size = 0;        // lines make one line
        qsizetype valueBegin = 0;  // an entry's value, from the line's start
        qsizetype valueEnd = 0;
        qsizetype next = -1;    // the line after it in the file
        qint32 rewritten = -1;  // its bytes in rewritten_ once they were set here
        qint32 section = -1;    // in sections_
        qint32 block = -1;      // which section header the line is under; -1 above the first
        LineKind kind = LineKind::Other;
    };
    struct Section {
        QString name;
        qsizetype lastHeader = -1;
        qsizetype lastEntry = -1;
    };
    struct EntryKey {
        qint32 section;
        QString key;
        friend bool operator==(const EntryKey&, const EntryKey&) = default;
        friend size_t qHash(const EntryKey& entry, size_t seed = 0) {
            return qHashMulti(seed, entry.section, entry.key);
        }
    };

    void parse();
    qint32 sectionId(const QString& name);
    qint32 findSection(const QString& name) const;  // -1 when there is none
    qsizetype lastEntry(const QString& section, const QString& key) const;
    QByteArrayView rawOf(const Line& line) const;
    std::optional<QString> valueOf(const Line& line) const;
    void rewrite(qsizetype index, const QByteArray& raw);
    void replaceValue(qsizetype index, const QString& value);
    qsizetype addLine(Line line, const QByteArray& raw, qsizetype after);
    void ensureLastLineEnds();

    QByteArray source_;  // the bytes read
    std::vector<Line> lines_;
    std::vector<QByteArray> rewritten_;
    std::vector<Section> sections_;
    QHash<QString, qint32> sectionIds_;
    QHash<EntryKey, qsizetype> entries_;  // each key's last line
    qsizetype first_ = -1;                // the first and the last line in the file's order
    qsizetype last_ = -1;
    QByteArray lineEnd_ = "\n";  // the file's own, for new lines
    int blocks_ = 0;
};

}  // namespace trovix::ini
