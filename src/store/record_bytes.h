#pragma once

#include <QByteArray>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/parallel_work.h"
#include "store/data_format.h"
#include "store/text_codec.h"

// A data file's records where they stand in its bytes, for reading a file without loading it:
// the records found are the ones parseDataFile() makes of the same bytes, in the same order.
namespace trovix::store {

// The bytes of a data file with what reading it decides: the encoding (Windows-1252 when the
// bytes are not valid UTF-8) and the line break (none when the file holds none).
struct FileBytes {
    std::string_view bytes;
    Encoding encoding = Encoding::Utf8;
    std::optional<LineBreak> lineBreak;

    // Works both out, checking the encoding of large files in parts at once.
    static FileBytes of(std::string_view bytes);

    // The record [begin, end) as the records of a loaded file hold it: UTF-8, its lines joined
    // by the marker that begins each further line. Borrows the bytes when they already are that
    // text; otherwise writes it to `scratch`, whose text it then returns.
    std::string_view recordText(std::size_t begin, std::size_t end, std::string& scratch) const;

    // Appends the record's lines in the file's own bytes, each begun by `prefix` and ended by
    // `lineEnd`.
    void appendLines(std::size_t begin, std::size_t end, std::string_view prefix,
                     std::string_view lineEnd, std::string& out) const;

    // The end of the record that begins at `begin`, within [begin, to).
    std::size_t recordEnd(std::size_t begin, std::size_t to) const;

    // Calls visit(begin, end) for each record of [from, to), in order; `from` begins a record.
    // A record's end is the start of the line break that ends it, or `to`.
    template <typename Visit>
    void forEachRecord(std::size_t from, std::size_t to, Visit visit) const {
        if (!lineBreak) {
            visit(from, to);
            return;
        }
        const std::size_t breakSize = *lineBreak == LineBreak::CrLf ? 2 : 1;
        const char* d = bytes.data();
        std::size_t recordStart = from;
        std::size_t lineStart = from;
        for (;;) {
            const std::size_t at = nextBreak(d, to, lineStart, *lineBreak);
            if (at == kNoBreak) {
                visit(recordStart, to);
                return;
            }
            lineStart = at + 1;
            if (!startsWithSep(d, to, lineStart)) {
                visit(recordStart, at + 1 - breakSize);
                recordStart = lineStart;
            }
        }
    }

    // Parts of the bytes that each hold whole records, to be searched at once: cut at line
    // breaks that end a record, the break itself in neither part.
    std::vector<platform::PartRange> recordParts(std::size_t leastPerPart) const;
};

}  // namespace trovix::store
