#include "records/record_order.h"

#include <algorithm>
#include <cstdint>

#include "platform/parallel_work.h"
#include "store/text_codec.h"

namespace trovix::records {
namespace {

// Counts of marked positions, with prefix sums in O(log n).
class PositionCounts {
  public:
    explicit PositionCounts(std::size_t n) : tree_(n + 1, 0) {}
    void mark(std::size_t position) {
        for (std::size_t i = position + 1; i < tree_.size(); i += i & (~i + 1)) {
            ++tree_[i];
        }
    }
    // Marked positions in [from, to).
    std::uint32_t between(std::size_t from, std::size_t to) const {
        return to > from ? below(to) - below(from) : 0;
    }

  private:
    std::uint32_t below(std::size_t end) const {
        std::uint32_t sum = 0;
        for (std::size_t i = end; i > 0; i -= i & (~i + 1)) {
            sum += tree_[i];
        }
        return sum;
    }
    std::vector<std::uint32_t> tree_;
};

struct Item {
    store::LoweredPrefix prefix;
    qint32 index;
};

}  // namespace

// Why the counts decide a group's order. Take the elements whose lower-case form is k or
// smaller, in array order: the exchanges among them happen as if the others were not there,
// and while smaller ones remain, each pass takes the smallest out. When a pass starts at an
// element of form k, that element moves to the place of the first smaller element after it;
// the group's elements that stand first thus turn round, one place per smaller element, and
// each element of the group met afterwards joins them at the end. The group leaves in the order
// it is in when the last smaller element has gone.
std::vector<qint32> exchangeSortOrder(const store::RecordArray& records) {
    const auto n = static_cast<std::size_t>(records.size());
    std::vector<Item> items(n);
    // Each part of a large array takes its prefixes on a thread of its own.
    constexpr std::size_t kLeastPerPart = 50000;
    const std::size_t parts = platform::partsFor(n, kLeastPerPart);
    platform::forEachPart(parts, [&](std::size_t part) {
        const platform::PartRange range = platform::partOf(n, part, parts);
        for (std::size_t i = range.begin; i < range.end; ++i) {
            items[i] = {store::loweredPrefix(records.utf8(static_cast<qsizetype>(i))),
                        static_cast<qint32>(i)};
        }
    });
    const auto compareForms = [&](const Item& a, const Item& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix ? -1 : 1;
        }
        return store::compareLowered(records.utf8(a.index), records.utf8(b.index));
    };
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        const int c = compareForms(a, b);
        return c != 0 ? c < 0 : a.index < b.index;
    });

    std::vector<qint32> order;
    order.reserve(n);
    PositionCounts smaller(n);
    std::vector<qint32> turning;
    for (std::size_t begin = 0; begin < n;) {
        std::size_t end = begin + 1;
        bool textsDiffer = false;
        const std::string_view first = records.utf8(items[begin].index);
        while (end < n && compareForms(items[begin], items[end]) == 0) {
            textsDiffer = textsDiffer || records.utf8(items[end].index) != first;
            ++end;
        }
        if (!textsDiffer) {
            // Equal texts: any order of them is the same array.
            for (std::size_t k = begin; k < end; ++k) {
                order.push_back(items[k].index);
            }
        } else {
            turning.assign(1, items[begin].index);
            for (std::size_t k = begin; k < end; ++k) {
                const auto at = static_cast<std::size_t>(items[k].index);
                const std::size_t next =
                    k + 1 < end ? static_cast<std::size_t>(items[k + 1].index) : n;
                const auto turns =
                    static_cast<std::ptrdiff_t>(smaller.between(at + 1, next) % turning.size());
                std::rotate(turning.begin(), turning.begin() + turns, turning.end());
                if (k + 1 < end) {
                    turning.push_back(items[k + 1].index);
                }
            }
            order.insert(order.end(), turning.begin(), turning.end());
        }
        for (std::size_t k = begin; k < end; ++k) {
            smaller.mark(static_cast<std::size_t>(items[k].index));
        }
        begin = end;
    }
    return order;
}

qint64 exchangeSortMemory(qsizetype records) {
    // The items, the order, the counts of smaller elements and the permuted elements.
    constexpr auto kPerRecord = static_cast<qint64>(
        sizeof(Item) + sizeof(qint32) + sizeof(std::uint32_t) + sizeof(store::RecordArray::Span));
    return static_cast<qint64>(records) * kPerRecord;
}

}  // namespace trovix::records
