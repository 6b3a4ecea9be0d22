#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trovix::store {

// How a data file's bytes map to text. Records are held as UTF-8 in memory whatever the file's
// encoding; Windows-1252 maps every byte to one character, so any file round-trips byte for byte.
enum class Encoding { Utf8, Windows1252 };

// Whether a text holds only ASCII bytes.
bool isAsciiText(std::string_view bytes);

// Whether folding the case of a UTF-8 text only lowers its ASCII letters: every other
// character is its own case-folded form (as "é" or "ñ" are, but not "É"). Such a text can be
// compared ignoring case without a folded copy.
bool foldsByLoweringAscii(std::string_view utf8);

// Strict UTF-8: rejects overlong forms, surrogates and code points above U+10FFFF, so that every
// accepted text decodes and re-encodes to the same bytes.
bool isValidUtf8(std::string_view bytes);
// The size of the character that `left` bytes at `p` begin with, by the same rule; 0 when they
// begin with none.
inline std::size_t validUtf8CharSize(const unsigned char* p, std::size_t left) {
    const unsigned char lead = *p;
    if (lead < 0x80) {
        return 1;
    }
    std::size_t extra;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        min = 0x10000;
    } else {
        return 0;
    }
    if (left <= extra) {
        return 0;
    }
    char32_t c = lead & (0x3F >> extra);
    for (std::size_t i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (p[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return extra + 1;
}

// Decodes Windows-1252 bytes into UTF-8. The five bytes the code page leaves undefined map to
// the C1 control characters of the same value. The result is allocated once, at its exact size.
QByteArray windows1252ToUtf8(std::string_view bytes);
// The size of that UTF-8 text, counted without making it.
std::size_t windows1252Utf8Size(std::string_view bytes);

// Whether every character of the UTF-8 text has a Windows-1252 byte.
bool fitsWindows1252(std::string_view utf8);
// The first character of the UTF-8 text that Windows-1252 has no byte for, if any.
std::optional<char32_t> firstCharacterOutsideWindows1252(std::string_view utf8);

// "UTF-8", "Windows-1252": the encoding's name for messages.
QString encodingName(Encoding encoding);

// The longest start of a UTF-8 text that holds at most `maxBytes` bytes and ends between two
// characters.
std::string_view utf8Prefix(std::string_view utf8, std::size_t maxBytes);

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

// An ASCII letter in lower case; every other byte as it is.
constexpr unsigned char lowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c;
}

// Texts compared in lower case (each character mapped to its lower-case form, one to one),
// character by character by code point, a proper prefix being smaller: <0, 0 or >0.
int compareLowered(std::string_view a, std::string_view b);
// The first 32 bytes of the lower-case form in UTF-8, as big-endian words, padded with zero
// bytes: texts whose prefixes differ compare as their prefixes do.
struct LoweredPrefix {
    std::array<std::uint64_t, 4> words;
    friend auto operator<=>(const LoweredPrefix&, const LoweredPrefix&) = default;
};
LoweredPrefix loweredPrefix(std::string_view utf8);

// Appends the Windows-1252 bytes of a UTF-8 text that fitsWindows1252().
void appendAsWindows1252(std::string_view utf8, std::string& out);

}  // namespace trovix::store
