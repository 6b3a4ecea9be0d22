#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "lists/slot.h"

namespace trovix {

// The bar above the lists that tells of a data file another program changed while its slot
// holds unsaved changes. It never blocks typing: the user answers when it suits, or not at all.
class ChangeNotice {
  public:
    enum class Answer { Reload, KeepMine };

    bool isShown() const { return slot_.has_value(); }
    std::optional<lists::SlotId> slot() const { return slot_; }
    const QString& text() const { return text_; }
    void show(lists::SlotId slot, const QString& text) {
        slot_ = slot;
        text_ = text;
        tell();
    }
    void hide() {
        if (slot_) {
            slot_.reset();
            text_.clear();
            tell();
        }
    }
    // The user chose one of the bar's actions: raises the answer handler.
    void answer(Answer answer) {
        if (slot_ && onAnswer_) {
            onAnswer_(*slot_, answer);
        }
    }
    // A list was given another data file: raises the handler that watches the files.
    void fileNamesChanged() {
        if (onFileNames_) {
            onFileNames_();
        }
    }
    // An undo or a redo changed records: a list asked about may have no unsaved changes left.
    void stepTaken() {
        if (onStep_) {
            onStep_();
        }
    }

    void setAnswerHandler(std::function<void(lists::SlotId, Answer)> handler) {
        onAnswer_ = std::move(handler);
    }
    void setFileNamesHandler(std::function<void()> handler) { onFileNames_ = std::move(handler); }
    void setStepHandler(std::function<void()> handler) { onStep_ = std::move(handler); }
    void setViewListener(std::function<void()> listener) { view_ = std::move(listener); }

  private:
    void tell() {
        if (view_) {
            view_();
        }
    }
    std::optional<lists::SlotId> slot_;
    QString text_;
    std::function<void(lists::SlotId, Answer)> onAnswer_;
    std::function<void()> onFileNames_;
    std::function<void()> onStep_;
    std::function<void()> view_;
};

}  // namespace trovix
