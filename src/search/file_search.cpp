#include "search/file_search.h"

#include <QChar>
#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <string>

#include "platform/parallel_work.h"
#include "store/text_codec.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TROVIX_AVX2 1  // the scan takes 32 places at a time where the processor can
#endif

namespace trovix::search {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The characters (as the file's bytes write them) that a search ignoring case takes for an
// ASCII letter: folding their case gives one, as the Kelvin sign gives "k".
std::vector<std::string> foldingToAscii(store::Encoding encoding) {
    std::vector<std::string> found;
    if (encoding == store::Encoding::Windows1252) {
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char c = static_cast<char>(byte);
            const QByteArray utf8 = store::windows1252ToUtf8(std::string_view(&c, 1));
            std::string folded;
            store::appendCaseFolded(
                std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), folded);
            if (store::isAsciiText(folded)) {
                found.emplace_back(1, c);
            }
        }
        return found;
    }
    // Case folding is defined below U+20000.
    for (char32_t c = 0x80; c < 0x20000; ++c) {
        if ((c < 0xD800 || c > 0xDFFF) && QChar::toCaseFolded(c) < 0x80) {
            const QByteArray utf8 = QString::fromUcs4(&c, 1).toUtf8();
            found.emplace_back(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        }
    }
    return found;
}

// The place of the last LF in [from, to) of `d`, or kNone.
std::size_t lastLf(const char* d, std::size_t from, std::size_t to) {
#ifdef __GLIBC__
    const void* lf = memrchr(d + from, '\n', to - from);
    return lf == nullptr ? kNone : static_cast<std::size_t>(static_cast<const char*>(lf) - d);
#else
    for (std::size_t at = to; at > from; --at) {
        if (d[at - 1] == '\n') {
            return at - 1;
        }
    }
    return kNone;
#endif
}

// How to find the records that may match without looking at every record: every record that
// matches holds `term` in its bytes as they stand in the file (letters lowered when ignoring
// case), or one of `alsoAt`, each of which begins with a byte above 0x7F.
struct Prefilter {
    std::string term;
    bool lowered = false;
    std::vector<std::string> alsoAt;
};

// A term that stands in one line of a record as in its text: ASCII, so that it reads the same in
// either encoding, without a line break or a hyphen, so that no joined line break could have
// split it. None when no term is such. Ignoring case, a record may also hold the term through a
// character whose case folds to one of its letters, as the Kelvin sign folds to "k".
std::optional<Prefilter> prefilterFor(store::Encoding encoding, const TermMatcher& matcher) {
    for (const std::string& term : matcher.terms()) {
        if (store::isAsciiText(term) && term.find_first_of("-\r\n") == std::string::npos) {
            Prefilter filter{term, matcher.ignoresCase(), {}};
            if (matcher.ignoresCase()) {
                static const std::vector<std::string> utf8 = foldingToAscii(store::Encoding::Utf8);
                static const std::vector<std::string> windows1252 =
                    foldingToAscii(store::Encoding::Windows1252);
                for (const std::string& c :
                     encoding == store::Encoding::Utf8 ? utf8 : windows1252) {
                    std::string folded;
                    store::appendCaseFolded(encoding == store::Encoding::Utf8
                                                ? std::string_view(c)
                                                : store::windows1252ToUtf8(c).toStdString(),
                                            folded);
                    if (term.find(folded) != std::string::npos) {
                        filter.alsoAt.push_back(c);
                    }
                }
            }
            return filter;
        }
    }
    return std::nullopt;
}

// Finds the records of [from, to) that match in one pass over their bytes, which also checks
// that they are valid UTF-8 when asked: sixteen places at a time, a record is looked at only
// around a place where the prefilter's term stands (its first and last bytes tried first) or
// where one of its other characters begins.
class PrefilteredScan {
  public:
    PrefilteredScan(const store::FileBytes& file, const Prefilter& filter, std::size_t from,
                    std::size_t to, bool checkUtf8)
        : file_(file),
          filter_(filter),
          d_(reinterpret_cast<const unsigned char*>(file.bytes.data())),
          to_(to),
          breakSize_(file.lineBreak == store::LineBreak::CrLf ? 2 : 1),
          checkUtf8_(checkUtf8),
          seeHigh_(checkUtf8 || !filter.alsoAt.empty()),
          pos_(from),
          checkedTo_(from) {}

    // Calls found(begin, end) for each record that holds a place the prefilter points to, in
    // order. False when the bytes are not valid UTF-8, as asked to check: then not all are seen.
    template <typename Found>
    bool run(Found found) {
        const std::size_t m = filter_.term.size();
        const auto first = static_cast<unsigned char>(filter_.term.front());
        const auto last = static_cast<unsigned char>(filter_.term.back());
        const unsigned char firstMask = filter_.lowered && isLower(first) ? 0x20 : 0;
        const unsigned char lastMask = filter_.lowered && isLower(last) ? 0x20 : 0;
        std::size_t i = pos_;
#ifdef TROVIX_AVX2
        static const bool avx2 = __builtin_cpu_supports("avx2");
        if (avx2 && !runAvx2(i, first, last, firstMask, lastMask, found)) {
            return false;
        }
#endif
#ifdef __SSE2__
        const __m128i firsts = _mm_set1_epi8(static_cast<char>(first));
        const __m128i lasts = _mm_set1_epi8(static_cast<char>(last));
        const __m128i firstMasks = _mm_set1_epi8(static_cast<char>(firstMask));
        const __m128i lastMasks = _mm_set1_epi8(static_cast<char>(lastMask));
        for (; i + m - 1 + 16 <= to_; i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d_ + i));
            const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d_ + i + m - 1));
            const auto high = seeHigh_ ? static_cast<unsigned>(_mm_movemask_epi8(block)) : 0u;
            const auto places = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(block, firstMasks), firsts),
                              _mm_cmpeq_epi8(_mm_or_si128(ends, lastMasks), lasts))));
            if ((high | places) != 0 && !visit(i, high, places, found)) {
                return false;
            }
        }
#endif
        // The last places one at a time, as the blocks above would.
        for (; i < to_; ++i) {
            const unsigned high = seeHigh_ && d_[i] >= 0x80 ? 1 : 0;
            const unsigned places =
                i + m <= to_ && (d_[i] | firstMask) == first && (d_[i + m - 1] | lastMask) == last
                    ? 1
                    : 0;
            if ((high | places) != 0 && !visit(i, high, places, found)) {
                return false;
            }
        }
        return true;
    }

  private:
    static bool isLower(unsigned char c) {
        return c >= 'a' && c <= 'z';
    }

#ifdef TROVIX_AVX2
    // As the blocks of run(), 32 places at a time, from `i` on as far as they fit.
    template <typename Found>
    __attribute__((target("avx2"))) bool runAvx2(std::size_t& from, unsigned char first,
                                                 unsigned char last, unsigned char firstMask,
                                                 unsigned char lastMask, Found& found) {
        const std::size_t m = filter_.term.size();
        const __m256i firsts = _mm256_set1_epi8(static_cast<char>(first));
        const __m256i lasts = _mm256_set1_epi8(static_cast<char>(last));
        const __m256i firstMasks = _mm256_set1_epi8(static_cast<char>(firstMask));
        const __m256i lastMasks = _mm256_set1_epi8(static_cast<char>(lastMask));
        // The first byte of the prefilter's other characters, when they share one.
        const char alsoFirst = filter_.alsoAt.empty() ? '\0' : filter_.alsoAt[0][0];
        const bool oneFirst = std::all_of(filter_.alsoAt.begin(), filter_.alsoAt.end(),
                                          [&](const std::string& c) { return c[0] == alsoFirst; });
        const __m256i alsoFirsts = _mm256_set1_epi8(alsoFirst);
        // Kept in registers: the calls below could change the members for all the compiler knows.
        const unsigned char* const d = d_;
        const std::size_t to = to_;
        std::size_t i = from;
        for (; i + m - 1 + 32 <= to; i += 32) {
            const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
            const __m256i ends =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i + m - 1));
            auto high = seeHigh_ ? static_cast<unsigned>(_mm256_movemask_epi8(block)) : 0u;
            const auto places = static_cast<unsigned>(_mm256_movemask_epi8(
                _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(block, firstMasks), firsts),
                                 _mm256_cmpeq_epi8(_mm256_or_si256(ends, lastMasks), lasts))));
            if (high != 0 && i >= checkedTo_) {
                // Most characters beyond ASCII are of two bytes (é, ñ, ü): when each byte above
                // 0x7F is the first of such a character (0xC2 to 0xDF, signed -62 to -33) with
                // a continuation byte after it (0x80 to 0xBF, signed below -64), or that
                // continuation, and none begins a character of the prefilter, the block is
                // checked at once.
                const auto leads = static_cast<unsigned>(_mm256_movemask_epi8(
                    _mm256_and_si256(_mm256_cmpgt_epi8(block, _mm256_set1_epi8(-63)),
                                     _mm256_cmpgt_epi8(_mm256_set1_epi8(-32), block))));
                const auto continuations = static_cast<unsigned>(
                    _mm256_movemask_epi8(_mm256_cmpgt_epi8(_mm256_set1_epi8(-64), block)));
                const unsigned others = filter_.alsoAt.empty() ? 0
                                        : oneFirst ? static_cast<unsigned>(_mm256_movemask_epi8(
                                                         _mm256_cmpeq_epi8(block, alsoFirsts)))
                                                   : ~0u;
                if (checkUtf8_ && continuations == leads << 1 && (leads | continuations) == high &&
                    (leads >> 31) == 0 && others == 0) {
                    checkedTo_ = i + 32;
                    high = 0;
                }
            }
            if ((high | places) != 0 && !visit(i, high, places, found)) {
                return false;
            }
        }
        from = i;
        return true;
    }
#endif

    // The places from `at` on: `high` marks the bytes above 0x7F, `places` those where the term's
    // first and last bytes stand. Checks the characters that begin there and looks at the
    // records around the term and the prefilter's other characters.
    template <typename Found>
    bool visit(std::size_t at, unsigned high, unsigned places, Found& found) {
        while ((high | places) != 0) {
            const auto bit = static_cast<std::size_t>(std::countr_zero(high | places));
            const std::size_t place = at + bit;
            const unsigned here = 1u << bit;
            bool hit = false;
            if ((high & here) != 0 && place >= checkedTo_) {
                // A character begins here: a byte above 0x7F not within the one before.
                std::size_t length = 1;
                if (checkUtf8_ &&
                    (length = store::validUtf8CharSize(d_ + place, to_ - place)) == 0) {
                    return false;
                }
                checkedTo_ = place + length;
                hit = std::any_of(filter_.alsoAt.begin(), filter_.alsoAt.end(),
                                  [&](const std::string& c) { return startsWith(place, c); });
            }
            if ((places & here) != 0 && !hit) {
                hit = filter_.lowered ? sameLowered(place) : startsWith(place, filter_.term);
            }
            high &= ~here;
            places &= ~here;
            if (hit && place >= pos_) {
                const std::size_t begin = recordStart(place);
                const std::size_t end = file_.recordEnd(begin, to_);
                found(begin, end);
                pos_ = end + breakSize_;
            }
        }
        return true;
    }
    bool startsWith(std::size_t at, std::string_view text) const {
        return text.size() <= to_ - at && d_[at] == static_cast<unsigned char>(text[0]) &&
               std::memcmp(d_ + at, text.data(), text.size()) == 0;
    }
    bool sameLowered(std::size_t at) const {
        const std::string& term = filter_.term;
        if (term.size() > to_ - at) {
            return false;
        }
        for (std::size_t k = 0; k < term.size(); ++k) {
            if (store::lowerAscii(d_[at + k]) != static_cast<unsigned char>(term[k])) {
                return false;
            }
        }
        return true;
    }
    // The start of the line that holds `at`: just after the last line break before it, or pos_.
    std::size_t lineStart(std::size_t at) const {
        const char* d = reinterpret_cast<const char*>(d_);
        while (at > pos_) {
            const std::size_t p = lastLf(d, pos_, at);
            if (p == kNone) {
                break;
            }
            if (breakSize_ == 1 || (p > pos_ && d[p - 1] == '\r')) {
                return p + 1;
            }
            at = p;  // an LF alone in a CR LF file is no line break
        }
        return pos_;
    }
    // The start of the record that holds `at`: its first line is not continued from above.
    std::size_t recordStart(std::size_t at) const {
        std::size_t line = lineStart(at);
        while (line > pos_ && store::startsWithSep(reinterpret_cast<const char*>(d_), to_, line)) {
            line = lineStart(line - breakSize_);
        }
        return line;
    }

    const store::FileBytes& file_;
    const Prefilter& filter_;
    const unsigned char* d_;
    std::size_t to_;
    std::size_t breakSize_;
    bool checkUtf8_;
    bool seeHigh_;           // the bytes above 0x7F are looked at: to check them, or for alsoAt
    std::size_t pos_;        // where the records not yet looked at begin
    std::size_t checkedTo_;  // the characters before this are checked
};

}  // namespace

FileSearch searchFileBytes(std::string_view bytes, const TermMatcher& matcher,
                           bool encodingNeeded) {
    constexpr std::size_t kLeastPerPart = std::size_t{4} << 20;
    FileSearch search;
    store::FileBytes& file = search.file;
    file.bytes = bytes;
    file.lineBreak = store::detectLineBreak(bytes.data(), bytes.size());
    const std::vector<platform::PartRange> parts = file.recordParts(kLeastPerPart);
    if (!prefilterFor(store::Encoding::Utf8, matcher)) {
        file = store::FileBytes::of(bytes);
    }
    // With a prefilter, the encoding is checked as the records are searched, reading the bytes
    // as UTF-8; when they are not, they are searched again as Windows-1252. Minding case, terms
    // of ASCII alone stand in a record's bytes as in its text in either encoding, so the
    // records found do not depend on it.
    const bool anyEncoding =
        !encodingNeeded && !matcher.ignoresCase() &&
        std::all_of(matcher.terms().begin(), matcher.terms().end(),
                    [](const std::string& term) { return store::isAsciiText(term); });
    for (;;) {
        const std::optional<Prefilter> filter = prefilterFor(file.encoding, matcher);
        std::vector<std::vector<RecordRange>> found(parts.size());
        std::vector<char> valid(parts.size(), 1);  // not vector<bool>: each part writes its own
        platform::forEachPart(parts.size(), [&](std::size_t part) {
            std::string text;
            std::string folded;
            std::vector<RecordRange>& out = found[part];
            const auto check = [&](std::size_t begin, std::size_t end) {
                if (textMatches(matcher, file.recordText(begin, end, text), folded)) {
                    out.push_back({begin, end});
                }
            };
            if (filter) {
                valid[part] =
                    PrefilteredScan(file, *filter, parts[part].begin, parts[part].end,
                                    file.encoding == store::Encoding::Utf8 && !anyEncoding)
                        .run(check);
            } else {
                file.forEachRecord(parts[part].begin, parts[part].end, check);
            }
        });
        if (std::find(valid.begin(), valid.end(), 0) != valid.end()) {
            file.encoding = store::Encoding::Windows1252;
            continue;
        }
        search.found = std::move(found[0]);
        for (std::size_t part = 1; part < found.size(); ++part) {
            search.found.insert(search.found.end(), found[part].begin(), found[part].end());
        }
        return search;
    }
}

}  // namespace trovix::search
