#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The values of an INI file, in the dialect of Qt's QSettings, which earlier versions of Trovix
// wrote its settings in.
namespace trovix::ini {

// A value is read as QSettings reads it: blanks around it are dropped, double quotes group text,
// backslash escapes (\n, \", \\, \xHHHH, octal \0, a backslash at the end of a line) are
// decoded, and unquoted commas split it into a list, returned here as its items joined by ", ".
// `@@text` stands for `@text`; `@String(...)`, `@ByteArray(...)` and `@Variant(...)` read as
// the text they hold, when they hold text. Bytes that are not valid UTF-8 are read as Latin-1.
std::optional<QString> decodeIniValue(QByteArrayView raw);
// The right-hand side of `key=` that reads back as `text`, here and in QSettings alike.
QByteArray encodeIniValue(const QString& text);
// The same for a line that has a double quote open before its value, which quotes would turn
// inside out: the characters that quotes would protect are escaped instead.
QByteArray encodeIniValueWithoutQuotes(const QString& text);

}  // namespace trovix::ini
