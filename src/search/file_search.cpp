#include "search/file_search.h"

#include <QChar>
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/parallel_work.h"
#include "store/text_codec.h"

#ifdef __SSE2__
#include <emmintrin.h>
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

// Where the first of the needles occurs in `haystack`, or kNone: one pass over the haystack for
// the needles' first bytes, each place found then compared in full.
std::size_t findAnyOf(std::string_view haystack, const std::vector<std::string>& needles) {
    std::string firsts;
    for (const std::string& needle : needles) {
        if (needle.empty()) {
            return 0;
        }
        if (firsts.find(needle[0]) == std::string::npos) {
            firsts += needle[0];
        }
    }
    const auto startsAt = [&](std::size_t at) {
        return std::any_of(needles.begin(), needles.end(), [&](const std::string& needle) {
            return haystack.substr(at, needle.size()) == needle;
        });
    };
    const char* h = haystack.data();
    const std::size_t n = haystack.size();
    std::size_t i = 0;
#ifdef __SSE2__
    if (!firsts.empty() && firsts.size() <= 4) {
        __m128i wanted[4];
        for (std::size_t k = 0; k < 4; ++k) {
            wanted[k] = _mm_set1_epi8(firsts[std::min(k, firsts.size() - 1)]);
        }
        for (; i + 16 <= n; i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
            const __m128i hits = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(block, wanted[0]), _mm_cmpeq_epi8(block, wanted[1])),
                _mm_or_si128(_mm_cmpeq_epi8(block, wanted[2]), _mm_cmpeq_epi8(block, wanted[3])));
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
            while (mask != 0) {
                const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
                if (startsAt(at)) {
                    return at;
                }
                mask &= mask - 1;
            }
        }
    }
#endif
    for (; i < n; ++i) {
        if (firsts.find(h[i]) != std::string::npos && startsAt(i)) {
            return i;
        }
    }
    return kNone;
}

// How to find the records that may match without looking at every record: every record that
// matches holds `term` in its bytes as they stand in the file (letters lowered when ignoring
// case), or one of `alsoAt`.
struct Prefilter {
    std::string term;
    bool lowered = false;
    std::vector<std::string> alsoAt;
};

// A term that stands in one line of a record as in its text: ASCII, so that it reads the same in
// either encoding, without a line break or a hyphen, so that no joined line break could have
// split it. None when no term is such.
std::optional<Prefilter> prefilterFor(const store::FileBytes& file, const TermMatcher& matcher) {
    for (const std::string& term : matcher.terms()) {
        if (store::isAsciiText(term) && term.find_first_of("-\r\n") == std::string::npos) {
            Prefilter filter{term, matcher.ignoresCase(), {}};
            if (matcher.ignoresCase()) {
                static const std::vector<std::string> utf8 = foldingToAscii(store::Encoding::Utf8);
                static const std::vector<std::string> windows1252 =
                    foldingToAscii(store::Encoding::Windows1252);
                filter.alsoAt = file.encoding == store::Encoding::Utf8 ? utf8 : windows1252;
            }
            return filter;
        }
    }
    return std::nullopt;
}

// Finds the records of [from, to) that match, looking only at those around a place where the
// prefilter points.
class PrefilteredScan {
  public:
    PrefilteredScan(const store::FileBytes& file, const Prefilter& filter, std::size_t from,
                    std::size_t to)
        : file_(file),
          filter_(filter),
          d_(file.bytes.data()),
          to_(to),
          breakSize_(file.lineBreak == store::LineBreak::CrLf ? 2 : 1),
          next_(filter.alsoAt.empty() ? 1 : 2, from),
          pos_(from) {
        for (std::size_t k = 0; k < next_.size(); ++k) {
            seek(k);
        }
    }

    template <typename Found>
    void run(Found found) {
        for (;;) {
            const std::size_t at = *std::min_element(next_.begin(), next_.end());
            if (at == kNone) {
                return;
            }
            const std::size_t begin = recordStart(at);
            const std::size_t end = file_.recordEnd(begin, to_);
            found(begin, end);
            if (end >= to_) {
                return;
            }
            pos_ = end + breakSize_;
            for (std::size_t k = 0; k < next_.size(); ++k) {
                if (next_[k] < pos_) {
                    seek(k);
                }
            }
        }
    }

  private:
    // The next place, at or after pos_, of the term (k == 0) or of any of alsoAt (k == 1).
    void seek(std::size_t k) {
        const std::string_view rest(d_ + pos_, to_ - pos_);
        const std::size_t at = k == 0 ? (filter_.lowered ? findLowered(rest, filter_.term)
                                                         : findBytes(rest, filter_.term))
                                      : findAnyOf(rest, filter_.alsoAt);
        next_[k] = at == kNone ? kNone : pos_ + at;
    }
    // The start of the line that holds `at`: just after the last line break before it, or pos_.
    std::size_t lineStart(std::size_t at) const {
        while (at > pos_) {
            const std::size_t p = lastLf(d_, pos_, at);
            if (p == kNone) {
                break;
            }
            if (breakSize_ == 1 || (p > pos_ && d_[p - 1] == '\r')) {
                return p + 1;
            }
            at = p;  // an LF alone in a CR LF file is no line break
        }
        return pos_;
    }
    // The start of the record that holds `at`: its first line is not continued from above.
    std::size_t recordStart(std::size_t at) const {
        std::size_t line = lineStart(at);
        while (line > pos_ && store::startsWithSep(d_, to_, line)) {
            line = lineStart(line - breakSize_);
        }
        return line;
    }

    const store::FileBytes& file_;
    const Prefilter& filter_;
    const char* d_;
    std::size_t to_;
    std::size_t breakSize_;
    std::vector<std::size_t> next_;
    std::size_t pos_;
};

}  // namespace

std::vector<RecordRange> matchingRecordRanges(const store::FileBytes& file,
                                              const TermMatcher& matcher) {
    constexpr std::size_t kLeastPerPart = std::size_t{4} << 20;
    const std::vector<platform::PartRange> parts = file.recordParts(kLeastPerPart);
    const std::optional<Prefilter> filter = prefilterFor(file, matcher);
    std::vector<std::vector<RecordRange>> found(parts.size());
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
            PrefilteredScan(file, *filter, parts[part].begin, parts[part].end).run(check);
        } else {
            file.forEachRecord(parts[part].begin, parts[part].end, check);
        }
    });
    std::vector<RecordRange> all = std::move(found[0]);
    for (std::size_t part = 1; part < found.size(); ++part) {
        all.insert(all.end(), found[part].begin(), found[part].end());
    }
    return all;
}

}  // namespace trovix::search
