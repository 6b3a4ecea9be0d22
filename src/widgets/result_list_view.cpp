#include "widgets/result_list_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>

#include "widgets/colours.h"
#include "widgets/result_row_delegate.h"

namespace trovix::widgets {

ResultListView::ResultListView(lists::ResultList& list, QWidget* parent)
    : QListView(parent), list_(list), rows_(new ResultRowDelegate(list, this)) {
    setModel(&list_);
    setItemDelegate(rows_);
    setUniformItemSizes(true);  // keeps lists of millions of rows instant
    // The view places every row after the list changed, asking the model about each: with a
    // million rows that costs more than the search. The first rows are placed at once, the
    // rest in parts between the next events, so a key typed meanwhile is not kept waiting.
    setLayoutMode(QListView::Batched);
    setBatchSize(20000);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAutoFillBackground(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { userMovedTo(current); });
    connect(&list_, &lists::ResultList::selectionChanged, this,
            [this] { showCoreSelection(!pressing_); });
    // While rows come and go, the selection model moves its current row by itself; that is no
    // user's doing and must not reach the core as a click.
    const auto quiet = [this] { showingCore_ = true; };
    const auto settled = [this] {
        showingCore_ = false;
        showCoreSelection(!pressing_);
    };
    connect(&list_, &lists::ResultList::rowsChanging, this, quiet);
    connect(&list_, &lists::ResultList::rowsChanged, this, settled);
    connect(&list_, &lists::ResultList::appearanceChanged, this,
            &ResultListView::showCoreAppearance);
    showCoreAppearance();
    showCoreSelection(true);
}

void ResultListView::focusInEvent(QFocusEvent* event) {
    // Receiving the focus selects nothing. The item view would make its first row current,
    // which the core would take for the user choosing it; the list gets a current row when the
    // user moves in it.
    QAbstractScrollArea::focusInEvent(event);
    setAttribute(Qt::WA_InputMethodEnabled, false);  // rows are not edited
    viewport()->update();
}

void ResultListView::mousePressEvent(QMouseEvent* event) {
    list_.userMouseDown();
    const QModelIndex at = indexAt(event->position().toPoint());
    if (!at.isValid()) {
        // The empty area below the last row selects nothing and keeps the selection.
        setFocus(Qt::MouseFocusReason);
        return;
    }
    const bool sameRow = at.row() == list_.listIndex();
    // While the press is handled the rows stay where they are: scrolling a row cut by the edge
    // into view would put another row under the mouse, which the view would then highlight.
    // Whatever the view did with the press, it shows the core's row afterwards.
    pressing_ = true;
    QListView::mousePressEvent(event);
    if (sameRow && event->button() == Qt::LeftButton) {
        list_.userSelect(at.row());  // a click on the selected row is still a click
    }
    pressing_ = false;
    showCoreSelection(false);
}

void ResultListView::mouseMoveEvent(QMouseEvent* event) {
    QListView::mouseMoveEvent(event);
    if (event->buttons() != Qt::NoButton) {
        showCoreSelection(false);
    }
}

void ResultListView::mouseReleaseEvent(QMouseEvent* event) {
    QListView::mouseReleaseEvent(event);
    // The view scrolls a row cut by the edge into view a moment later, as it does after any
    // click, so that a double click still lands on the row.
    showCoreSelection(false);
}

void ResultListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        Q_EMIT deletePressed();
        return;
    }
    placeAllRows();  // End, Page Down and the arrows move among every row
    QListView::keyPressEvent(event);
    showCoreSelection(true);  // Ctrl+Space would take the highlight off the selected row
}

void ResultListView::userMovedTo(const QModelIndex& current) {
    if (showingCore_ || !current.isValid()) {
        return;
    }
    list_.userSelect(current.row());
    showCoreSelection(!pressing_);  // the click handling may have changed it again
}

void ResultListView::showCoreSelection(bool scroll) {
    showingCore_ = true;
    const int row = list_.listIndex();
    if (row >= 0 && row < list_.rowCount()) {
        const QModelIndex at = list_.index(row);
        if (scroll && row >= batchSize()) {
            placeAllRows();
        }
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
        if (scroll) {
            scrollTo(at);
        }
    } else {
        selectionModel()->clear();
    }
    showingCore_ = false;
}

void ResultListView::placeAllRows() {
    const int count = list_.rowCount();
    if (count > batchSize() && visualRect(list_.index(count - 1)).isEmpty()) {
        setLayoutMode(QListView::SinglePass);
        doItemsLayout();
        setLayoutMode(QListView::Batched);
    }
}

void ResultListView::showCoreAppearance() {
    const std::uint32_t rgb = list_.backColor();
    const QColor core((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    const QPalette desktop = QApplication::palette();
    const QColor base = desktop.color(QPalette::Base);
    QPalette p = palette();
    if (base.lightness() >= 128) {
        // Under a light theme the lists keep their own colours, white or pale red with the
        // focus, with text dark enough for both.
        p.setColor(QPalette::Base, core);
        p.setColor(QPalette::Text, QColor(20, 20, 20));
    } else {
        // Under a dark theme they take the theme's background, tinted red for the list with
        // focus, and its text.
        const bool tinted = core != QColor(Qt::white);
        p.setColor(
            QPalette::Base,
            tinted ? QColor(std::min(255, base.red() + 48), base.green(), base.blue()) : base);
        p.setColor(QPalette::Text, desktop.color(QPalette::Text));
        // The selected row's text stays readable: the selection darkens until it is.
        QColor selection = desktop.color(QPalette::Highlight);
        const QColor selectedText = desktop.color(QPalette::HighlightedText);
        for (int i = 0; i < 20 && contrast(selectedText, selection) < 4.5; ++i) {
            selection = mixed(selection, Qt::black, 0.15);
        }
        p.setColor(QPalette::Highlight, selection);
    }
    setPalette(p);
    setVisible(list_.isVisible());
}

void ResultListView::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    // A change of theme reaches a widget with colours of its own as a change of its palette.
    if ((event->type() == QEvent::ApplicationPaletteChange ||
         event->type() == QEvent::PaletteChange) &&
        !restyling_) {
        restyling_ = true;
        showCoreAppearance();  // a switch between light and dark themes
        restyling_ = false;
    }
}

}  // namespace trovix::widgets
