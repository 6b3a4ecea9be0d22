#include "widgets/record_text_box.h"

#include <QKeyEvent>
#include <QTextBlock>

#include "view/match_look.h"
#include "widgets/window_keys.h"

namespace trovix::widgets {

RecordTextBox::RecordTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    // Undo and redo go through the window's one history of the records.
    setUndoRedoEnabled(false);
    connect(this, &QPlainTextEdit::textChanged, this, &RecordTextBox::showMatches);
    // Other lines came on screen: the box scrolled, by the scroll bar or to follow the cursor.
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect&, int dy) {
        if (dy != 0) {
            showMatches();
        }
    });
}

void RecordTextBox::showMatches() {
    QList<QTextEdit::ExtraSelection> marks;
    const ShownSearch shown = source_ ? source_() : ShownSearch{};
    const search::MatchFinder& finder = finder_.finderFor(shown.text, shown.ignoreCase);
    if (!finder.findsNothing()) {
        QTextCharFormat look;
        look.setBackground(QColor::fromRgb(static_cast<QRgb>(view::kMatchBackground)));
        look.setForeground(QColor::fromRgb(static_cast<QRgb>(view::kMatchText)));
        // The lines on screen only: a record of megabytes costs no more than a screenful.
        const qreal bottom = viewport()->height();
        for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
            if (blockBoundingGeometry(block).translated(contentOffset()).top() > bottom) {
                break;
            }
            for (const search::TextRange& range : finder.rangesIn(block.text())) {
                QTextCursor mark(block);
                mark.setPosition(block.position() + static_cast<int>(range.start));
                mark.setPosition(block.position() + static_cast<int>(range.start + range.length),
                                 QTextCursor::KeepAnchor);
                marks.append({mark, look});
            }
        }
    }
    setExtraSelections(marks);
}

void RecordTextBox::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    showMatches();  // more or fewer lines are on screen
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
