#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace trovix::store {

class TextArena;

// The records of one data file, one element per record, each held as UTF-8 text. The lines of
// a record are joined by the record-line marker "-----".
//
// A loaded file keeps its bytes in one buffer and every element points into it, so loading
// copies no record. Texts written later go to a separate append-only arena, so replacing one
// element costs the length of that element, never the size of the file.
class RecordArray {
  public:
    struct Span {
        const char* data;
        std::uint32_t size;
    };

    RecordArray();
    ~RecordArray();
    RecordArray(const RecordArray& other);
    RecordArray& operator=(const RecordArray& other);
    RecordArray(RecordArray&& other) noexcept;
    RecordArray& operator=(RecordArray&& other) noexcept;

    // Takes over a buffer and the elements found in it; the spans point into the buffer.
    static RecordArray adopt(QByteArray storage, std::vector<Span> spans);
    static RecordArray fromStrings(const QStringList& elements);

    qsizetype size() const { return static_cast<qsizetype>(spans_.size()); }
    bool isEmpty() const { return spans_.empty(); }
    bool contains(qsizetype index) const { return index >= 0 && index < size(); }

    std::string_view utf8(qsizetype index) const {
        const Span& s = spans_[static_cast<std::size_t>(index)];
        return {s.data, s.size};
    }
    QString text(qsizetype index) const;
    QStringList toStringList() const;

    void set(qsizetype index, std::string_view utf8);
    void set(qsizetype index, const QString& text);
    void append(std::string_view utf8);
    void append(const QString& text);
    void swap(qsizetype a, qsizetype b);
    void clear();

    // The case-folded copy of every element, made on first use and kept in step with every
    // later change, so a search that ignores case never folds the whole file twice.
    const RecordArray& folded() const;

    // Keeps the elements for which keep(text) is true, in their order.
    template <typename Pred>
    void keepIf(Pred keep) {
        folded_.reset();
        std::size_t out = 0;
        for (const Span& s : spans_) {
            if (keep(std::string_view(s.data, s.size))) {
                spans_[out++] = s;
            }
        }
        spans_.resize(out);
    }

  private:
    Span store(std::string_view utf8);
    bool inStorage(const Span& s) const;
    void collectGarbage();

    QByteArray storage_;  // read only: taking a non-const pointer would move the elements
    std::shared_ptr<TextArena> arena_;
    std::vector<Span> spans_;
    std::size_t arenaLive_ = 0;  // bytes of arena texts that elements still point to
    mutable std::unique_ptr<RecordArray> folded_;
};

}  // namespace trovix::store
