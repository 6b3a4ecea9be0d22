#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "platform/memory_limits.h"
#include "platform/safe_file.h"
#include "store/record_array.h"
#include "store/text_codec.h"

class QIODevice;

namespace trovix::store {

// The record-line marker: a file line that begins with it continues the record above; in an
// element it joins the record's lines.
inline constexpr std::string_view kRecordSep = "-----";
inline const QString kRecordSepText = QStringLiteral("-----");
// Position of the first "-----" in a text, or npos. Steps five bytes at a time over text
// without hyphens, so it stays fast on text full of single dashes such as phone numbers.
std::size_t findRecordSep(std::string_view text);

// The single record a slot holds when its file does not exist.
inline const QString kFileNotFound = QStringLiteral("<file not found>");

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

// True for an existing regular file (links followed). Any error counts as missing.
bool fileExists(const QString& fileName);

// Decodes a file's bytes and splits them into records: every line break followed by "-----"
// is removed (the continuation line joins its record), then the text is split at every line
// break. A file holding any CR LF breaks at CR LF only; one with LF but no CR LF breaks at LF.
DataFileContent parseDataFile(QByteArray bytes);

// What a slot holds for a missing file.
DataFileContent missingFileContent();

struct ReadResult {
    std::optional<DataFileContent> content;  // empty when the file exists but could not be read
    QString error;
    // What stands at the name. Anything but a regular file reads as a missing file.
    platform::PathKind kind = platform::PathKind::Missing;
    // The file as it was read, to tell later whether another program changed it.
    platform::FileStamp stamp;
    // Not read because it is too large: its records would not fit the memory left (or the
    // file is over 1 GB). `error` says how much it needs and what limits the memory.
    bool refused = false;
};

// Reads a data file whole; a missing file, or anything that is not a regular file, gives
// missingFileContent(). Before the records are stored their memory is worked out from the
// file's size and its number of records; a file that would not fit the room `limits` leave is
// refused, and so is one whose reading runs out of memory all the same.
ReadResult readDataFile(const QString& fileName,
                        const platform::MemoryLimits& limits = platform::systemMemoryLimits());

// Reads everything a device delivers until its end.
bool readWholeDevice(QIODevice& device, QByteArray& bytes, QString& error);

// The first character of the records, in file order, that `encoding` has no bytes for; none
// when every character fits.
std::optional<char32_t> firstCharacterEncodingLacks(const RecordArray& records, Encoding encoding);

// The bytes of a data file: the elements joined by line breaks, each "-----" put at the start
// of a line of its own. A last element that is empty stands for the line break that ends the
// file, so a file read and written again keeps its bytes.
// The file is written in `format`'s encoding when every character fits it, in UTF-8 otherwise,
// so that no character is ever lost; `written` receives the format actually used. A caller that
// saves a user's file asks before the encoding changes (firstCharacterEncodingLacks()).
bool writeDataFile(QIODevice& device, const RecordArray& records, const FileFormat& format,
                   FileFormat& written, QString& error);

struct SaveResult {
    bool ok = false;
    FileFormat format;  // the format the file now has
    QString error;
    bool unchanged = true;      // after a failure: the file holds its old bytes
    platform::FileStamp stamp;  // the file as written
};

// Saves safely: the old file stays whole until the new content is completely on the disk.
SaveResult saveDataFile(const QString& fileName, const RecordArray& records,
                        const FileFormat& format);

}  // namespace trovix::store
