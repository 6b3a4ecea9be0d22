#pragma once

#include <QStringList>
#include <QStringView>
#include <string>
#include <vector>

namespace trovix::search {

// A stretch of a text, in UTF-16 positions as QString counts them.
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// Finds where the terms of a search occur in a text, by the rule the search matches records
// with: byte for byte, or, ignoring case, in the case-folded forms of both. Shows the user why
// a record matched.
class MatchFinder {
  public:
    MatchFinder() = default;  // finds nothing
    MatchFinder(const QStringList& terms, bool ignoreCase);

    bool findsNothing() const { return terms_.empty(); }
    // Every stretch of `text` that is an occurrence of some term, overlapping and touching
    // occurrences joined into one, in text order.
    std::vector<TextRange> rangesIn(QStringView text) const;

  private:
    std::vector<std::string>
        terms_;  // the non-empty terms as UTF-8, case-folded when ignoring case
    bool ignoreCase_ = false;
};

// A finder for the search a list shows, made again only when that search or its case rule
// changes: painting a screenful of rows asks for it once a row.
class CachedMatchFinder {
  public:
    // The finder for a search text (an empty text finds nothing) and its case rule.
    const MatchFinder& finderFor(const QString& searchText, bool ignoreCase);

  private:
    QString text_;
    bool ignoreCase_ = false;
    MatchFinder finder_;
};

}  // namespace trovix::search
