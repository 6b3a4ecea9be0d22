#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
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

// Tests records against all terms of a search: a record matches when it contains every term.
class TermMatcher {
  public:
    TermMatcher(const QStringList& terms, bool ignoreCase);

    bool ignoresCase() const { return ignoreCase_; }
    // The terms records are compared with (case-folded when ignoring case), longest first.
    const std::vector<std::string>& terms() const { return terms_; }
    // `record` in the form the terms are compared with: case-folded when ignoring case.
    bool matches(std::string_view record) const;
    // A record whose case-folded form is its ASCII letters lowered, ignoring case, as it is.
    bool matchesAscii(std::string_view record) const;

  private:
    std::vector<std::string> terms_;  // the non-empty terms, longest first
    bool ignoreCase_;
};

// Whether one record's UTF-8 text matches, folded into `scratch` first when ignoring case needs
// more than lowering its ASCII letters: what matchingRecords() finds for a loaded record.
bool textMatches(const TermMatcher& matcher, std::string_view utf8, std::string& scratch);

// Indices of the records that match, in array order. Large arrays are searched on two
// threads; the call returns when the search is complete.
std::vector<qint32> matchingRecords(const store::RecordArray& records, const TermMatcher& matcher);

}  // namespace trovix::search
