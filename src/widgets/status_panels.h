#pragma once

#include <QLabel>
#include <QWidget>
#include <array>

namespace trovix::widgets {

// One panel of the status bar. Its whole text is its accessible name and value, also when the
// panel is too narrow to show all of it.
class StatusPanel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
};

// The four panels of the status bar: each data file with its row count, then the selected row.
// They stand in one row when the bar is wide enough for all four with counts of up to seven
// digits, and in two rows otherwise, so that no text is cut at the window's smallest size. A text
// that still does not fit, such as a long file name, is in its panel's tool tip.
class StatusPanels : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kCount = 4;

    explicit StatusPanels(QWidget* parent = nullptr);

    StatusPanel* panel(int index) const { return panels_[static_cast<std::size_t>(index)]; }
    // `explanation` says what the text means ("row 3, record 17"): the panel's tool tip and what
    // a screen reader reads after its text. Without one, the tool tip is the text when it is cut.
    void setText(int index, const QString& text, const QString& explanation = {});
    int rows() const { return rows_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int roomFor(int index) const;
    int gap() const;
    int lineHeight() const;
    void arrange();

    std::array<StatusPanel*, kCount> panels_{};
    std::array<QString, kCount> explanations_{};
    int rows_ = 1;
};

}  // namespace trovix::widgets
