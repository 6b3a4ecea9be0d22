#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "lists/slot.h"

namespace trovix {

// The bar above the lists that tells of a data file another program changed while its slot
// holds unsaved changes. It never blocks typing: the user answers when it suits, or not at all.
class ChangeNotice : public QObject {
    Q_OBJECT
  public:
    enum class Answer { Reload, KeepMine };

    bool isShown() const { return slot_.has_value(); }
    std::optional<lists::SlotId> slot() const { return slot_; }
    const QString& text() const { return text_; }
    void show(lists::SlotId slot, const QString& text) {
        slot_ = slot;
        text_ = text;
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
            Q_EMIT answered(*slot_, answer);
        }
    }
    // A list was given another data file.
    void noteFileNamesChanged() { Q_EMIT fileNamesChanged(); }
    // An undo or a redo changed records: a list asked about may have no unsaved changes left.
    void noteStepTaken() { Q_EMIT stepTaken(); }

  Q_SIGNALS:
    void answered(lists::SlotId slot, ChangeNotice::Answer answer);
    void fileNamesChanged();
    void stepTaken();
    void viewChanged();

  private:
    std::optional<lists::SlotId> slot_;
    QString text_;
};

}  // namespace trovix
