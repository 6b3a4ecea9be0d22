#include "undo/edit_history.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>

#include "lists/listing.h"

namespace trovix::undo {

EditHistory::EditHistory(Clock clock, std::size_t maxSteps, std::size_t maxBytes) {
    startOver(std::move(clock), maxSteps, maxBytes);
}

void EditHistory::startOver(Clock clock, std::size_t maxSteps, std::size_t maxBytes) {
    clock_ = std::move(clock);
    if (!clock_) {
        clock_ = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
    maxSteps_ = maxSteps;
    maxBytes_ = maxBytes;
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
    version_ = {};
    clean_ = {};
    nextVersion_ = 1;
    typing_ = false;
    tell();
}

void EditHistory::recordTyping(lists::SlotId id, const store::RecordArray& records, qint32 index,
                               std::string_view after) {
    const std::string_view before = records.utf8(index);
    if (before == after) {
        return;
    }
    const std::int64_t now = clock_();
    if (typing_ && typingSlot_ == id && typingIndex_ == index && done_ == steps_.size() &&
        now - lastKey_ < kTypingPause) {
        lastKey_ = now;  // the open burst already holds the text before it
        touched(id, false);
        return;
    }
    TextsStep step;
    step.slot = static_cast<int>(id);
    step.indices = {index};
    step.texts = {std::string(before)};
    step.sizeBefore = step.sizeAfter = records.size();
    push(QCoreApplication::translate("EditHistory", "Typing"), std::move(step));
    typing_ = true;
    typingSlot_ = id;
    typingIndex_ = index;
    lastKey_ = now;
}

void EditHistory::recordTexts(const QString& name, lists::SlotId id,
                              const store::RecordArray& records, std::vector<qint32> indices,
                              qsizetype sizeAfter) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    TextsStep step;
    step.slot = static_cast<int>(id);
    for (const qint32 i : indices) {
        step.texts.emplace_back(records.utf8(i));
    }
    step.indices = std::move(indices);
    step.sizeBefore = records.size();
    step.sizeAfter = sizeAfter;
    push(name, std::move(step));
}

void EditHistory::recordOrder(const QString& name, lists::SlotId id, std::vector<qint32> order) {
    push(name, OrderStep{static_cast<int>(id), std::move(order)});
}

void EditHistory::recordCompaction(const QString& name, const FileSlots& slots) {
    RemovalStep step;
    for (std::size_t n = 0; n < slots.size(); ++n) {
        const store::RecordArray& records = slots[n].records;
        step.indices[n] = lists::blankRecordsToRemove(records);
        for (const qint32 i : step.indices[n]) {
            step.texts[n].emplace_back(records.utf8(i));
        }
    }
    // Held while the elements are out: the step starts done.
    push(name, std::move(step));
}

void EditHistory::recordContents(const QString& name,
                                 std::array<std::optional<SlotContent>, 3> before,
                                 const FileSlots& slots) {
    push(name, ContentStep{std::move(before)});
    for (std::size_t n = 0; n < slots.size(); ++n) {
        if (!slots[n].changed) {
            clean_[n] = version_[n];
        }
    }
}

void EditHistory::push(QString name, StepChange change) {
    typing_ = false;
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    Step step{std::move(name), std::move(change), version_, version_, 0};
    const std::array<bool, 3> changing = slotsOf(step.change);
    for (std::size_t n = 0; n < 3; ++n) {
        if (changing[n]) {
            step.after[n] = version_[n] = nextVersion_++;
        }
    }
    step.bytes = bytesOf(step.change) + static_cast<std::size_t>(step.name.size()) * 2;
    bytes_ += step.bytes;
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    keepWithinBounds();
    touched(changing);
    tell();
}

void EditHistory::keepWithinBounds() {
    // The oldest step that can be undone goes first; with none, the last that can be redone.
    while (steps_.size() > 1 && (steps_.size() > maxSteps_ || bytes_ > maxBytes_)) {
        if (done_ > 0) {
            bytes_ -= steps_.front().bytes;
            steps_.pop_front();
            --done_;
        } else {
            bytes_ -= steps_.back().bytes;
            steps_.pop_back();
        }
    }
}

StepOutcome EditHistory::apply(Step& step, FileSlots& slots, bool redo) {
    typing_ = false;
    StepOutcome outcome;
    outcome.done = true;
    outcome.slots = slotsOf(step.change);
    outcome.record = redo ? redoChange(step.change, slots) : undoChange(step.change, slots);
    for (std::size_t n = 0; n < 3; ++n) {
        if (outcome.slots[n]) {
            version_[n] = redo ? step.after[n] : step.before[n];
            slots[n].changed = version_[n] != clean_[n];
            if (outcome.slot < 0) {
                outcome.slot = static_cast<int>(n);
            }
        }
    }
    bytes_ -= step.bytes;
    step.bytes = bytesOf(step.change) + static_cast<std::size_t>(step.name.size()) * 2;
    bytes_ += step.bytes;
    return outcome;
}

StepOutcome EditHistory::undo(FileSlots& slots) {
    if (!canUndo()) {
        return {};
    }
    const StepOutcome outcome = apply(steps_[done_ - 1], slots, false);
    --done_;
    touched(outcome.slots);
    tell();
    return outcome;
}

StepOutcome EditHistory::redo(FileSlots& slots) {
    if (!canRedo()) {
        return {};
    }
    const StepOutcome outcome = apply(steps_[done_], slots, true);
    ++done_;
    keepWithinBounds();  // a redone step may hold more than it did undone
    touched(outcome.slots);
    tell();
    return outcome;
}

void EditHistory::touched(const std::array<bool, 3>& slots) {
    for (std::size_t n = 0; n < slots.size(); ++n) {
        if (slots[n]) {
            touched(static_cast<lists::SlotId>(n), false);
        }
    }
}

}  // namespace trovix::undo
