#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "lists/slot.h"

namespace trovix::undo {

using FileSlots = std::array<lists::FileSlot, 3>;

// Each kind of step holds only what it takes to go back and forth: the texts it replaced, an
// order, the elements it took out, or the contents of the slots it replaced. A step that holds
// texts or contents swaps them with what the slots hold, so once undone it holds what a redo
// puts back; an order serves both ways.

// Elements whose texts changed, and elements added at the end (New). Texts and tail hold what
// the array does not: the texts before the change while it is done, after it while undone.
struct TextsStep {
    int slot = 0;
    std::vector<qint32> indices;
    std::vector<std::string> texts;
    qsizetype sizeBefore = 0;
    qsizetype sizeAfter = 0;
    std::vector<std::string> tail;  // the added elements while undone
};

// The records put in another order: element k of the new order was element order[k].
struct OrderStep {
    int slot = 0;
    std::vector<qint32> order;
};

// Elements taken out of the slots (the blank records a compaction drops), by their indices
// before the removal; their texts are held while they are out.
struct RemovalStep {
    std::array<std::vector<qint32>, 3> indices;
    std::array<std::vector<std::string>, 3> texts;
};

using lists::SlotContent;

// Slots whose whole content another took the place of: a file read again, another file chosen,
// backups restored, or records recovered. The loaded buffer of the content held is shared, not
// copied. What a slot knows of its files on the disk is not part of it: only reading and saving
// change that.
struct ContentStep {
    std::array<std::optional<SlotContent>, 3> contents;
};

using StepChange = std::variant<TextsStep, OrderStep, RemovalStep, ContentStep>;

// What a step that changed one file's records did: the records sorted, another file's merged
// in, the file read again, unsaved changes recovered, or another file chosen.
enum class FileStep { Sort, Merge, Reload, Recovery, Choice };

// A step's name with the file it changed, without its folder, as one text in the user's
// language: "Sort of phone_numbers.txt".
QString nameWithFile(FileStep what, const QString& path);

// Takes the step back, or does it again. Returns the element a user wants to see afterwards in
// the step's first slot, or -1.
qint32 undoChange(StepChange& change, FileSlots& slots);
qint32 redoChange(StepChange& change, FileSlots& slots);

// The slots a step changes.
std::array<bool, 3> slotsOf(const StepChange& change);
// About the memory a step holds.
std::size_t bytesOf(const StepChange& change);

}  // namespace trovix::undo
