#pragma once

#include <QListView>

#include "lists/result_list.h"

namespace trovix::widgets {

class ResultRowDelegate;

// A result list on screen. The user's clicks and keys that move the selection go to the core
// list; what the program selects, colours or hides comes back from it without echoing as a
// user event. The row the view highlights is always the core list's selected row.
class ResultListView : public QListView {
    Q_OBJECT
  public:
    explicit ResultListView(lists::ResultList& list, QWidget* parent = nullptr);

    // Draws the rows, with the matches of the search the list shows highlighted.
    ResultRowDelegate* rowDelegate() const { return rows_; }

  Q_SIGNALS:
    // The Delete key, which deletes the selected record as the toolbar's Delete does.
    void deletePressed();

  protected:
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Highlights the core's selected row, scrolling it into view when `scroll` is true.
    void showCoreSelection(bool scroll);
    void showCoreAppearance();
    // Places the rows the view has not placed yet, at once: a row not yet placed cannot be
    // scrolled to or moved onto.
    void placeAllRows();
    void userMovedTo(const QModelIndex& current);

    lists::ResultList& list_;
    ResultRowDelegate* rows_;
    bool showingCore_ = false;
    bool pressing_ = false;   // a mouse press is being handled
    bool restyling_ = false;  // the colours are being set anew
};

}  // namespace trovix::widgets
