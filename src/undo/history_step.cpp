#include "undo/history_step.h"

#include <QCoreApplication>
#include <utility>

namespace trovix::undo {
namespace {

template <class... Kinds>
struct Overloaded : Kinds... {
    using Kinds::operator()...;
};

std::string textOf(const store::RecordArray& records, qsizetype index) {
    return std::string(records.utf8(index));
}

// Exchanges the held texts with the array's, last first, so that an index named twice ends as
// it started.
void swapTexts(TextsStep& step, store::RecordArray& records) {
    for (std::size_t k = step.indices.size(); k-- > 0;) {
        if (!records.contains(step.indices[k])) {
            continue;  // never written past the end
        }
        std::string now = textOf(records, step.indices[k]);
        records.set(step.indices[k], step.texts[k]);
        step.texts[k] = std::move(now);
    }
}

void swapContent(std::optional<SlotContent>& held, lists::FileSlot& slot) {
    if (held) {
        std::swap(*held, static_cast<SlotContent&>(slot));
    }
}

// A content step is its own inverse: undone or redone, the held contents and the slots' trade.
qint32 swapContents(ContentStep& step, FileSlots& slots) {
    for (std::size_t n = 0; n < slots.size(); ++n) {
        swapContent(step.contents[n], slots[n]);
    }
    return -1;
}

std::size_t stringBytes(const std::vector<std::string>& texts) {
    std::size_t bytes = texts.size() * sizeof(std::string);
    for (const std::string& t : texts) {
        bytes += t.size();
    }
    return bytes;
}

}  // namespace

QString nameWithFile(FileStep what, const QString& path) {
    const QString file = path.section(u'/', -1);
    switch (what) {
        case FileStep::Sort:
            return QCoreApplication::translate("HistoryStep", "Sort of %1").arg(file);
        case FileStep::Merge:
            return QCoreApplication::translate("HistoryStep", "Merge of %1").arg(file);
        case FileStep::Reload:
            return QCoreApplication::translate("HistoryStep", "Reload of %1").arg(file);
        case FileStep::Recovery:
            return QCoreApplication::translate("HistoryStep", "Recovery of %1").arg(file);
        case FileStep::Choice:
            return QCoreApplication::translate("HistoryStep", "Choice of %1").arg(file);
    }
    return file;
}

qint32 undoChange(StepChange& change, FileSlots& slots) {
    return std::visit(Overloaded{
                          [&](TextsStep& s) -> qint32 {
                              store::RecordArray& records =
                                  slots[static_cast<std::size_t>(s.slot)].records;
                              for (qsizetype i = s.sizeBefore; i < records.size(); ++i) {
                                  s.tail.push_back(textOf(records, i));
                              }
                              records.truncate(s.sizeBefore);
                              swapTexts(s, records);
                              return s.indices.empty() ? -1 : s.indices.front();
                          },
                          [&](OrderStep& s) -> qint32 {
                              slots[static_cast<std::size_t>(s.slot)].records.unpermute(s.order);
                              return -1;
                          },
                          [&](RemovalStep& s) -> qint32 {
                              for (std::size_t n = 0; n < slots.size(); ++n) {
                                  slots[n].records.insertAt(s.indices[n], s.texts[n]);
                                  s.texts[n].clear();
                              }
                              return -1;
                          },
                          [&](ContentStep& s) -> qint32 { return swapContents(s, slots); },
                      },
                      change);
}

qint32 redoChange(StepChange& change, FileSlots& slots) {
    return std::visit(
        Overloaded{
            [&](TextsStep& s) -> qint32 {
                store::RecordArray& records = slots[static_cast<std::size_t>(s.slot)].records;
                swapTexts(s, records);
                for (const std::string& text : s.tail) {
                    records.append(std::string_view(text));
                }
                s.tail.clear();
                if (!s.indices.empty()) {
                    return s.indices.front();
                }
                return s.sizeAfter > s.sizeBefore ? static_cast<qint32>(s.sizeBefore) : -1;
            },
            [&](OrderStep& s) -> qint32 {
                slots[static_cast<std::size_t>(s.slot)].records.permute(s.order);
                return -1;
            },
            [&](RemovalStep& s) -> qint32 {
                for (std::size_t n = 0; n < slots.size(); ++n) {
                    store::RecordArray& records = slots[n].records;
                    for (const qint32 index : s.indices[n]) {
                        s.texts[n].push_back(textOf(records, index));
                    }
                    records.removeAt(s.indices[n]);
                }
                return -1;
            },
            [&](ContentStep& s) -> qint32 { return swapContents(s, slots); },
        },
        change);
}

std::array<bool, 3> slotsOf(const StepChange& change) {
    return std::visit(Overloaded{
                          [](const TextsStep& s) {
                              std::array<bool, 3> one{};
                              one[static_cast<std::size_t>(s.slot)] = true;
                              return one;
                          },
                          [](const OrderStep& s) {
                              std::array<bool, 3> one{};
                              one[static_cast<std::size_t>(s.slot)] = true;
                              return one;
                          },
                          [](const RemovalStep&) {
                              return std::array<bool, 3>{true, true, true};
                          },
                          [](const ContentStep& s) {
                              return std::array<bool, 3>{s.contents[0].has_value(),
                                                         s.contents[1].has_value(),
                                                         s.contents[2].has_value()};
                          },
                      },
                      change);
}

std::size_t bytesOf(const StepChange& change) {
    return sizeof(StepChange) +
           std::visit(Overloaded{
                          [](const TextsStep& s) {
                              return s.indices.size() * sizeof(qint32) + stringBytes(s.texts) +
                                     stringBytes(s.tail);
                          },
                          [](const OrderStep& s) { return s.order.size() * sizeof(qint32); },
                          [](const RemovalStep& s) {
                              std::size_t bytes = 0;
                              for (std::size_t n = 0; n < 3; ++n) {
                                  bytes += s.indices[n].size() * sizeof(qint32) +
                                           stringBytes(s.texts[n]);
                              }
                              return bytes;
                          },
                          [](const ContentStep& s) {
                              std::size_t bytes = 0;
                              for (const std::optional<SlotContent>& c : s.contents) {
                                  if (c) {
                                      bytes += c->records.memoryBytes() +
                                               static_cast<std::size_t>(
                                                   (c->fileName.size() + c->readName.size()) * 2);
                                  }
                              }
                              return bytes;
                          },
                      },
                      change);
}

}  // namespace trovix::undo
