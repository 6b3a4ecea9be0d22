#pragma once

#include <QPointer>
#include <QToolBar>
#include <array>

class QLabel;

namespace trovix {
class ChangeNotice;
}

namespace trovix::widgets {

// The bar above the lists that shows the core's change notice, with the buttons of its answers, in
// the look of a message bar that a screen reader announces; hidden while there is nothing to tell.
// Typing goes on while it shows, and after a click on a button.
class ChangeNoticeBar : public QToolBar {
    Q_OBJECT
  public:
    ChangeNoticeBar(ChangeNotice& notice, QWidget* parent);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void showNotice();
    void showLook();

    ChangeNotice& notice_;
    QLabel* icon_ = nullptr;
    QLabel* text_ = nullptr;
    std::array<QAction*, 4> answers_{};  // by ChangeNotice::Answer
    QPointer<QWidget> typingIn_;         // where the focus was when the notice appeared
    bool restyling_ = false;             // the colours are being set anew
};

}  // namespace trovix::widgets
