#include "widgets/search_field.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "widgets/window_keys.h"

namespace trovix::widgets {

SearchField::SearchField(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // the typed text is searched as typed, never completed
    connect(this, &QComboBox::activated, this, &SearchField::entryChosen);
}

bool SearchField::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        isWindowShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();  // the menu's shortcut, not the line edit's key
        return true;
    }
    return QComboBox::event(event);
}

void SearchField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void SearchField::focusOutEvent(QFocusEvent* event) {
    // The line edit reports the end of editing as it loses the focus; the combo box would pick
    // the entry that matches the text.
    const QSignalBlocker quiet(lineEdit());
    QComboBox::focusOutEvent(event);
}

}  // namespace trovix::widgets
