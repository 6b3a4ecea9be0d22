#include "records/record_order.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "platform/parallel_work.h"
#include "store/text_codec.h"

namespace trovix::records {
namespace {

// Counts of marked positions, with prefix sums in O(log n): a bit a position, and sums over
// words of 64 bits, so that even ten million positions keep to about 2 MB and stay in the cache.
class PositionCounts {
  public:
    explicit PositionCounts(std::size_t n) : bits_(n / 64 + 1, 0), tree_(n / 64 + 2, 0) {}
    void mark(std::size_t position) {
        bits_[position / 64] |= std::uint64_t{1} << (position % 64);
        for (std::size_t i = position / 64 + 1; i < tree_.size(); i += i & (~i + 1)) {
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
        for (std::size_t i = end / 64; i > 0; i -= i & (~i + 1)) {
            sum += tree_[i];
        }
        const std::uint64_t partial = bits_[end / 64] & ((std::uint64_t{1} << (end % 64)) - 1);
        return sum + static_cast<std::uint32_t>(std::popcount(partial));
    }
    std::vector<std::uint64_t> bits_;
    std::vector<std::uint32_t> tree_;  // sums over the words, as a Fenwick tree from 1
};

struct Item {
    store::LoweredPrefix prefix;
    qint32 index;
};

// Sorts `items` by `less`, a strict total order, so the result is the one std::sort gives. A
// large array is sorted in parts at once, each on a thread of its own, and the sorted parts are
// then merged in pairs, the pairs of one round at once.
template <typename Less>
void sortInParts(std::vector<Item>& items, Less less) {
    constexpr std::size_t kLeastPerPart = 50000;
    const std::size_t parts = platform::partsFor(items.size(), kLeastPerPart);
    std::vector<platform::PartRange> ranges(parts);
    for (std::size_t part = 0; part < parts; ++part) {
        ranges[part] = platform::partOf(items.size(), part, parts);
    }
    const auto at = [&](std::size_t i) { return items.begin() + static_cast<std::ptrdiff_t>(i); };
    platform::forEachPart(parts, [&](std::size_t part) {
        std::sort(at(ranges[part].begin), at(ranges[part].end), less);
    });
    while (ranges.size() > 1) {
        const std::size_t pairs = ranges.size() / 2;
        platform::forEachPart(pairs, [&](std::size_t pair) {
            const platform::PartRange& left = ranges[2 * pair];
            const platform::PartRange& right = ranges[2 * pair + 1];
            std::inplace_merge(at(left.begin), at(left.end), at(right.end), less);
        });
        std::vector<platform::PartRange> merged;
        for (std::size_t pair = 0; pair < pairs; ++pair) {
            merged.push_back({ranges[2 * pair].begin, ranges[2 * pair + 1].end});
        }
        if (ranges.size() % 2 == 1) {
            merged.push_back(ranges.back());
        }
        ranges = std::move(merged);
    }
}

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
    sortInParts(items, [&](const Item& a, const Item& b) {
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
