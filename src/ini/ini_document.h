#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "ini/id_table.h"
#include "ini/ini_lines.h"
#include "ini/packed_records.h"

namespace trovix::ini {

class IniName;

// An INI file kept as the bytes of its lines. Reading and writing go by section and key; a line
// no one sets is written back exactly as it was read, whatever its encoding, spacing, quoting or
// comments. The section "" is the one QSettings calls [General], and holds the keys above the
// first section header too.
//
// Reading takes time in proportion to the file's size, whatever its content; looking a key up
// and setting it take about the same time however large the file is. The file's bytes are kept
// once, as read; besides them a document holds a few bytes for each section and each key, and
// the lines set or added here, but nothing for a line of any other kind: a file of millions of
// lines takes little more memory than its size.
class IniDocument {
  public:
    IniDocument();
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
    // A line is named by where it starts in source_; a line added here by source_'s size plus
    // its place in edits_. -1 names none.
    using LineRef = qsizetype;
    static constexpr LineRef kNoLine = -1;

    struct Section {
        Packed<3> lastHeader;  // its name is in any of its headers; section 0, "", may have none
        Packed<3> lastEntry;
    };
    struct Entry {
        Packed<3> line;  // the key's last line
        Packed<2> section;
    };
    // A line set or added here. An added line keeps where it belongs, for removeSection().
    struct Edit {
        QByteArray raw;
        qsizetype valueBegin = 0;  // an entry's value, from the line's start
        qsizetype valueEnd = 0;
        qint32 next = -1;  // the added line after it, in edits_
        LineKind kind = LineKind::Other;
        bool underHeader = false;  // below the file's first section header
        qint32 section = -1;
    };
    // What was done at a line read from the file.
    struct Patch {
        qint32 rewritten = -1;  // its bytes now, in edits_
        qint32 added = -1;      // the first line added after it, in edits_
    };
    struct LineView {
        QByteArrayView raw;
        LineKind kind = LineKind::Other;
        qsizetype valueBegin = 0;
        qsizetype valueEnd = 0;
    };

    static quint64 entryHash(qint64 section, const IniName& key);
    void parse();
    qint32 findSection(const IniName& name) const;  // -1 when there is none
    qint32 findSection(const QString& name) const;
    qint32 findOrAddSection(LineRef header, const IniName& name);
    IniName sectionName(qint64 section) const;
    qint64 findEntry(qint64 section, const IniName& key) const;       // -1 when there is none
    void setEntry(qint32 section, const IniName& key, LineRef line);  // adds it when new
    IniName keyOf(LineRef line) const;
    LineRef lastEntry(const QString& section, const QString& key) const;
    qsizetype lineEnd(LineRef line) const;  // of a line read from the file
    LineView lineAt(LineRef line) const;
    bool underHeader(LineRef line) const;
    qint32 sectionOfLast() const;
    std::optional<QString> valueOf(LineRef line) const;
    void rewrite(LineRef line, const QByteArray& raw, qsizetype valueBegin, qsizetype valueEnd);
    void replaceValue(LineRef line, const QString& value);
    LineRef addLine(Edit line, LineRef after);
    void ensureLastLineEnds();
    // Calls visit(raw, kind, section, underHeader, isLast) for every line in the file's order.
    template <typename Visit>
    void forEachLine(Visit&& visit) const;
    std::vector<QByteArrayView> pieces() const;  // the document's bytes, in order

    QByteArray source_;  // the bytes read
    Blocks<Section> sections_;
    Blocks<Entry> entries_;
    IdTable sectionIds_{1};  // every section but 0, by name
    IdTable entryIds_{0};    // every entry, by section and key
    std::vector<Edit> edits_;
    std::map<LineRef, Patch> patches_;  // by the line read from the file
    qint32 firstAdded_ = -1;            // a line added to a document without lines
    LineRef firstHeader_ = kNoLine;     // of the file read
    qint32 endSection_ = 0;             // the section of the file's last line read
    LineRef last_ = kNoLine;            // the last line in the file's order
    QByteArray lineEnd_ = "\n";         // the file's own, for new lines
};

}  // namespace trovix::ini
