#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <map>
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
    enum class LineKind : quint8 { Other, Header, Entry };
    // A line is named by where it starts in source_; a line added here by source_'s size plus
    // its place in edits_. -1 names none.
    using LineRef = qsizetype;
    static constexpr LineRef kNoLine = -1;

    // A whole number kept in 16-bit parts, so that records of them leave no gaps: 48 bits name
    // any line of a file of up to 256 TiB. All ones stands for -1.
    template <unsigned Parts>
    class Packed {
      public:
        Packed(qint64 value = -1) {  // converts as the number it holds
            auto bits = static_cast<quint64>(value);
            for (quint16& part : parts_) {
                part = static_cast<quint16>(bits);
                bits >>= 16;
            }
        }
        qint64 get() const {
            quint64 bits = 0;
            for (unsigned i = Parts; i > 0; --i) {
                bits = bits << 16 | parts_[i - 1];
            }
            return bits == kAllOnes ? -1 : static_cast<qint64>(bits);
        }

      private:
        static constexpr quint64 kAllOnes = (quint64{1} << (16U * Parts)) - 1;
        quint16 parts_[Parts];
    };
    struct Section {
        Packed<3> lastHeader;  // its name is in any of its headers; section 0, "", may have none
        Packed<3> lastEntry;
    };
    struct Entry {
        Packed<3> line;  // the key's last line
        Packed<2> section;
    };
    // Records kept in blocks of a fixed size, so that adding one never moves the others: the
    // memory of a document grows a block at a time, never holding two copies of its records.
    template <typename T>
    class Blocks {
      public:
        std::size_t size() const { return size_; }
        T& operator[](std::size_t i) { return blocks_[i / kBlock][i % kBlock]; }
        const T& operator[](std::size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
        void push_back(const T& record) {
            if (size_ % kBlock == 0) {
                blocks_.emplace_back();
            }
            blocks_.back().push_back(record);
            ++size_;
        }

      private:
        static constexpr std::size_t kBlock = 8192;
        std::vector<std::vector<T>> blocks_;
        std::size_t size_ = 0;
    };
    // An open-addressing table of the numbers of sections or entries, which are compared and
    // hashed through their lines. It holds 4 bytes a slot: the number, and in the bits the
    // number leaves free, some bits of its hash, which spare looking at most lines that do not
    // match.
    class IdTable {
      public:
        explicit IdTable(quint32 firstId) : firstId_(firstId) {}
        template <typename Matches>
        qint64 find(quint64 hash, Matches&& matches) const;  // -1 when none matches
        // The number that matches, or else `id`, added. Numbers are added in order: the table
        // holds firstId and those after it.
        template <typename Matches, typename HashOf>
        quint32 findOrAdd(quint64 hash, Matches&& matches, quint32 id, HashOf&& hashOf);

      private:
        struct Probe {
            std::size_t free = 0;  // the slot where the probe ended
            qint64 found = -1;
        };
        template <typename Matches>
        Probe probe(quint64 hash, Matches&& matches) const;
        quint32 tagOf(quint64 hash) const;
        quint32 slotOf(quint64 hash, quint32 id) const;
        void place(quint64 hash, quint32 id);
        std::vector<quint32> slots_;  // 0 when free
        unsigned idBits_ = 0;         // log2 of the number of slots
        quint32 firstId_;
        quint32 count_ = 0;
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
    // A line of the file as read: what it is, and its section name or key.
    struct LineParts {
        qsizetype next = 0;  // where the next line starts
        LineKind kind = LineKind::Other;
        QByteArrayView name;       // a header's section name or an entry's key, as written
        qsizetype valueBegin = 0;  // an entry's value
        qsizetype valueEnd = 0;
    };
    struct LineView {
        QByteArrayView raw;
        LineKind kind = LineKind::Other;
        qsizetype valueBegin = 0;
        qsizetype valueEnd = 0;
    };
    class Name;

    // The line whose text starts at `from` (past a byte order mark) and that starts at `begin`.
    static LineParts parseLine(QByteArrayView data, qsizetype begin, qsizetype from);
    static quint64 entryHash(qint64 section, const Name& key);
    void parse();
    qint32 findSection(const Name& name) const;  // -1 when there is none
    qint32 findSection(const QString& name) const;
    qint32 findOrAddSection(LineRef header, const Name& name);
    Name sectionName(qint64 section) const;
    qint64 findEntry(qint64 section, const Name& key) const;       // -1 when there is none
    void setEntry(qint32 section, const Name& key, LineRef line);  // adds it when new
    Name keyOf(LineRef line) const;
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
