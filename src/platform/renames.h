#pragma once

#include <QByteArray>

// Renames the system does in one step, beyond replacing a file: exchanging two names, and
// taking a name only while it is free.
namespace trovix::platform {

enum class Renamed { Done, Unsupported, Failed };  // Failed: errno says why

// Exchanges what two names stand for.
Renamed exchangeNames(const QByteArray& a, const QByteArray& b);
// Renames `from` to `to` unless something stands at `to`.
Renamed renameUnlessTaken(const QByteArray& from, const QByteArray& to);

}  // namespace trovix::platform
