#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "platform/memory_limits.h"
#include "platform/result.h"
#include "store/data_format.h"
#include "store/reading_progress.h"

class QFile;

// Turning a data file's bytes into records. Large files are checked and split in parts at once.
namespace trovix::store {

// Decodes a file's bytes and splits them into records: every line break followed by "-----"
// is removed (the continuation line joins its record), then the text is split at every line
// break. A file holding any CR LF breaks at CR LF only; one with LF but no CR LF breaks at LF.
DataFileContent parseDataFile(QByteArray bytes);

// parseDataFile, unless the records would not fit `room`: then a failure that says why.
platform::Result<DataFileContent> parseDataFileWithin(QByteArray bytes,
                                                      const platform::MemoryRoom& room);

// Reads a large file and splits it into records at once: a second thread checks the text and
// splits it piece by piece right behind the reading, so a file is ready little after its last
// byte is in. Files this reading cannot take as they come give nothing, to be read the plain
// way: small ones, ones whose first piece holds no line break or short records, Windows-1252
// text (found invalid as UTF-8 on the way), a CR LF met in what began as an LF text, a read
// that fails, and files whose records might not fit the memory left if they were all short.
// Each piece read is told to `progress`; once it says stop, nothing is given either.
std::optional<DataFileContent> readWhileSplitting(QFile& file, const platform::MemoryRoom& room,
                                                  ReadingProgress& progress);

// Why a file of `needed` bytes in memory (and `records` records, when they are counted) is not
// loaded, or nothing when it fits the room beside what is kept free for the rest of the program.
QString refusalFor(qint64 needed, std::optional<std::size_t> records,
                   const platform::MemoryRoom& room);

}  // namespace trovix::store
