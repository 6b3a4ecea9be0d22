#include "store/record_text.h"

#include "store/data_format.h"
#include "store/text_codec.h"

namespace trovix::store {

std::string_view firstLine(std::string_view element) {
    const std::size_t at = findRecordSep(element);
    return at == std::string_view::npos ? element : element.substr(0, at);
}

std::string_view lineOf(std::string_view element, int line) {
    for (; line > 0; --line) {
        const std::size_t at = findRecordSep(element);
        if (at == std::string_view::npos) {
            return {};
        }
        element.remove_prefix(at + kRecordSep.size());
    }
    return firstLine(element);
}

int furtherLineCount(std::string_view element) {
    int count = 0;
    for (std::size_t at; (at = findRecordSep(element)) != std::string_view::npos; ++count) {
        element.remove_prefix(at + kRecordSep.size());
    }
    return count;
}

QString shortened(const QString& text, int maxChars) {
    return text.size() <= maxChars ? text : text.left(maxChars) + QChar(0x2026);
}

QString shortenedUtf8(std::string_view utf8, int maxChars) {
    // A character takes one to four bytes.
    const std::string_view start = utf8Prefix(utf8, static_cast<std::size_t>(maxChars) * 4);
    const QString text = utf8ToText(start);
    return start.size() < utf8.size() || text.size() > maxChars
               ? text.left(maxChars) + QChar(0x2026)
               : text;
}

}  // namespace trovix::store
