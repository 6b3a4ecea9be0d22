#include "output/clipboard_copy.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/native.h"
#include "platform/parallel_work.h"

namespace trovix::output {

namespace {

bool allAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Rows [begin, end) of the list text: each row after the list's first follows a line break.
QString rowsText(const lists::ResultList& list, int begin, int end, const QString& lineBreak) {
    QString text;
    for (int row = begin; row < end; ++row) {
        if (row > 0) {
            text += lineBreak;
        }
        // A line of plain ASCII is widened as it stands, with no text made for it alone.
        const lists::ResultList::TextParts parts = list.textParts(row);
        if (parts.start.isEmpty() && allAscii(parts.line)) {
            text += QLatin1StringView(parts.line.data(), static_cast<qsizetype>(parts.line.size()));
        } else {
            text += list.text(row);
        }
    }
    return text;
}

}  // namespace

QString listText(const lists::ResultList& list) {
    const QString lineBreak = QString::fromLatin1(platform::nativeLineEnd());
    const auto rows = static_cast<std::size_t>(list.count());
    // A long list is put into words in parts at once, each on a thread of its own.
    constexpr std::size_t kLeastPerPart = 50000;
    const std::size_t parts = platform::partsFor(rows, kLeastPerPart);
    std::vector<QString> pieces(parts);
    platform::forEachPart(parts, [&](std::size_t part) {
        const platform::PartRange range = platform::partOf(rows, part, parts);
        pieces[part] =
            rowsText(list, static_cast<int>(range.begin), static_cast<int>(range.end), lineBreak);
    });
    if (parts == 1) {
        return std::move(pieces.front());
    }
    qsizetype size = 0;
    for (const QString& piece : pieces) {
        size += piece.size();
    }
    QString text;
    text.reserve(size);
    for (const QString& piece : pieces) {
        text += piece;
    }
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
