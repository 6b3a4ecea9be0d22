#include "store/text_codec.h"

#include <QStringDecoder>
#include <array>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace trovix::store {
namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t windows1252Char(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

// The byte of a character, or -1 when the code page has none.
int windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Writes the UTF-8 bytes of a character; returns the end of what it wrote.
char* encodeUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

bool allAscii8(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080ULL) == 0;
}

// Eight ASCII bytes with every letter from 'A' to 'Z' lowered.
std::uint64_t lowerAscii8(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t ones = 0x0101010101010101ULL;
    const std::uint64_t aboveZ = word + ones * (0x7F - 'Z');
    const std::uint64_t fromA = word + ones * (0x80 - 'A');
    const std::uint64_t upper = fromA & ~aboveZ & (ones * 0x80);
    return word | (upper >> 2);
}

// Decodes one UTF-8 sequence of valid text starting at p; advances p.
char32_t nextChar(const unsigned char*& p) {
    const unsigned char lead = *p++;
    if (lead < 0x80) {
        return lead;
    }
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t c = lead & (0x3F >> extra);
    while (extra-- > 0) {
        c = (c << 6) | (*p++ & 0x3F);
    }
    return c;
}

}  // namespace

// The length of the ASCII run at the start of a text, found sixteen bytes at a time.
std::size_t asciiPrefix(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
#ifdef __SSE2__
    for (; i + 64 <= n; i += 64) {
        const auto* b = reinterpret_cast<const __m128i*>(p + i);
        const __m128i any =
            _mm_or_si128(_mm_or_si128(_mm_loadu_si128(b), _mm_loadu_si128(b + 1)),
                         _mm_or_si128(_mm_loadu_si128(b + 2), _mm_loadu_si128(b + 3)));
        if (_mm_movemask_epi8(any) != 0) {
            break;
        }
    }
    for (; i + 16 <= n; i += 16) {
        const int high =
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        if (high != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high)));
        }
    }
#endif
    for (; i + 8 <= n && allAscii8(p + i); i += 8) {
    }
    while (i < n && p[i] < 0x80) {
        ++i;
    }
    return i;
}

bool isAsciiText(std::string_view bytes) {
    return asciiPrefix(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) ==
           bytes.size();
}

bool foldsByLoweringAscii(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        p += asciiPrefix(p, static_cast<std::size_t>(end - p));
        if (p < end) {
            const char32_t c = nextChar(p);
            if (QChar::toCaseFolded(c) != c) {
                return false;
            }
        }
    }
    return true;
}

bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            p += asciiPrefix(p, static_cast<std::size_t>(end - p));
            continue;
        }
        const std::size_t size = validUtf8CharSize(p, static_cast<std::size_t>(end - p));
        if (size == 0) {
            return false;
        }
        p += size;
    }
    return true;
}

std::size_t windows1252Utf8Size(std::string_view bytes) {
    std::size_t size = 0;
    for (const char ch : bytes) {
        const char32_t c = windows1252Char(static_cast<unsigned char>(ch));
        size += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
    }
    return size;
}

QByteArray windows1252ToUtf8(std::string_view bytes) {
    QByteArray out(static_cast<qsizetype>(windows1252Utf8Size(bytes)), Qt::Uninitialized);
    char* at = out.data();
    for (const char ch : bytes) {
        at = encodeUtf8(windows1252Char(static_cast<unsigned char>(ch)), at);
    }
    return out;
}

std::string_view utf8Prefix(std::string_view utf8, std::size_t maxBytes) {
    if (utf8.size() <= maxBytes) {
        return utf8;
    }
    std::size_t end = maxBytes;
    // Continuation bytes (10xxxxxx) belong to the character that began before them.
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
        --end;
    }
    return utf8.substr(0, end);
}

QString utf8ToText(std::string_view utf8) {
    if (utf8.size() < 3 || std::memcmp(utf8.data(), "\xEF\xBB\xBF", 3) != 0) {
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    }
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

char* foldCaseTo(std::string_view utf8, char* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        if (end - p >= 8 && allAscii8(p)) {
            // Eight ASCII letters at a time: set bit 5 of every byte from 'A' to 'Z'.
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t ones = 0x0101010101010101ULL;
            const std::uint64_t aboveZ = word + ones * (0x7F - 'Z');
            const std::uint64_t fromA = word + ones * (0x80 - 'A');
            const std::uint64_t upper = fromA & ~aboveZ & (ones * 0x80);
            word |= upper >> 2;
            std::memcpy(out, &word, sizeof word);
            p += 8;
            out += 8;
            continue;
        }
        if (*p < 0x80) {
            const unsigned char c = *p++;
            *out++ = static_cast<char>(lowerAscii(c));
            continue;
        }
        out = encodeUtf8(QChar::toCaseFolded(nextChar(p)), out);
    }
    return out;
}

namespace {

// The next character of a valid UTF-8 text in lower case; advances p.
char32_t nextLowered(const unsigned char*& p) {
    const unsigned char c = *p;
    if (c < 0x80) {
        ++p;
        return lowerAscii(c);
    }
    return QChar::toLower(nextChar(p));
}

}  // namespace

int compareLowered(std::string_view a, std::string_view b) {
    const auto* p = reinterpret_cast<const unsigned char*>(a.data());
    const auto* pEnd = p + a.size();
    const auto* q = reinterpret_cast<const unsigned char*>(b.data());
    const auto* qEnd = q + b.size();
    while (p < pEnd && q < qEnd) {
        // Eight ASCII bytes of each at a time, their letters lowered, while they agree.
        if (pEnd - p >= 8 && qEnd - q >= 8 && allAscii8(p) && allAscii8(q)) {
            const std::uint64_t x = lowerAscii8(p);
            const std::uint64_t y = lowerAscii8(q);
            if (x == y) {
                p += 8;
                q += 8;
                continue;
            }
        }
        if (*p == *q && *p < 0x80 && lowerAscii(*p) == *p) {
            ++p;
            ++q;
            continue;
        }
        const char32_t x = nextLowered(p);
        const char32_t y = nextLowered(q);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return p < pEnd ? 1 : (q < qEnd ? -1 : 0);
}

LoweredPrefix loweredPrefix(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    char bytes[32 + 4] = {};
    char* out = bytes;
    while (p < end && out < bytes + 32) {
        out = encodeUtf8(nextLowered(p), out);
    }
    LoweredPrefix prefix{};
    for (std::size_t w = 0; w < prefix.words.size(); ++w) {
        for (std::size_t i = 0; i < 8; ++i) {
            prefix.words[w] = (prefix.words[w] << 8) | static_cast<unsigned char>(bytes[8 * w + i]);
        }
    }
    return prefix;
}

void appendCaseFolded(std::string_view utf8, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + foldedSizeBound(utf8.size()));
    char* end = foldCaseTo(utf8, out.data() + start);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::optional<char32_t> firstCharacterOutsideWindows1252(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        if (end - p >= 8 && allAscii8(p)) {
            p += 8;
            continue;
        }
        const char32_t c = nextChar(p);
        if (windows1252Byte(c) < 0) {
            return c;
        }
    }
    return std::nullopt;
}

bool fitsWindows1252(std::string_view utf8) {
    return !firstCharacterOutsideWindows1252(utf8);
}

QString encodingName(Encoding encoding) {
    return encoding == Encoding::Windows1252 ? QStringLiteral("Windows-1252")
                                             : QStringLiteral("UTF-8");
}

void appendAsWindows1252(std::string_view utf8, std::string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        out.push_back(static_cast<char>(windows1252Byte(nextChar(p))));
    }
}

}  // namespace trovix::store
