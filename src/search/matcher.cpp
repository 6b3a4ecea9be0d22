#include "search/matcher.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/parallel_work.h"
#include "state/text.h"
#include "store/text_codec.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace trovix::search {

QStringList searchTerms(const QString& text) {
    return trimSpaces(text).split(u' ');
}

namespace {

// The first place in `n` bytes at `h` where an `m`-byte needle (1 <= m <= n) stands, as
// `sameFrom(at)` tells. With SSE2, sixteen starting places are tried at a time: the needle's
// first and last bytes, with `firstMask` and `lastMask` or-ed into the text's bytes (0x20 lowers
// an ASCII letter), must both be in place before `sameFrom` compares the rest.
template <typename SameFrom>
std::size_t firstPlace(const unsigned char* h, std::size_t n, std::size_t m, unsigned char first,
                       unsigned char last, unsigned char firstMask, unsigned char lastMask,
                       SameFrom sameFrom) {
#ifdef __SSE2__
    if (n >= m - 1 + 16) {
        const __m128i firsts = _mm_set1_epi8(static_cast<char>(first));
        const __m128i lasts = _mm_set1_epi8(static_cast<char>(last));
        const __m128i firstMasks = _mm_set1_epi8(static_cast<char>(firstMask));
        const __m128i lastMasks = _mm_set1_epi8(static_cast<char>(lastMask));
        const auto foundFrom = [&](std::size_t i) {
            const __m128i a =
                _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i)), firstMasks);
            const __m128i b = _mm_or_si128(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + m - 1)), lastMasks);
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(a, firsts), _mm_cmpeq_epi8(b, lasts))));
            while (mask != 0) {
                const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
                if (sameFrom(i + bit)) {
                    return i + bit;
                }
                mask &= mask - 1;
            }
            return std::string_view::npos;
        };
        std::size_t i = 0;
        for (; i + m - 1 + 16 <= n; i += 16) {
            if (const std::size_t at = foundFrom(i); at != std::string_view::npos) {
                return at;
            }
        }
        // The last starting places in one more block, which overlaps the one before: the places
        // it shares with that block held no match, so the first it finds is the first.
        return i < n - m + 1 ? foundFrom(n - m + 1 - 16) : std::string_view::npos;
    }
#else
    static_cast<void>(first);
    static_cast<void>(last);
    static_cast<void>(firstMask);
    static_cast<void>(lastMask);
#endif
    for (std::size_t i = 0; i + m <= n; ++i) {
        if (sameFrom(i)) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace

std::size_t findBytes(std::string_view haystack, std::string_view needle) {
    const std::size_t m = needle.size();
    const std::size_t n = haystack.size();
    if (m == 0) {
        return 0;
    }
    if (m > n) {
        return std::string_view::npos;
    }
    const char* h = haystack.data();
    if (m == 1) {
        const void* at = std::memchr(h, needle[0], n);
        return at == nullptr ? std::string_view::npos
                             : static_cast<std::size_t>(static_cast<const char*>(at) - h);
    }
    const auto* t = reinterpret_cast<const unsigned char*>(needle.data());
    return firstPlace(reinterpret_cast<const unsigned char*>(h), n, m, t[0], t[m - 1], 0, 0,
                      [&](std::size_t at) { return std::memcmp(h + at, t, m) == 0; });
}

bool containsBytes(std::string_view haystack, std::string_view needle) {
    return findBytes(haystack, needle) != std::string_view::npos;
}

std::size_t findLowered(std::string_view haystack, std::string_view needle) {
    const std::size_t m = needle.size();
    const std::size_t n = haystack.size();
    if (m == 0) {
        return 0;
    }
    if (m > n) {
        return std::string_view::npos;
    }
    const auto* h = reinterpret_cast<const unsigned char*>(haystack.data());
    const auto* t = reinterpret_cast<const unsigned char*>(needle.data());
    const auto sameFrom = [&](std::size_t at) {
        for (std::size_t k = 0; k < m; ++k) {
            if (store::lowerAscii(h[at + k]) != t[k]) {
                return false;
            }
        }
        return true;
    };
    // A letter's bit 5 is set before the first and last bytes are compared: exact for letters;
    // other bytes are checked in full after.
    const auto letterMask = [](unsigned char c) {
        return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? 0x20 : 0);
    };
    return firstPlace(h, n, m, t[0], t[m - 1], letterMask(t[0]), letterMask(t[m - 1]), sameFrom);
}

bool containsLowered(std::string_view haystack, std::string_view needle) {
    return findLowered(haystack, needle) != std::string_view::npos;
}

TermMatcher::TermMatcher(const QStringList& terms, bool ignoreCase) : ignoreCase_(ignoreCase) {
    for (const QString& term : terms) {
        if (term.isEmpty()) {
            continue;  // an empty term is in every record that is not empty
        }
        const QByteArray utf8 = term.toUtf8();
        std::string bytes;
        if (ignoreCase) {
            store::appendCaseFolded(
                std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), bytes);
        } else {
            bytes.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        }
        terms_.push_back(std::move(bytes));
    }
    // A long term rules out most records soonest.
    std::stable_sort(terms_.begin(), terms_.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
}

namespace {

// Whether a record holds every term, as `contains` looks for one. An empty record holds none.
template <typename Contains>
bool holdsAll(std::string_view record, const std::vector<std::string>& terms, Contains contains) {
    return !record.empty() && std::all_of(terms.begin(), terms.end(), [&](const std::string& term) {
        return contains(record, term);
    });
}

}  // namespace

bool TermMatcher::matchesAscii(std::string_view record) const {
    return holdsAll(record, terms_, containsLowered);
}

bool TermMatcher::matches(std::string_view record) const {
    return holdsAll(record, terms_, containsBytes);
}

bool textMatches(const TermMatcher& matcher, std::string_view utf8, std::string& scratch) {
    if (!matcher.ignoresCase()) {
        return matcher.matches(utf8);
    }
    if (store::foldsByLoweringAscii(utf8)) {
        return matcher.matchesAscii(utf8);
    }
    scratch.clear();
    store::appendCaseFolded(utf8, scratch);
    return matcher.matches(scratch);
}

bool termsNarrow(const std::vector<std::string>& later, const std::vector<std::string>& earlier) {
    return std::all_of(earlier.begin(), earlier.end(), [&](const std::string& old) {
        return std::any_of(later.begin(), later.end(),
                           [&](const std::string& term) { return term.find(old) != term.npos; });
    });
}

bool TermMatcher::narrows(const std::vector<std::string>& terms, bool ignoreCase) const {
    return ignoreCase == ignoreCase_ && termsNarrow(terms_, terms);
}

TermMatcher TermMatcher::without(const std::vector<std::string>& known) const {
    std::vector<std::string> left;
    for (const std::string& term : terms_) {
        if (!termsNarrow(known, {term})) {
            left.push_back(term);
        }
    }
    return TermMatcher(Folded{}, std::move(left), ignoreCase_);
}

namespace {

// The matching records among those `recordAt` names for the positions [0, count), in the
// order of the positions, which name records in ascending order.
template <typename RecordAt>
std::vector<qint32> matchingAt(const store::RecordArray& records, const TermMatcher& matcher,
                               std::size_t count, RecordAt recordAt) {
    const store::FoldedRecords* folded = matcher.ignoresCase() ? &records.caseFolding() : nullptr;
    const auto scan = [&](std::size_t from, std::size_t to, std::vector<qint32>& out) {
        if (folded == nullptr) {
            for (std::size_t p = from; p < to; ++p) {
                const qint32 i = recordAt(p);
                if (matcher.matches(records.utf8(i))) {
                    out.push_back(i);
                }
            }
            return;
        }
        // ASCII records as they are; the others in their folded form, kept in ascending record
        // order: in a scan of every record the next folded form is the one after the last.
        std::size_t k = 0;
        for (std::size_t p = from; p < to; ++p) {
            const qint32 i = recordAt(p);
            bool found = false;
            if (folded->isAscii(i)) {
                found = matcher.matchesAscii(records.utf8(i));
            } else {
                if (k >= folded->count() || folded->indexAt(k) != i) {
                    k = folded->firstAtOrAfter(i);
                }
                found = matcher.matches(folded->textAt(k++));
            }
            if (found) {
                out.push_back(i);
            }
        }
    };
    // Large searches run in parts at once; the first part's matches go straight into the
    // result, the others' follow in order. Running out of memory in any part comes out of this
    // call once all have ended.
    constexpr std::size_t kLeastPerPart = 25000;
    const std::size_t parts = platform::partsFor(count, kLeastPerPart);
    std::vector<qint32> found;
    std::vector<std::vector<qint32>> later(parts - 1);
    platform::forEachPart(parts, [&](std::size_t part) {
        const platform::PartRange range = platform::partOf(count, part, parts);
        scan(range.begin, range.end, part == 0 ? found : later[part - 1]);
    });
    for (const std::vector<qint32>& more : later) {
        found.insert(found.end(), more.begin(), more.end());
    }
    return found;
}

}  // namespace

std::vector<qint32> matchingRecords(const store::RecordArray& records, const TermMatcher& matcher) {
    return matchingAt(records, matcher, static_cast<std::size_t>(records.size()),
                      [](std::size_t p) { return static_cast<qint32>(p); });
}

std::vector<qint32> matchingAmong(const store::RecordArray& records, const TermMatcher& matcher,
                                  std::span<const qint32> candidates) {
    return matchingAt(records, matcher, candidates.size(),
                      [candidates](std::size_t p) { return candidates[p]; });
}

}  // namespace trovix::search
