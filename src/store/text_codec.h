#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace trovix::store {

// How a data file's bytes map to text. Records are held as UTF-8 in memory whatever the file's
// encoding; Windows-1252 maps every byte to one character, so any file round-trips byte for byte.
enum class Encoding { Utf8, Windows1252 };

// Strict UTF-8: rejects overlong forms, surrogates and code points above U+10FFFF, so that every
// accepted text decodes and re-encodes to the same bytes.
bool isValidUtf8(std::string_view bytes);

// Decodes Windows-1252 bytes into UTF-8. The five bytes the code page leaves undefined map to
// the C1 control characters of the same value.
QByteArray windows1252ToUtf8(std::string_view bytes);

// Whether every character of the UTF-8 text has a Windows-1252 byte.
bool fitsWindows1252(std::string_view utf8);

// UTF-8 to text, keeping a leading byte-order mark as a character (QString::fromUtf8 drops it,
// and a record must come back unchanged).
QString utf8ToText(std::string_view utf8);

// Appends the case-folded form of a UTF-8 text (Unicode simple case folding, character by
// character), the form in which searches that ignore case compare texts.
void appendCaseFolded(std::string_view utf8, std::string& out);

// Writes the case-folded form of a UTF-8 text to `out`, which has room for
// foldedSizeBound(utf8.size()) bytes, and returns the end of what it wrote.
char* foldCaseTo(std::string_view utf8, char* out);
constexpr std::size_t foldedSizeBound(std::size_t size) {
    return size + size / 2 + 4;
}

// Appends the Windows-1252 bytes of a UTF-8 text that fitsWindows1252().
void appendAsWindows1252(std::string_view utf8, std::string& out);

}  // namespace trovix::store
