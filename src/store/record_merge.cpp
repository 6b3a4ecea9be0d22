#include "store/record_merge.h"

#include <QHashFunctions>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "platform/parallel_work.h"

namespace trovix::store {

namespace {

using Index = qint32;
constexpr Index kNone = -1;

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           (a.empty() || a.data() == b.data() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

// The records of one array and a hash of each text, for the stretch that needs them. Equal
// hashes only suggest equal texts: every pairing compares the bytes as well, so that two
// different records are never taken for one.
struct HashedRecords {
    explicit HashedRecords(const RecordArray& r)
        : records(r), hashes(static_cast<std::size_t>(r.size())) {}
    Index size() const { return static_cast<Index>(records.size()); }
    std::string_view at(Index i) const { return records.utf8(i); }
    std::uint64_t hash(Index i) const { return hashes[static_cast<std::size_t>(i)]; }

    const RecordArray& records;
    std::vector<std::uint64_t> hashes;
};

// Hashes the records [from, to), on every thread when they are many.
void hashRecords(HashedRecords& r, Index from, Index to) {
    constexpr std::size_t kSeed = 0x7d1e5c3a9b2f4e61u;
    const auto count = static_cast<std::size_t>(std::max(to - from, 0));
    const std::size_t parts = platform::partsFor(count, 1 << 15);
    platform::forEachPart(parts, [&](std::size_t part) {
        const platform::PartRange range = platform::partOf(count, part, parts);
        for (std::size_t k = range.begin; k < range.end; ++k) {
            const Index i = from + static_cast<Index>(k);
            const std::string_view text = r.at(i);
            r.hashes[static_cast<std::size_t>(i)] = qHashBits(text.data(), text.size(), kSeed);
        }
    });
}

// How many records at the start and at the end of a side equal the base's, without overlap.
struct Ends {
    Index head = 0;
    Index tail = 0;
};

Ends commonEnds(const RecordArray& base, const RecordArray& side) {
    const auto shorter = static_cast<Index>(std::min(base.size(), side.size()));
    Ends ends;
    while (ends.head < shorter && sameText(base.utf8(ends.head), side.utf8(ends.head))) {
        ++ends.head;
    }
    while (ends.tail < shorter - ends.head && sameText(base.utf8(base.size() - 1 - ends.tail),
                                                       side.utf8(side.size() - 1 - ends.tail))) {
        ++ends.tail;
    }
    return ends;
}

// Slot of a hash in an open-addressing table of 2^bits slots.
std::size_t slotOf(std::uint64_t hash, int shift) {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15u) >> shift);
}

// Table size for `count` keys: a power of two at least twice as large, as a shift for slotOf.
int shiftFor(std::size_t count) {
    int bits = 4;
    while ((std::size_t{1} << bits) < 2 * count) {
        ++bits;
    }
    return 64 - bits;
}

// The slot of `hash` in an open-addressing table of 2^(64 - shift) slots: the one that holds
// it, or the free one where it goes.
template <typename Slot, typename IsFree>
Slot& probe(std::vector<Slot>& slots, std::uint64_t hash, int shift, IsFree isFree) {
    const std::size_t mask = slots.size() - 1;
    std::size_t at = slotOf(hash, shift);
    while (!isFree(slots[at]) && slots[at].hash != hash) {
        at = (at + 1) & mask;
    }
    return slots[at];
}

// Where each text of a stretch of the base and of a side stands, while it stands there once.
class Occurrences {
  public:
    explicit Occurrences(std::size_t baseCount)
        : shift_(shiftFor(baseCount)), slots_(std::size_t{1} << (64 - shift_)) {}

    void addBase(std::uint64_t hash, Index b) {
        Slot& s = find(hash);
        s.hash = hash;
        s.base = s.base == kFree ? b : kMany;
    }
    // False when no base record has this hash.
    bool addSide(std::uint64_t hash, Index i) {
        Slot& s = find(hash);
        if (s.base == kFree) {
            return false;
        }
        s.side = s.side == kNone ? i : kMany;
        return true;
    }
    // f(base, side) for every hash seen exactly once on each side.
    template <typename F>
    void forEachUnique(F f) const {
        for (const Slot& s : slots_) {
            if (s.base >= 0 && s.side >= 0) {
                f(s.base, s.side);
            }
        }
    }

  private:
    static constexpr Index kFree = INT_MIN;
    static constexpr Index kMany = -2;
    struct Slot {
        std::uint64_t hash = 0;
        Index base = kFree;
        Index side = kNone;
    };
    Slot& find(std::uint64_t hash) {
        return probe(slots_, hash, shift_, [](const Slot& s) { return s.base == kFree; });
    }
    int shift_;
    std::vector<Slot> slots_;
};

// Records waiting for a partner of equal text, handed out first come first served.
class Waiting {
  public:
    // `indices`: the waiting records of `records`, in the order they are handed out.
    Waiting(const HashedRecords& records, std::vector<Index> indices)
        : records_(records),
          indices_(std::move(indices)),
          next_(indices_.size(), kNone),
          shift_(shiftFor(indices_.size())),
          slots_(std::size_t{1} << (64 - shift_)) {
        // Pushed in front from the last, so each chain runs in order.
        for (std::size_t k = indices_.size(); k-- > 0;) {
            Slot& s = find(records_.hash(indices_[k]));
            s.hash = records_.hash(indices_[k]);
            next_[k] = s.head == kFree ? kNone : s.head;
            s.head = static_cast<Index>(k);
        }
    }
    // The first waiting record whose text is `text`, no longer waiting; or kNone.
    Index take(std::uint64_t hash, std::string_view text) {
        Slot& s = find(hash);
        if (s.head == kFree) {
            return kNone;
        }
        Index previous = kNone;
        for (Index k = s.head; k != kNone; previous = k, k = next_[static_cast<std::size_t>(k)]) {
            if (sameText(records_.at(indices_[static_cast<std::size_t>(k)]), text)) {
                (previous == kNone ? s.head : next_[static_cast<std::size_t>(previous)]) =
                    next_[static_cast<std::size_t>(k)];
                return indices_[static_cast<std::size_t>(k)];
            }
        }
        return kNone;
    }

  private:
    static constexpr Index kFree = INT_MIN;
    struct Slot {
        std::uint64_t hash = 0;
        Index head = kFree;  // kNone once every record of the chain is taken
    };
    Slot& find(std::uint64_t hash) {
        return probe(slots_, hash, shift_, [](const Slot& s) { return s.head == kFree; });
    }
    const HashedRecords& records_;
    std::vector<Index> indices_;
    std::vector<Index> next_;
    int shift_;
    std::vector<Slot> slots_;
};

struct Anchor {
    Index base;
    Index side;
};

// The longest run of anchors (given in side order) whose base records increase as well.
std::vector<Anchor> longestIncreasing(const std::vector<Anchor>& anchors) {
    std::vector<Index> ends;  // ends[n]: the anchor ending the best run of n + 1 seen so far
    std::vector<Index> before(anchors.size(), kNone);
    for (std::size_t k = 0; k < anchors.size(); ++k) {
        const Index b = anchors[k].base;
        // In order is the usual case: the run grows by one.
        auto at = ends.end();
        if (!ends.empty() && anchors[static_cast<std::size_t>(ends.back())].base > b) {
            at = std::lower_bound(ends.begin(), ends.end(), b, [&](Index e, Index value) {
                return anchors[static_cast<std::size_t>(e)].base < value;
            });
        }
        before[k] = at == ends.begin() ? kNone : *(at - 1);
        if (at == ends.end()) {
            ends.push_back(static_cast<Index>(k));
        } else {
            *at = static_cast<Index>(k);
        }
    }
    std::vector<Anchor> run(ends.size());
    Index k = ends.empty() ? kNone : ends.back();
    for (std::size_t n = run.size(); n-- > 0; k = before[static_cast<std::size_t>(k)]) {
        run[n] = anchors[static_cast<std::size_t>(k)];
    }
    return run;
}

// How the records of one side pair with the base records.
struct Alignment {
    std::vector<Index> baseOf;  // for each side record its base record, or kNone: added
    std::vector<Index> sideOf;  // for each base record its side record, or kNone: deleted
    // Some records the side kept unchanged stand in another order than in the base.
    bool reordered = false;
};

// Pairs the records of a side with base records, each with at most one.
class Aligner {
  public:
    Aligner(const HashedRecords& base, const HashedRecords& side) : base_(base), side_(side) {
        a_.sideOf.assign(static_cast<std::size_t>(base.size()), kNone);
        a_.baseOf.assign(static_cast<std::size_t>(side.size()), kNone);
    }

    // Equal records, in the order both give them.
    void pairInOrder(Ends ends) {
        for (Index k = 0; k < ends.head; ++k) {
            pair(k, k);
        }
        for (Index k = 1; k <= ends.tail; ++k) {
            pair(base_.size() - k, side_.size() - k);
        }
        alignRange(ends.head, base_.size() - ends.tail, ends.head, side_.size() - ends.tail, 0);
    }

    // Equal records still unpaired on both sides, wherever they stand: what a sort moved.
    void pairMoved() {
        std::vector<Index> waiting;
        for (Index b = 0; b < base_.size(); ++b) {
            if (sideOf(b) == kNone) {
                waiting.push_back(b);
            }
        }
        if (!waiting.empty()) {
            Waiting unpaired(base_, std::move(waiting));
            for (Index s = 0; s < side_.size(); ++s) {
                if (baseOf(s) == kNone) {
                    const Index b = unpaired.take(side_.hash(s), side_.at(s));
                    if (b != kNone) {
                        pair(b, s);
                    }
                }
            }
        }
        Index last = kNone;
        for (const Index b : a_.baseOf) {
            if (b != kNone) {
                a_.reordered = a_.reordered || b < last;
                last = b;
            }
        }
    }

    // Each run of unpaired side records with the unpaired base records that stand where it
    // stands: the records the side changed. A wrong guess keeps a record more, never fewer.
    void pairChanged() {
        Index last = kNone;  // the base record of the last paired side record
        for (Index s = 0; s < side_.size(); ++s) {
            if (baseOf(s) != kNone) {
                last = baseOf(s);
                continue;
            }
            for (Index b = last + 1; s < side_.size() && baseOf(s) == kNone; ++s, ++b) {
                if (b < base_.size() && sideOf(b) == kNone) {
                    pair(b, s);
                } else {
                    b = base_.size();
                }
            }
            --s;
        }
    }

    Alignment take() { return std::move(a_); }

  private:
    static constexpr int kMaxDepth = 6;
    // Gaps of at most this many base-by-side cells are aligned exactly.
    static constexpr std::int64_t kSmallGap = 4096;
    // Larger gaps without a record unique to both, but with records in common, are aligned
    // exactly while this allowance of cells lasts.
    static constexpr std::int64_t kLargestExact = std::int64_t{1} << 22;

    Index baseOf(Index s) const { return a_.baseOf[static_cast<std::size_t>(s)]; }
    Index sideOf(Index b) const { return a_.sideOf[static_cast<std::size_t>(b)]; }
    void pair(Index b, Index s) {
        a_.sideOf[static_cast<std::size_t>(b)] = s;
        a_.baseOf[static_cast<std::size_t>(s)] = b;
    }
    bool same(Index b, Index s) const {
        return base_.hash(b) == side_.hash(s) && sameText(base_.at(b), side_.at(s));
    }

    // Aligns base records [b0, b1) with side records [s0, s1): the equal ends, then records
    // found once in each as anchors, the longest run of them in order, and the gaps between.
    void alignRange(Index b0, Index b1, Index s0, Index s1, int depth) {
        while (b0 < b1 && s0 < s1 && same(b0, s0)) {
            pair(b0++, s0++);
        }
        while (b0 < b1 && s0 < s1 && same(b1 - 1, s1 - 1)) {
            pair(--b1, --s1);
        }
        if (b0 == b1 || s0 == s1) {
            return;
        }
        const std::int64_t cells = std::int64_t{b1 - b0} * (s1 - s0);
        if (cells <= kSmallGap) {
            alignExactly(b0, b1, s0, s1);
            return;
        }
        if (depth >= kMaxDepth) {
            return;
        }
        bool shared = false;
        const std::vector<Anchor> anchors = uniqueAnchors(b0, b1, s0, s1, shared);
        if (anchors.empty()) {
            // Only repeated records in common, blank ones say.
            if (shared && cells <= std::min(kLargestExact, exactAllowance_)) {
                exactAllowance_ -= cells;
                alignExactly(b0, b1, s0, s1);
            }
            return;
        }
        Index b = b0;
        Index s = s0;
        for (std::size_t k = 0; k < anchors.size(); ++k) {
            Index from = anchors[k].base;
            Index sideFrom = anchors[k].side;
            while (from > b && sideFrom > s && same(from - 1, sideFrom - 1)) {
                --from;
                --sideFrom;
            }
            const Index nextBase = k + 1 < anchors.size() ? anchors[k + 1].base : b1;
            const Index nextSide = k + 1 < anchors.size() ? anchors[k + 1].side : s1;
            Index to = anchors[k].base + 1;
            Index sideTo = anchors[k].side + 1;
            while (to < nextBase && sideTo < nextSide && same(to, sideTo)) {
                ++to;
                ++sideTo;
            }
            alignRange(b, from, s, sideFrom, depth + 1);
            for (Index d = 0; d < to - from; ++d) {
                pair(from + d, sideFrom + d);
            }
            b = to;
            s = sideTo;
        }
        alignRange(b, b1, s, s1, depth + 1);
    }

    // The records of [s0, s1) that equal exactly one base record of [b0, b1) and no other side
    // record there, with that base record, in side order, longest increasing run only.
    std::vector<Anchor> uniqueAnchors(Index b0, Index b1, Index s0, Index s1, bool& shared) {
        Occurrences seen(static_cast<std::size_t>(b1 - b0));
        for (Index b = b0; b < b1; ++b) {
            seen.addBase(base_.hash(b), b);
        }
        for (Index s = s0; s < s1; ++s) {
            shared = seen.addSide(side_.hash(s), s) || shared;
        }
        std::vector<Index> baseFor(static_cast<std::size_t>(s1 - s0), kNone);
        seen.forEachUnique(
            [&](Index b, Index s) { baseFor[static_cast<std::size_t>(s - s0)] = b; });
        std::vector<Anchor> anchors;
        for (Index s = s0; s < s1; ++s) {
            const Index b = baseFor[static_cast<std::size_t>(s - s0)];
            if (b != kNone && sameText(base_.at(b), side_.at(s))) {
                anchors.push_back({b, s});
            }
        }
        return longestIncreasing(anchors);
    }

    // The most equal records of [b0, b1) and [s0, s1) that can pair in order.
    void alignExactly(Index b0, Index b1, Index s0, Index s1) {
        const auto rows = static_cast<std::size_t>(b1 - b0);
        const auto width = static_cast<std::size_t>(s1 - s0) + 1;
        // common[i * width + j]: how many pair among base records from b0 + i and side
        // records from s0 + j.
        std::vector<std::uint32_t> common((rows + 1) * width, 0);
        for (std::size_t i = rows; i-- > 0;) {
            for (std::size_t j = width - 1; j-- > 0;) {
                common[i * width + j] =
                    same(b0 + static_cast<Index>(i), s0 + static_cast<Index>(j))
                        ? common[(i + 1) * width + j + 1] + 1
                        : std::max(common[(i + 1) * width + j], common[i * width + j + 1]);
            }
        }
        std::size_t i = 0;
        std::size_t j = 0;
        while (i < rows && j + 1 < width) {
            const Index b = b0 + static_cast<Index>(i);
            const Index s = s0 + static_cast<Index>(j);
            if (same(b, s)) {
                pair(b, s);
                ++i;
                ++j;
            } else if (common[(i + 1) * width + j] >= common[i * width + j + 1]) {
                ++i;
            } else {
                ++j;
            }
        }
    }

    const HashedRecords& base_;
    const HashedRecords& side_;
    Alignment a_;
    std::int64_t exactAllowance_ = std::int64_t{1} << 24;
};

// Aligns a side with the base, records unchanged in place first, then moved ones, then,
// when there is a base to merge against, changed ones.
Alignment align(const HashedRecords& base, const HashedRecords& side, Ends ends, bool findChanged) {
    Aligner aligner(base, side);
    aligner.pairInOrder(ends);
    aligner.pairMoved();
    if (findChanged) {
        aligner.pairChanged();
    }
    return aligner.take();
}

enum class Fate : std::uint8_t { Kept, Changed, Deleted };

std::vector<Fate> fatesOf(const HashedRecords& base, const HashedRecords& side,
                          const Alignment& a) {
    std::vector<Fate> fates(a.sideOf.size());
    for (std::size_t b = 0; b < fates.size(); ++b) {
        const Index s = a.sideOf[b];
        fates[b] = s == kNone                                             ? Fate::Deleted
                   : sameText(base.at(static_cast<Index>(b)), side.at(s)) ? Fate::Kept
                                                                          : Fate::Changed;
    }
    return fates;
}

// What the merge keeps of one base record: nothing, one text, or mine's and theirs' both.
struct MergedTexts {
    std::string_view texts[2];
    int count = 0;
    bool twice = false;
};

MergedTexts mergeOf(Fate mine, Fate theirs, std::string_view mineText, std::string_view theirText) {
    MergedTexts kept;
    if (mine == Fate::Deleted || theirs == Fate::Deleted) {
        // Gone, unless the other side changed it.
        if (mine == Fate::Changed) {
            kept.texts[kept.count++] = mineText;
        } else if (theirs == Fate::Changed) {
            kept.texts[kept.count++] = theirText;
        }
    } else if (theirs == Fate::Kept || (mine == Fate::Changed && sameText(mineText, theirText))) {
        kept.texts[kept.count++] = mineText;
    } else if (mine == Fate::Kept) {
        kept.texts[kept.count++] = theirText;
    } else {
        kept.texts[kept.count++] = mineText;
        kept.texts[kept.count++] = theirText;
        kept.twice = true;
    }
    return kept;
}

// The text a side gives base record `i`, or nothing when the side deleted it.
std::string_view textOf(const HashedRecords& side, const Alignment& a, Index i) {
    const Index s = a.sideOf[static_cast<std::size_t>(i)];
    return s == kNone ? std::string_view() : side.at(s);
}

// Builds the result from the side whose order it follows: that side's records stay where they
// stand unless dropped, and other texts go in among them.
class Builder {
  public:
    explicit Builder(const RecordArray& order) : order_(order) {}
    // The next record of the result is the order side's next record, as it stands; returns
    // where it stands in the result.
    Index keep() { return next_++; }
    void drop(Index at) { dropped_.push_back(at); }
    Index insert(std::string_view text) {
        insertAt_.push_back(next_);
        texts_.emplace_back(text);
        return next_++;
    }
    RecordArray finish() const {
        RecordArray records = order_;
        records.removeAt(dropped_);
        records.insertAt(insertAt_, texts_);
        return records;
    }

  private:
    const RecordArray& order_;
    Index next_ = 0;
    std::vector<qint32> dropped_;
    std::vector<qint32> insertAt_;
    std::vector<std::string> texts_;
};

// A text the other side contributes, put after base record `after` (kNone: before every
// record paired with the base); ordered by the base record it follows, then by its own place.
struct Extra {
    Index after;
    Index base;
    int added;  // 0 for a base record, 1 for a record added after it
    Index place;
    std::string_view text;

    bool operator<(const Extra& o) const {
        return std::tie(after, base, added, place) < std::tie(o.after, o.base, o.added, o.place);
    }
};

// Puts each bucket of extras right after its base record and what the order side added there.
void emitExtras(Builder& out, const std::vector<Extra>& extras, Index after) {
    auto at = std::lower_bound(extras.begin(), extras.end(), after,
                               [](const Extra& e, Index value) { return e.after < value; });
    for (; at != extras.end() && at->after == after; ++at) {
        out.insert(at->text);
    }
}

// For each base record the nearest one at or before it that `a`'s side holds, or kNone.
std::vector<Index> heldAtOrBefore(const Alignment& a) {
    std::vector<Index> held(a.sideOf.size());
    Index last = kNone;
    for (std::size_t b = 0; b < held.size(); ++b) {
        last = a.sideOf[b] != kNone ? static_cast<Index>(b) : last;
        held[b] = last;
    }
    return held;
}

}  // namespace

MergedRecords mergeRecords(const RecordArray& base, const RecordArray& mine,
                           const RecordArray& theirs) {
    HashedRecords b(base), m(mine), t(theirs);
    const Ends mineEnds = commonEnds(base, mine);
    const Ends theirEnds = commonEnds(base, theirs);
    hashRecords(b, std::min(mineEnds.head, theirEnds.head),
                b.size() - std::min(mineEnds.tail, theirEnds.tail));
    hashRecords(m, mineEnds.head, m.size() - mineEnds.tail);
    hashRecords(t, theirEnds.head, t.size() - theirEnds.tail);
    const Alignment mineA = align(b, m, mineEnds, true);
    const Alignment theirA = align(b, t, theirEnds, true);
    const std::vector<Fate> mineF = fatesOf(b, m, mineA);
    const std::vector<Fate> theirF = fatesOf(b, t, theirA);

    // The result follows mine's order, unless theirs reordered the base and mine did not.
    const bool theirOrder = theirA.reordered && !mineA.reordered;
    const HashedRecords& o = theirOrder ? t : m;
    const HashedRecords& p = theirOrder ? m : t;
    const Alignment& oA = theirOrder ? theirA : mineA;
    const Alignment& pA = theirOrder ? mineA : theirA;
    const std::vector<Fate>& oF = theirOrder ? theirF : mineF;
    const std::vector<Fate>& pF = theirOrder ? mineF : theirF;

    MergedRecords merged;
    // The counts.
    Index mineAdded = 0;
    for (const Index i : mineA.baseOf) {
        mineAdded += i == kNone;
    }
    Index theirAdded = 0;
    for (const Index i : theirA.baseOf) {
        theirAdded += i == kNone;
    }
    merged.mine = mineAdded;
    for (Index i = 0; i < b.size(); ++i) {
        const Fate mf = mineF[static_cast<std::size_t>(i)];
        const Fate tf = theirF[static_cast<std::size_t>(i)];
        merged.mine += mf != Fate::Kept;
        const bool sameChange =
            mf == tf &&
            (tf != Fate::Changed || sameText(m.at(mineA.sideOf[static_cast<std::size_t>(i)]),
                                             t.at(theirA.sideOf[static_cast<std::size_t>(i)])));
        merged.theirs +=
            tf == Fate::Changed ? !sameChange : tf == Fate::Deleted && mf == Fate::Kept;
    }

    // What the other side contributes that the order side lacks: base records the order side
    // deleted and the other changed, and the other side's added records, unless the order side
    // added the same.
    const std::vector<Index> held = heldAtOrBefore(oA);
    std::vector<Extra> extras;
    for (Index i = 0; i < b.size(); ++i) {
        if (oF[static_cast<std::size_t>(i)] == Fate::Deleted &&
            pF[static_cast<std::size_t>(i)] == Fate::Changed) {
            extras.push_back({i > 0 ? held[static_cast<std::size_t>(i - 1)] : kNone, i, 0, 0,
                              p.at(pA.sideOf[static_cast<std::size_t>(i)])});
        }
    }
    std::vector<Index> orderAdded;
    for (Index j = 0; j < o.size(); ++j) {
        if (oA.baseOf[static_cast<std::size_t>(j)] == kNone) {
            orderAdded.push_back(j);
        }
    }
    Waiting addedAlike(o, std::move(orderAdded));
    Index addedTwice = 0;
    Index follows = kNone;
    for (Index j = 0; j < p.size(); ++j) {
        const Index i = pA.baseOf[static_cast<std::size_t>(j)];
        if (i != kNone) {
            follows = i;
        } else if (addedAlike.take(p.hash(j), p.at(j)) != kNone) {
            ++addedTwice;
        } else {
            extras.push_back({follows == kNone ? kNone : held[static_cast<std::size_t>(follows)],
                              follows, 1, j, p.at(j)});
        }
    }
    merged.theirs += theirAdded - addedTwice;
    std::sort(extras.begin(), extras.end());

    // The order side's records in its order, each base record merged, the extras after theirs.
    Builder out(o.records);
    Index after = kNone;  // the base record whose extras come next
    for (Index j = 0; j < o.size(); ++j) {
        const Index i = oA.baseOf[static_cast<std::size_t>(j)];
        if (i == kNone) {
            out.keep();
            continue;
        }
        emitExtras(out, extras, after);
        after = i;
        const MergedTexts kept =
            mergeOf(mineF[static_cast<std::size_t>(i)], theirF[static_cast<std::size_t>(i)],
                    textOf(m, mineA, i), textOf(t, theirA, i));
        // The order side's own record stays when the merge keeps its text.
        bool ownKept = false;
        for (int k = 0; k < kept.count; ++k) {
            Index at = 0;
            if (!ownKept && sameText(kept.texts[k], o.at(j))) {
                at = out.keep();
                ownKept = true;
            } else {
                at = out.insert(kept.texts[k]);
            }
            if (kept.twice && k == 0) {
                merged.keptTwiceAt.push_back(at);
            }
        }
        if (!ownKept) {
            out.drop(j);
        }
    }
    emitExtras(out, extras, after);
    merged.keptTwice = static_cast<int>(merged.keptTwiceAt.size());
    merged.records = out.finish();
    return merged;
}

FoldedCopy foldInCopy(const RecordArray& mine, const RecordArray& copy) {
    HashedRecords m(mine), c(copy);
    const Ends ends = commonEnds(mine, copy);
    hashRecords(m, ends.head, m.size() - ends.tail);
    hashRecords(c, ends.head, c.size() - ends.tail);
    const Alignment a = align(m, c, ends, false);

    // Each record only the copy holds goes after the nearest record before it that both hold.
    std::vector<Extra> extras;
    Index follows = kNone;
    for (Index j = 0; j < c.size(); ++j) {
        const Index i = a.baseOf[static_cast<std::size_t>(j)];
        if (i != kNone) {
            follows = i;
        } else {
            extras.push_back({follows, follows, 1, j, c.at(j)});
        }
    }
    std::sort(extras.begin(), extras.end());
    Builder out(mine);
    emitExtras(out, extras, kNone);
    for (Index i = 0; i < m.size(); ++i) {
        out.keep();
        emitExtras(out, extras, i);
    }
    FoldedCopy folded;
    folded.records = out.finish();
    folded.added = static_cast<int>(extras.size());
    return folded;
}

}  // namespace trovix::store
