#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace trovix::store {

class RecordArray;
class TextArena;

// The case-folded forms of a RecordArray's elements, for searches that ignore case. For most texts
// folding the case only lowers the ASCII letters (every other character, such as "é", is already
// its folded form), which a search does as it compares; only the other elements have a folded copy
// here, in array order.
class FoldedRecords {
  public:
    ~FoldedRecords();
    // Whether the element folds by lowering its ASCII letters and has no copy here.
    bool isAscii(qsizetype index) const {
        return (ascii_[static_cast<std::size_t>(index) / 64] >> (index % 64)) & 1u;
    }
    // Entries k are the other elements, by ascending element index.
    std::size_t count() const { return index_.size(); }
    std::size_t firstAtOrAfter(qsizetype index) const;
    qsizetype indexAt(std::size_t k) const { return index_[k]; }
    std::string_view textAt(std::size_t k) const { return text_[k]; }

  private:
    friend class RecordArray;
    static std::unique_ptr<FoldedRecords> build(const RecordArray& records);
    void setAscii(std::size_t index, bool ascii);
    // Keeps an element's entry in step with its new text.
    void update(std::size_t index, std::string_view utf8);
    std::size_t arenaBytes() const;

    std::vector<std::uint64_t> ascii_;  // a bit per element
    std::vector<qint32> index_;
    std::vector<std::string_view> text_;
    QByteArray storage_;                // the folded texts made at once
    std::unique_ptr<TextArena> arena_;  // those of later changes
};

}  // namespace trovix::store
