#pragma once

#include <QByteArrayView>
#include <QString>

namespace trovix::platform {

// File names are bytes to the system and text to the program; Qt turns one into the other in
// the system's encoding (UTF-8 on Linux). Bytes that are not valid UTF-8 have no text that turns
// back into them: Qt shows them as "\uFFFD", and a file opened or saved by that text is another
// file than the one the bytes name. Such names are refused, never guessed at.

// The text of a name given as bytes, such as a command-line argument. A byte that is not valid
// text is kept as the character U+DC80 + byte, which no name decoded by Qt holds, so the name
// can be refused and shown with its bytes.
QString fileNameFromBytes(QByteArrayView bytes);

// Why no file can be opened or saved by this name as it is shown; empty when one can. The name
// holds bytes kept by fileNameFromBytes(), or a "\uFFFD" where nothing by that name exists
// (what Qt makes of bytes it cannot read, in a name typed into a dialog or taken from older
// settings).
QString unusableNameReason(const QString& name);

// The name for a message, each kept byte written as \xFF.
QString displayFileName(const QString& name);

}  // namespace trovix::platform
