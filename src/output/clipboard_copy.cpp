#include "output/clipboard_copy.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/native.h"
#include "platform/parallel_work.h"

namespace trovix::output {

namespace {

bool allAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A row's line when it is plain ASCII, to be widened as it stands with no text made for it.
std::optional<std::string_view> asciiLine(const lists::ResultList& list, int row) {
    const lists::ResultList::TextParts parts = list.textParts(row);
    if (parts.start.isEmpty() && allAscii(parts.line)) {
        return parts.line;
    }
    return std::nullopt;
}

qsizetype rowLength(const lists::ResultList& list, int row) {
    const std::optional<std::string_view> ascii = asciiLine(list, row);
    return ascii ? static_cast<qsizetype>(ascii->size()) : list.text(row).size();
}

QChar* writeRow(const lists::ResultList& list, int row, QChar* out) {
    if (const std::optional<std::string_view> ascii = asciiLine(list, row)) {
        return std::transform(ascii->begin(), ascii->end(), out,
                              [](char c) { return QChar(static_cast<char16_t>(c)); });
    }
    const QString text = list.text(row);
    return std::copy(text.begin(), text.end(), out);
}

}  // namespace

QString listText(const lists::ResultList& list) {
    const QString lineBreak = QString::fromLatin1(platform::nativeLineEnd());
    const auto rows = static_cast<std::size_t>(list.count());
    // A long list is put into words in parts at once, each on a thread of its own: first the
    // length of each part's text, then each part written into its place in the one text.
    constexpr std::size_t kLeastPerPart = 50000;
    const std::size_t parts = platform::partsFor(rows, kLeastPerPart);
    const auto rangeOf = [&](std::size_t part) {
        const platform::PartRange range = platform::partOf(rows, part, parts);
        return std::pair{static_cast<int>(range.begin), static_cast<int>(range.end)};
    };
    std::vector<qsizetype> starts(parts + 1, 0);
    platform::forEachPart(parts, [&](std::size_t part) {
        const auto [begin, end] = rangeOf(part);
        qsizetype length = 0;
        for (int row = begin; row < end; ++row) {
            length += (row > 0 ? lineBreak.size() : 0) + rowLength(list, row);
        }
        starts[part + 1] = length;
    });
    for (std::size_t part = 0; part < parts; ++part) {
        starts[part + 1] += starts[part];
    }
    if (starts[parts] == 0) {
        return {};
    }
    QString text(starts[parts], Qt::Uninitialized);
    QChar* const whole = text.data();
    platform::forEachPart(parts, [&](std::size_t part) {
        const auto [begin, end] = rangeOf(part);
        QChar* out = whole + starts[part];
        for (int row = begin; row < end; ++row) {
            if (row > 0) {
                out = std::copy(lineBreak.begin(), lineBreak.end(), out);
            }
            out = writeRow(list, row, out);
        }
    });
    return text;
}

void copyList(const platform::Services& services, const lists::FileSlot* focused) {
    platform::Clipboard& clipboard = *services.clipboard;
    clipboard.clear();
    if (focused != nullptr) {
        clipboard.setText(listText(focused->list));
    }
}

void copySelection(const platform::Services& services, const lists::FileSlot* focused) {
    platform::Clipboard& clipboard = *services.clipboard;
    clipboard.clear();
    if (focused != nullptr) {
        const int row = focused->list.listIndex();
        clipboard.setText(row >= 0 ? focused->list.text(row) : QString());
    }
}

}  // namespace trovix::output
