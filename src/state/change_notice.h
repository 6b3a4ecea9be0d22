#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "lists/slot.h"

namespace trovix {

// The bar above the lists that tells of a data file another program changed while its slot
// holds unsaved changes, or of a sync tool's conflict copy found beside a data file. It never
// blocks typing: the user answers when it suits, or not at all.
class ChangeNotice : public QObject {
    Q_OBJECT
  public:
    // What the notice tells of: the answers it offers follow from it.
    enum class Kind {
        ChangedOnDisk,  // Merge, Reload, Keep Mine
        ConflictCopy,   // Merge, Ignore
    };
    enum class Answer { Merge, Reload, KeepMine, Ignore };

    bool isShown() const { return slot_.has_value(); }
    std::optional<lists::SlotId> slot() const { return slot_; }
    Kind kind() const { return kind_; }
    const QString& text() const { return text_; }
    void show(lists::SlotId slot, const QString& text, Kind kind = Kind::ChangedOnDisk) {
        slot_ = slot;
        text_ = text;
        kind_ = kind;
        Q_EMIT viewChanged();
    }
    void hide() {
        if (slot_) {
            slot_.reset();
            text_.clear();
            Q_EMIT viewChanged();
        }
    }
    // The user chose one of the bar's actions.
    void answer(Answer answer) {
        if (slot_) {
            Q_EMIT answered(*slot_, kind_, answer);
        }
    }
    // A list was given another data file.
    void noteFileNamesChanged() { Q_EMIT fileNamesChanged(); }
    // An undo or a redo changed records: a list asked about may have no unsaved changes left.
    void noteStepTaken() { Q_EMIT stepTaken(); }

  Q_SIGNALS:
    void answered(lists::SlotId slot, ChangeNotice::Kind kind, ChangeNotice::Answer answer);
    void fileNamesChanged();
    void stepTaken();
    void viewChanged();

  private:
    std::optional<lists::SlotId> slot_;
    QString text_;
    Kind kind_ = Kind::ChangedOnDisk;
};

}  // namespace trovix
