#pragma once

#include <optional>

#include "platform/memory_limits.h"
#include "store/data_format.h"
#include "store/reading_progress.h"

class QFile;

namespace trovix::store {

// Reads a large file and splits it into records at once: a second thread checks the text and
// splits it piece by piece right behind the reading, so a file is ready little after its last
// byte is in. Files this reading cannot take as they come give nothing, to be read the plain
// way: small ones, ones whose first piece holds no line break or short records, Windows-1252
// text (found invalid as UTF-8 on the way), a CR LF met in what began as an LF text, a read
// that fails, and files whose records might not fit the memory left if they were all short.
// Each piece read is told to `progress`; once it says stop, nothing is given either.
std::optional<DataFileContent> readWhileSplitting(QFile& file, const platform::MemoryRoom& room,
                                                  ReadingProgress& progress);

}  // namespace trovix::store
