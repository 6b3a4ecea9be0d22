#include "store/folded_records.h"

#include <algorithm>

#include "platform/parallel_work.h"
#include "store/record_array.h"
#include "store/text_arena.h"
#include "store/text_codec.h"

namespace trovix::store {

FoldedRecords::~FoldedRecords() = default;

std::unique_ptr<FoldedRecords> FoldedRecords::build(const RecordArray& records) {
    auto f = std::make_unique<FoldedRecords>();
    const auto n = static_cast<std::size_t>(records.size());
    f->ascii_.assign((n + 63) / 64, 0);
    // Which elements are pure ASCII, a word of 64 at a time; large arrays in parts at once,
    // each on its own words.
    constexpr std::size_t kLeastPerPart = 25000;
    const std::size_t words = f->ascii_.size();
    const std::size_t parts = platform::partsFor(n, kLeastPerPart);
    platform::forEachPart(parts, [&](std::size_t part) {
        const platform::PartRange range = platform::partOf(words, part, parts);
        for (std::size_t w = range.begin; w < range.end; ++w) {
            std::uint64_t bits = 0;
            const std::size_t end = std::min(n, (w + 1) * 64);
            for (std::size_t i = w * 64; i < end; ++i) {
                bits |= std::uint64_t{foldsByLoweringAscii(records.utf8(static_cast<qsizetype>(i)))}
                        << (i % 64);
            }
            f->ascii_[w] = bits;
        }
    });
    // The others are folded into one buffer.
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!f->isAscii(static_cast<qsizetype>(i))) {
            f->index_.push_back(static_cast<qint32>(i));
            bytes += records.utf8(static_cast<qsizetype>(i)).size();
        }
    }
    f->storage_ = QByteArray(static_cast<qsizetype>(foldedSizeBound(bytes)), Qt::Uninitialized);
    char* out = f->storage_.data();
    f->text_.reserve(f->index_.size());
    for (const qint32 i : f->index_) {
        char* end = foldCaseTo(records.utf8(i), out);
        f->text_.emplace_back(out, static_cast<std::size_t>(end - out));
        out = end;
    }
    f->arena_ = std::make_unique<TextArena>();
    return f;
}

std::size_t FoldedRecords::firstAtOrAfter(qsizetype index) const {
    return static_cast<std::size_t>(std::lower_bound(index_.begin(), index_.end(), index) -
                                    index_.begin());
}

void FoldedRecords::setAscii(std::size_t index, bool ascii) {
    const std::uint64_t bit = std::uint64_t{1} << (index % 64);
    ascii_[index / 64] = ascii ? (ascii_[index / 64] | bit) : (ascii_[index / 64] & ~bit);
}

void FoldedRecords::update(std::size_t index, std::string_view utf8) {
    const bool ascii = foldsByLoweringAscii(utf8);
    setAscii(index, ascii);
    const std::size_t k = firstAtOrAfter(static_cast<qsizetype>(index));
    const bool listed = k < index_.size() && static_cast<std::size_t>(index_[k]) == index;
    if (ascii) {
        if (listed) {
            index_.erase(index_.begin() + static_cast<std::ptrdiff_t>(k));
            text_.erase(text_.begin() + static_cast<std::ptrdiff_t>(k));
        }
        return;
    }
    std::string folded;
    appendCaseFolded(utf8, folded);
    const std::string_view span{arena_->keep(folded), folded.size()};
    if (listed) {
        text_[k] = span;
    } else {
        index_.insert(index_.begin() + static_cast<std::ptrdiff_t>(k), static_cast<qint32>(index));
        text_.insert(text_.begin() + static_cast<std::ptrdiff_t>(k), span);
    }
}

std::size_t FoldedRecords::arenaBytes() const {
    return arena_->used();
}

}  // namespace trovix::store
