#pragma once

#include <QFrame>

namespace trovix {
struct MainState;
}

namespace trovix::widgets {

// The bar between the results and the edit pane. Dragged with the left mouse button, or moved
// with the arrow keys once it has the keyboard focus, it moves the border between them.
class SplitterBar : public QFrame {
    Q_OBJECT
  public:
    SplitterBar(MainState& state, QWidget* parent);

    // Keeps the description a screen reader gives in step with the bar's place.
    void showPlace();

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    double twipsPerPixel() const;

    MainState& state_;
};

}  // namespace trovix::widgets
