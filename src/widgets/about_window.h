#pragma once

#include <QDialog>

namespace trovix::widgets {

// The About window: the program's picture and, below it, the credit line with the version.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    AboutWindow(const QString& caption, QWidget* parent);
};

}  // namespace trovix::widgets
