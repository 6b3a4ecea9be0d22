#include "store/record_bytes.h"

#include <algorithm>

namespace trovix::store {
namespace {

// Text this size or larger is checked in parts at once.
constexpr std::size_t kLeastCheckedPerPart = std::size_t{4} << 20;

// Whether the bytes are valid UTF-8, checked in parts cut at ASCII bytes so that no character
// is cut in two.
bool validUtf8InParts(std::string_view bytes) {
    const std::size_t n = bytes.size();
    const std::vector<platform::PartRange> parts = platform::cutIntoParts(
        n, platform::partsFor(n, kLeastCheckedPerPart),
        [&](std::size_t from) -> std::optional<std::pair<std::size_t, std::size_t>> {
            for (std::size_t at = from; at < n; ++at) {
                if (static_cast<unsigned char>(bytes[at]) < 0x80) {
                    return std::pair{at, at};
                }
            }
            return std::nullopt;
        });
    std::vector<char> valid(parts.size(), 0);  // not vector<bool>: each part writes its own
    platform::forEachPart(parts.size(), [&](std::size_t part) {
        valid[part] =
            isValidUtf8(bytes.substr(parts[part].begin, parts[part].end - parts[part].begin)) ? 1
                                                                                              : 0;
    });
    return std::find(valid.begin(), valid.end(), 0) == valid.end();
}

}  // namespace

FileBytes FileBytes::of(std::string_view bytes) {
    FileBytes file;
    file.bytes = bytes;
    file.encoding = validUtf8InParts(bytes) ? Encoding::Utf8 : Encoding::Windows1252;
    file.lineBreak = detectLineBreak(bytes.data(), bytes.size());
    return file;
}

std::string_view FileBytes::recordText(std::size_t begin, std::size_t end,
                                       std::string& scratch) const {
    std::string_view record = bytes.substr(begin, end - begin);
    if (lineBreak && record.find('\n') != std::string_view::npos) {
        // Every line break within a record is followed by the marker and goes; the marker stays.
        scratch.clear();
        const std::size_t breakSize = *lineBreak == LineBreak::CrLf ? 2 : 1;
        std::size_t lineStart = 0;
        for (std::size_t at;
             (at = nextBreak(record.data(), record.size(), lineStart, *lineBreak)) != kNoBreak;
             lineStart = at + 1) {
            scratch.append(record.substr(lineStart, at + 1 - breakSize - lineStart));
        }
        scratch.append(record.substr(lineStart));
        record = scratch;
    }
    if (encoding == Encoding::Windows1252 && !isAsciiText(record)) {
        const QByteArray utf8 = windows1252ToUtf8(record);
        scratch.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        record = scratch;
    }
    return record;
}

std::size_t FileBytes::recordEnd(std::size_t begin, std::size_t to) const {
    if (!lineBreak) {
        return to;
    }
    const std::size_t breakSize = *lineBreak == LineBreak::CrLf ? 2 : 1;
    for (std::size_t lineStart = begin;;) {
        const std::size_t at = nextBreak(bytes.data(), to, lineStart, *lineBreak);
        if (at == kNoBreak) {
            return to;
        }
        lineStart = at + 1;
        if (!startsWithSep(bytes.data(), to, lineStart)) {
            return at + 1 - breakSize;
        }
    }
}

void FileBytes::appendLines(std::size_t begin, std::size_t end, std::string_view prefix,
                            std::string_view lineEnd, std::string& out) const {
    const std::string_view record = bytes.substr(begin, end - begin);
    std::size_t lineStart = 0;
    if (lineBreak) {
        const std::size_t breakSize = *lineBreak == LineBreak::CrLf ? 2 : 1;
        for (std::size_t at;
             (at = nextBreak(record.data(), record.size(), lineStart, *lineBreak)) != kNoBreak;
             lineStart = at + 1) {
            out.append(prefix).append(record.substr(lineStart, at + 1 - breakSize - lineStart));
            out.append(lineEnd);
        }
    }
    out.append(prefix).append(record.substr(lineStart)).append(lineEnd);
}

std::vector<platform::PartRange> FileBytes::recordParts(std::size_t leastPerPart) const {
    const std::size_t n = bytes.size();
    if (!lineBreak) {
        return {{0, n}};
    }
    const std::size_t breakSize = *lineBreak == LineBreak::CrLf ? 2 : 1;
    const char* d = bytes.data();
    return platform::cutIntoParts(n, platform::partsFor(n, leastPerPart), [&](std::size_t from) {
        std::optional<std::pair<std::size_t, std::size_t>> cut;
        for (std::size_t at = from; (at = nextBreak(d, n, at, *lineBreak)) != kNoBreak; ++at) {
            if (at + 1 - breakSize >= from && !startsWithSep(d, n, at + 1)) {
                cut.emplace(at + 1 - breakSize, at + 1);
                break;
            }
        }
        return cut;
    });
}

}  // namespace trovix::store
