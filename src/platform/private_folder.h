#pragma once

#include <QString>

#include "platform/result.h"

// The folders that hold copies of the user's records (rollback copies, recovery files): readable
// by this user only, and never a link to somewhere else.
namespace trovix::platform {

// Makes sure `folder` is a private folder of this user's, making it, and any missing folder
// above it, with mode 0700. An existing folder must be a folder itself, not a symbolic link, and
// belong to this user; one that others may reach is closed to them, through the folder itself,
// never through a link. `levels` folders are checked so, from `folder` upwards (those that are
// the program's own); the ones above them are only made when missing. Otherwise the failure says
// why, and nothing may be kept there.
Result<void> makePrivateFolder(const QString& folder, int levels = 1);

// The same checks, and closing to others, of a folder that exists; a missing one is not made,
// and passes.
Result<void> checkPrivateFolder(const QString& folder, int levels = 1);

// Whether `path` is a regular file, not a link, that belongs to this user: only such files of a
// private folder are read back, offered or removed.
bool isOwnRegularFile(const QString& path);

}  // namespace trovix::platform
