#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string_view>
#include <vector>

#include "undo/history_step.h"

namespace trovix::undo {

// What an undo or a redo changed, for showing it.
struct StepOutcome {
    bool done = false;
    std::array<bool, 3> slots{};  // the slots whose records changed
    int slot = -1;                // the slot of the record to show, or -1
    qint32 record = -1;           // the record to show, or -1
};

// The one history of changes to the records of the three slots, for undo and redo. Steps are
// recorded where the records change; a burst of typing in one record is one step. Undoing a step
// puts back the records, their order and each slot's changed flag: a slot is unchanged exactly
// when it holds what was last read or saved.
//
// The history keeps at most maxSteps steps and about maxBytes of memory, dropping the oldest
// first; the newest step is always kept, however large.
class EditHistory : public QObject {
    Q_OBJECT
  public:
    static constexpr std::size_t kMaxSteps = 200;
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;
    // A pause in typing this long, in milliseconds, ends a burst.
    static constexpr std::int64_t kTypingPause = 1000;

    using Clock = std::function<std::int64_t()>;  // milliseconds, steadily rising
    explicit EditHistory(Clock clock = {}, std::size_t maxSteps = kMaxSteps,
                         std::size_t maxBytes = kMaxBytes);
    // Starts over, empty, with this clock and these bounds.
    void startOver(Clock clock = {}, std::size_t maxSteps = kMaxSteps,
                   std::size_t maxBytes = kMaxBytes);

    // Typing is about to change element `index` of a slot's records to `after`. Costs the
    // length of the record.
    void recordTyping(lists::SlotId id, const store::RecordArray& records, qint32 index,
                      std::string_view after);
    // The next keystroke starts a new step: the user left the record or gave a command.
    void endTyping() { typing_ = false; }

    // Elements `indices` of a slot's records are about to change, and the array to grow to
    // `sizeAfter` elements.
    void recordTexts(const QString& name, lists::SlotId id, const store::RecordArray& records,
                     std::vector<qint32> indices, qsizetype sizeAfter);
    // A slot's records were just put in a new order: element k was element order[k].
    void recordOrder(const QString& name, lists::SlotId id, std::vector<qint32> order);
    // The blank records of every slot are about to be removed.
    void recordCompaction(const QString& name, const FileSlots& slots);
    // The slots named in `before` just got new contents (read again, another file chosen,
    // backups restored); `before` holds what they held. Each slot's changed flag stays as the
    // change left it.
    void recordContents(const QString& name, std::array<std::optional<SlotContent>, 3> before,
                        const FileSlots& slots);

    // The slot now holds what its file holds.
    void markSaved(lists::SlotId id) {
        clean_[index(id)] = version_[index(id)];
        touched(id, true);
    }

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // What the next undo or redo takes back or does again, "Delete", empty for nothing.
    QString undoName() const { return canUndo() ? steps_[done_ - 1].name : QString(); }
    QString redoName() const { return canRedo() ? steps_[done_].name : QString(); }
    StepOutcome undo(FileSlots& slots);
    StepOutcome redo(FileSlots& slots);

    std::size_t stepCount() const { return steps_.size(); }
    std::size_t bytes() const { return bytes_; }

  Q_SIGNALS:
    // After every change of what undo and redo would do.
    void changed();
    // Every change to a slot's records, each keystroke included (`saved` false), and each time a
    // slot is marked saved (`saved` true). A change is told as it is recorded, just before the
    // records change.
    void recordsChanged(lists::SlotId slot, bool saved);

  private:
    struct Step {
        QString name;
        StepChange change;
        std::array<std::uint64_t, 3> before{};
        std::array<std::uint64_t, 3> after{};
        std::size_t bytes = 0;
    };
    static std::size_t index(lists::SlotId id) { return static_cast<std::size_t>(id); }
    void push(QString name, StepChange change);
    StepOutcome apply(Step& step, FileSlots& slots, bool redo);
    void keepWithinBounds();
    void tell() { Q_EMIT changed(); }
    void touched(lists::SlotId id, bool saved) { Q_EMIT recordsChanged(id, saved); }
    void touched(const std::array<bool, 3>& slots);

    Clock clock_;
    std::size_t maxSteps_ = kMaxSteps;
    std::size_t maxBytes_ = kMaxBytes;
    std::deque<Step> steps_;
    std::size_t done_ = 0;  // the steps before this one are done, the others undone
    std::size_t bytes_ = 0;
    // Each change of a slot gets a version; clean_ is the one its file holds.
    std::array<std::uint64_t, 3> version_{};
    std::array<std::uint64_t, 3> clean_{};
    std::uint64_t nextVersion_ = 1;
    // The open burst of typing: the newest step, in this element, typed into at lastKey_.
    bool typing_ = false;
    lists::SlotId typingSlot_ = lists::SlotId::A;
    qint32 typingIndex_ = -1;
    std::int64_t lastKey_ = 0;
};

}  // namespace trovix::undo
