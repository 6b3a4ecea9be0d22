#pragma once

#include <QString>

namespace trovix {

// The text without leading and trailing space characters (other white space stays).
QString trimSpaces(const QString& text);

// A path without its folders: the part after the last folder separator of this platform.
QString withoutFolder(const QString& fileName);

}  // namespace trovix
