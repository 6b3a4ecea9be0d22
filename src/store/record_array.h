#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/folded_records.h"

namespace trovix::store {

class TextArena;

// The records of one data file, one element per record, each held as UTF-8 text. The lines of
// a record are joined by the record-line marker "-----".
//
// A loaded file keeps its bytes in one buffer and every element points into it, so loading
// copies no record. Texts written later go to a separate append-only arena, so replacing one
// element costs the length of that element, never the size of the file.
//
// An element costs eight bytes: a file of short lines holds hundreds of millions of them.
class RecordArray {
  public:
    // An element: `at` below kArenaBase is an offset into the loaded buffer; from kArenaBase on
    // it numbers a text in the arena.
    struct Span {
        std::uint32_t at;
        std::uint32_t size;
    };
    // The loaded buffer must be smaller than this.
    static constexpr std::uint32_t kArenaBase = 0xC0000000u;

    RecordArray();
    ~RecordArray();
    RecordArray(const RecordArray& other);
    RecordArray& operator=(const RecordArray& other);
    RecordArray(RecordArray&& other) noexcept;
    RecordArray& operator=(RecordArray&& other) noexcept;

    // Takes over a buffer (smaller than kArenaBase) and the elements found in it, given as
    // offsets into it.
    static RecordArray adopt(QByteArray storage, std::vector<Span> spans);
    static RecordArray fromStrings(const QStringList& elements);
    // A copy that shares nothing another thread could see change: the loaded buffer, which
    // never changes, is shared; the texts written since are copied. Costs the element table
    // and the changed texts, never the file.
    RecordArray detached() const;

    qsizetype size() const { return static_cast<qsizetype>(spans_.read().size()); }
    bool isEmpty() const { return spans_.read().empty(); }
    bool contains(qsizetype index) const { return index >= 0 && index < size(); }

    std::string_view utf8(qsizetype index) const {
        return view(spans_.read()[static_cast<std::size_t>(index)]);
    }
    QString text(qsizetype index) const;
    QStringList toStringList() const;

    void set(qsizetype index, std::string_view utf8);
    void set(qsizetype index, const QString& text);
    void append(std::string_view utf8);
    void append(const QString& text);
    void swap(qsizetype a, qsizetype b);
    // Puts the elements in a new order: element k of the result is element order[k] before.
    void permute(const std::vector<qint32>& order);
    // Puts back the order that permute(order) changed.
    void unpermute(const std::vector<qint32>& order);
    void clear();
    // Drops the elements from `count` on.
    void truncate(qsizetype count);
    // Drops the elements at these indices, given in ascending order.
    void removeAt(const std::vector<qint32>& indices);
    // Puts elements in among the others: afterwards element indices[k] holds texts[k]. The
    // indices are ascending and count in the array as it is afterwards.
    void insertAt(const std::vector<qint32>& indices, const std::vector<std::string>& texts);
    // About the memory the elements hold: the loaded buffer, the arena and the element table.
    std::size_t memoryBytes() const;
    // A number that changes with every change of the elements, their order or their count, and
    // that no other array ever has: a result worked out from the elements holds while it stays.
    std::uint64_t changeStamp() const { return changeStamp_; }

    // What a search that ignores case compares: made on first use and kept in step with every
    // later change, so the records are never folded twice.
    const FoldedRecords& caseFolding() const;
    // The case-folded form of one element.
    QString foldedText(qsizetype index) const;

  private:
    // The element table, shared by copies until one of them changes it: a copy kept of a whole
    // file's records (for undo, or as what a merge compares with) costs nothing until then.
    class SpanTable {
      public:
        SpanTable() : table_(std::make_shared<std::vector<Span>>()) {}
        explicit SpanTable(std::vector<Span> spans)
            : table_(std::make_shared<std::vector<Span>>(std::move(spans))) {}
        const std::vector<Span>& read() const { return *table_; }
        // The table to change: this array's own, copied first while another shares it.
        std::vector<Span>& write() {
            if (table_.use_count() > 1) {
                table_ = std::make_shared<std::vector<Span>>(*table_);
            }
            return *table_;
        }

      private:
        std::shared_ptr<std::vector<Span>> table_;
    };

    std::string_view view(const Span& s) const {
        return {s.at < kArenaBase ? storage_.constData() + s.at : arenaText(s.at - kArenaBase),
                s.size};
    }
    const char* arenaText(std::uint32_t number) const;
    Span store(std::string_view utf8);
    static bool inStorage(const Span& s) { return s.at < kArenaBase; }
    // Forgets an element's text before the element takes another.
    void release(const Span& s);
    void collectGarbage();
    // Marks the elements changed: they take a change stamp never given out before.
    void touch();

    QByteArray storage_;  // read only: taking a non-const pointer would move the elements
    std::shared_ptr<TextArena> arena_;
    SpanTable spans_;
    std::size_t arenaLive_ = 0;   // bytes of arena texts that elements still point to
    std::size_t arenaCount_ = 0;  // elements that point into the arena
    mutable std::unique_ptr<FoldedRecords> folded_;
    std::uint64_t changeStamp_ = 0;
};

}  // namespace trovix::store
