#include "widgets/record_text_box.h"

#include <QKeyEvent>

#include "widgets/window_keys.h"

namespace trovix::widgets {

RecordTextBox::RecordTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    // Undo and redo go through the window's one history of the records.
    setUndoRedoEnabled(false);
}

bool RecordTextBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        isWindowShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();  // the menu's shortcut, not the text box's key
        return true;
    }
    return QPlainTextEdit::event(event);
}

void RecordTextBox::keyPressEvent(QKeyEvent* event) {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && event->modifiers().testFlag(Qt::ControlModifier)) {
        // Ctrl+Tab leaves as Tab does.
        focusNextPrevChild(event->key() == Qt::Key_Tab &&
                           !event->modifiers().testFlag(Qt::ShiftModifier));
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers().testFlag(Qt::ShiftModifier)) {
        // The text widget would put an invisible line separator into the record instead.
        textCursor().insertBlock();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace trovix::widgets
