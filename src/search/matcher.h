#pragma once

#include <QString>
#include <QStringList>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/record_array.h"

namespace trovix::search {

// The terms of a search text: the text without leading and trailing spaces, split at every
// single space. Tabs belong to a term; two spaces in a row give an empty term.
QStringList searchTerms(const QString& text);

// Whether `needle` occurs in `haystack`, byte for byte.
bool containsBytes(std::string_view haystack, std::string_view needle);
// Where it first occurs, or npos.
std::size_t findBytes(std::string_view haystack, std::string_view needle);

// Whether `needle`, a case-folded text, occurs in `haystack` when the ASCII letters of
// `haystack` are taken in lower case. Other bytes are compared as they are.
bool containsLowered(std::string_view haystack, std::string_view needle);
// Where it first occurs so, or npos.
std::size_t findLowered(std::string_view haystack, std::string_view needle);

// Whether each of the `earlier` terms lies within one of the `later` terms: then every record
// that holds all of the later terms holds all of the earlier ones too.
bool termsNarrow(const std::vector<std::string>& later, const std::vector<std::string>& earlier);

// Tests records against all terms of a search: a record matches when it contains every term.
class TermMatcher {
  public:
    TermMatcher(const QStringList& terms, bool ignoreCase);

    bool ignoresCase() const { return ignoreCase_; }
    // The non-empty terms as they are compared (case-folded when ignoring case), longest first.
    const std::vector<std::string>& terms() const { return terms_; }
    // Whether every record this matcher accepts is also accepted by one with `terms` and
    // `ignoreCase`: the letter case rule is the same and each of those terms lies within one
    // of this matcher's terms, as when a search text is typed on.
    bool narrows(const std::vector<std::string>& terms, bool ignoreCase) const;
    // This matcher without the terms that lie within one of `known`: among records known to
    // hold all of those, it accepts the same records.
    TermMatcher without(const std::vector<std::string>& known) const;
    // `record` in the form the terms are compared with: case-folded when ignoring case.
    bool matches(std::string_view record) const;
    // A record whose case-folded form is its ASCII letters lowered, ignoring case, as it is.
    bool matchesAscii(std::string_view record) const;

  private:
    struct Folded {};  // terms already in the form they are compared in
    TermMatcher(Folded, std::vector<std::string> terms, bool ignoreCase)
        : terms_(std::move(terms)), ignoreCase_(ignoreCase) {}

    std::vector<std::string> terms_;  // the non-empty terms, longest first
    bool ignoreCase_;
};

// Whether one record's UTF-8 text matches, folded into `scratch` first when ignoring case needs
// more than lowering its ASCII letters: what matchingRecords() finds for a loaded record.
bool textMatches(const TermMatcher& matcher, std::string_view utf8, std::string& scratch);

// Indices of the records that match, in array order. Large arrays are searched on every thread
// platform::threadsToUse() gives; the call returns when the search is complete.
std::vector<qint32> matchingRecords(const store::RecordArray& records, const TermMatcher& matcher);

// The same, looking only at the records named by `candidates` (ascending indices of `records`).
std::vector<qint32> matchingAmong(const store::RecordArray& records, const TermMatcher& matcher,
                                  std::span<const qint32> candidates);

}  // namespace trovix::search
