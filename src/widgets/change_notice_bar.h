#pragma once

#include <QToolBar>

class QLabel;

namespace trovix {
class ChangeNotice;
}

namespace trovix::widgets {

// The bar above the lists that shows the core's change notice, with its Reload and Keep Mine
// buttons; hidden while there is nothing to tell. Typing goes on while it shows.
class ChangeNoticeBar : public QToolBar {
    Q_OBJECT
  public:
    ChangeNoticeBar(ChangeNotice& notice, QWidget* parent);

  private:
    void showNotice();

    ChangeNotice& notice_;
    QLabel* text_ = nullptr;
};

}  // namespace trovix::widgets
