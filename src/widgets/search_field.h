#pragma once

#include <QComboBox>

namespace trovix::widgets {

// The search box: an editable combo box whose Enter and chosen entries reach the program once.
// The box itself has the keyboard focus and hands keys to its line edit directly, so its keys
// are handled here. Enter is the program's alone: the combo box would also pick a remembered
// entry matching the text, on Enter and whenever the box loses the focus, and search again.
class SearchField : public QComboBox {
    Q_OBJECT
  public:
    explicit SearchField(QWidget* parent = nullptr);

  Q_SIGNALS:
    void enterPressed();
    // An entry chosen from the drop-down list, or with the arrow keys.
    void entryChosen(int row);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace trovix::widgets
