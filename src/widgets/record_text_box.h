#pragma once

#include <QPlainTextEdit>

#include "search/match_ranges.h"
#include "widgets/result_row_delegate.h"

namespace trovix::widgets {

// The edit box. Tab and Shift+Tab move the focus on, with or without Ctrl, as in a form's
// multi-line text box; a record keeps the tabs it holds, and a pasted tab goes in. Shift+Enter
// starts a line as Enter does, and the window's menu shortcuts work while it has the focus.
// The occurrences of the shown search's terms in the lines on screen are marked with extra
// selections, which leave the text and its formats alone; they follow every edit and scroll.
class RecordTextBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit RecordTextBox(QWidget* parent = nullptr);

    void setShownSearchSource(ShownSearchSource source) { source_ = std::move(source); }
    // Marks the occurrences again, after the text or the search changed.
    void showMatches();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    ShownSearchSource source_;
    search::CachedMatchFinder finder_;
};

}  // namespace trovix::widgets
