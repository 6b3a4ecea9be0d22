#pragma once

#include <QListView>

#include "store/result_list.h"

namespace trovix::view {

class ResultListModel;

// A result list on screen. The user's clicks and arrow keys go to the core list; what the
// program selects, colours or hides comes back from it without echoing as a user event.
class ResultListView : public QListView {
    Q_OBJECT
  public:
    explicit ResultListView(store::ResultList& list, QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void showCoreSelection();
    void showCoreAppearance();
    void userMovedTo(const QModelIndex& current);

    store::ResultList& list_;
    ResultListModel* model_;
    bool showingCore_ = false;
};

}  // namespace trovix::view
