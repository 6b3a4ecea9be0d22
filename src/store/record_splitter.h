#pragma once

#include <QByteArray>
#include <cstddef>

#include "platform/memory_limits.h"
#include "platform/result.h"
#include "store/data_format.h"

// Turning a data file's bytes into records. Large files are checked and split in parts at once.
namespace trovix::store {

// Large files are validated and split in parts at once, none smaller than this.
inline constexpr std::size_t kLeastPerPart = std::size_t{4} << 20;

// Decodes a file's bytes and splits them into records: every line break followed by "-----"
// is removed (the continuation line joins its record), then the text is split at every line
// break. A file holding any CR LF breaks at CR LF only; one with LF but no CR LF breaks at LF.
DataFileContent parseDataFile(QByteArray bytes);

// parseDataFile, unless the records would not fit `room`: then a failure that says why.
platform::Result<DataFileContent> parseDataFileWithin(QByteArray bytes,
                                                      const platform::MemoryRoom& room);

}  // namespace trovix::store
