#pragma once

#include <QPlainTextEdit>

namespace trovix::widgets {

// The edit box. Tab and Shift+Tab move the focus on, with or without Ctrl, as in a form's
// multi-line text box; a record keeps the tabs it holds, and a pasted tab goes in. Shift+Enter
// starts a line as Enter does, and the window's menu shortcuts work while it has the focus.
class RecordTextBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit RecordTextBox(QWidget* parent = nullptr);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace trovix::widgets
