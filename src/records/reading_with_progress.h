#pragma once

#include <QString>

#include "lists/slot.h"
#include "platform/result.h"
#include "store/data_file_io.h"

namespace trovix::records {

// Reads a data file, telling the window's progress display of each piece read: a long reading
// shows its progress with a Cancel button. A cancelled reading fails as `cancelled`.
platform::Result<store::ReadFile, store::ReadFailure> readWithProgress(
    const lists::FileContext& files, const QString& fileName);

// The user cancelled reading a slot's file: the slot lists "<file not found>" and is never saved
// over the file, which it has not read; the settings keep the file it read before (or the usual
// file) in its place, so the next start does not read the cancelled one again.
void leaveUnread(const lists::FileContext& files, lists::SlotId id);

}  // namespace trovix::records
