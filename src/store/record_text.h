#pragma once

#include <QString>
#include <string_view>

// The text of a record as its element holds it: lines joined by "-----".
namespace trovix::store {

// The element's first line, up to its first "-----".
std::string_view firstLine(std::string_view element);
// Line `line` (0 for the first) of an element; empty when it has fewer lines.
std::string_view lineOf(std::string_view element, int line);
// Number of lines after the first one.
int furtherLineCount(std::string_view element);

// A text cut to at most `maxChars` characters, ending in "…" when it was cut.
QString shortened(const QString& text, int maxChars);
// The same for UTF-8, converting only the part that is kept.
QString shortenedUtf8(std::string_view utf8, int maxChars);

}  // namespace trovix::store
