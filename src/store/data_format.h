#pragma once

#include <QString>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/result.h"
#include "store/record_array.h"
#include "store/text_codec.h"

class QIODevice;

// The data file's format: records separated by line breaks, a record's further lines each
// continued by a line that begins with the marker, in UTF-8 or Windows-1252.
namespace trovix::store {

// The record-line marker: a file line that begins with it continues the record above; in an
// element it joins the record's lines.
inline constexpr std::string_view kRecordSep = "-----";
inline const QString kRecordSepText = QStringLiteral("-----");
// Position of the first "-----" in a text, or npos. Steps five bytes at a time over text
// without hyphens, so it stays fast on text full of single dashes such as phone numbers.
std::size_t findRecordSep(std::string_view text);

enum class LineBreak { CrLf, Lf };

// How a file is written back: in the encoding and with the line breaks it was read with.
struct FileFormat {
    Encoding encoding = Encoding::Utf8;
    LineBreak lineBreak = LineBreak::Lf;
    // The file begins with an empty line continued by a "-----" line. Its first record reads
    // the same as when the file begins with the "-----" line itself; this keeps the bytes.
    bool leadingBreak = false;

    // The format of a new file on this platform.
    static FileFormat native();
    friend bool operator==(const FileFormat&, const FileFormat&) = default;
};

struct DataFileContent {
    RecordArray records;
    FileFormat format;
};

// What a slot holds for a missing file.
DataFileContent missingFileContent();

// The first character of the records, in file order, that `encoding` has no bytes for; none
// when every character fits.
std::optional<char32_t> firstCharacterEncodingLacks(const RecordArray& records, Encoding encoding);

// The bytes of a data file: the elements joined by line breaks, each "-----" put at the start
// of a line of its own. A last element that is empty stands for the line break that ends the
// file, so a file read and written again keeps its bytes.
// The file is written in `format`'s encoding when every character fits it, in UTF-8 otherwise,
// so that no character is ever lost; the result is the format actually used. A caller that
// saves a user's file asks before the encoding changes (firstCharacterEncodingLacks()).
platform::Result<FileFormat> writeDataFile(QIODevice& device, const RecordArray& records,
                                           const FileFormat& format);

// Scanning a file's bytes, for the splitter.

// What nextBreak() gives when no line break follows.
inline constexpr std::size_t kNoBreak = static_cast<std::size_t>(-1);
// Whether the marker starts at `at` in the `n` bytes at `d`.
inline bool startsWithSep(const char* d, std::size_t n, std::size_t at) {
    return n - at >= kRecordSep.size() && std::memcmp(d + at, kRecordSep.data(), 5) == 0;
}
// Which line break a text uses: any CR LF makes it a CR LF text; otherwise LF if it has one.
std::optional<LineBreak> detectLineBreak(const char* d, std::size_t n);
// Index of the LF of the next line break at or after `from`, or kNoBreak.
std::size_t nextBreak(const char* d, std::size_t n, std::size_t from, LineBreak lb);

}  // namespace trovix::store
