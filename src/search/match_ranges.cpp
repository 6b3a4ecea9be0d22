#include "search/match_ranges.h"

#include <algorithm>

#include "search/matcher.h"
#include "store/text_codec.h"

namespace trovix::search {
namespace {

// Appends a code point's UTF-8 bytes.
void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

MatchFinder::MatchFinder(const QStringList& terms, bool ignoreCase) : ignoreCase_(ignoreCase) {
    for (const QString& term : terms) {
        if (term.isEmpty()) {
            continue;
        }
        const QByteArray utf8 = term.toUtf8();
        const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        std::string kept;
        if (ignoreCase) {
            store::appendCaseFolded(bytes, kept);
        } else {
            kept.assign(bytes);
        }
        terms_.push_back(std::move(kept));
    }
}

std::vector<TextRange> MatchFinder::rangesIn(QStringView text) const {
    if (terms_.empty() || text.isEmpty()) {
        return {};
    }
    // The text as the search compares it, and for each of its bytes the UTF-16 position of the
    // character it came from; one more entry for the end.
    std::string bytes;
    std::vector<qsizetype> origin;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    origin.reserve(static_cast<std::size_t>(text.size()) + 1);
    std::string character;
    char folded[store::foldedSizeBound(4)];
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype start = i;
        char32_t c = text[i].unicode();
        ++i;
        if (QChar::isHighSurrogate(c) && i < text.size() && text[i].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[i].unicode());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;  // a lone half of a pair is no character any term holds
        }
        if (c < 0x80) {
            const auto byte = static_cast<unsigned char>(c);
            bytes.push_back(static_cast<char>(ignoreCase_ ? store::lowerAscii(byte) : byte));
            origin.push_back(start);
            continue;
        }
        character.clear();
        appendUtf8(c, character);
        std::string_view kept = character;
        if (ignoreCase_) {
            kept = std::string_view(
                folded, static_cast<std::size_t>(store::foldCaseTo(character, folded) - folded));
        }
        bytes.append(kept);
        origin.insert(origin.end(), kept.size(), start);
    }
    origin.push_back(text.size());

    std::vector<TextRange> found;
    for (const std::string& term : terms_) {
        for (std::size_t at = bytes.find(term); at != std::string::npos;
             at = bytes.find(term, at + 1)) {
            // A term starts and ends on whole characters, as UTF-8 text always does.
            const qsizetype from = origin[at];
            const qsizetype to = origin[at + term.size()];
            found.push_back({from, to - from});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const TextRange& a, const TextRange& b) { return a.start < b.start; });
    std::vector<TextRange> joined;
    for (const TextRange& range : found) {
        if (!joined.empty() && range.start <= joined.back().start + joined.back().length) {
            TextRange& last = joined.back();
            last.length =
                std::max(last.start + last.length, range.start + range.length) - last.start;
        } else {
            joined.push_back(range);
        }
    }
    return joined;
}

const MatchFinder& CachedMatchFinder::finderFor(const QString& searchText, bool ignoreCase) {
    if (searchText != text_ || ignoreCase != ignoreCase_) {
        text_ = searchText;
        ignoreCase_ = ignoreCase;
        finder_ =
            searchText.isEmpty() ? MatchFinder() : MatchFinder(searchTerms(searchText), ignoreCase);
    }
    return finder_;
}

}  // namespace trovix::search
