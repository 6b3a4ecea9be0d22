#pragma once

#include <QDialog>
#include <QPixmap>

namespace trovix::view {

// The About window: the program's picture and, below it, the credit line with the version.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    AboutWindow(const QString& caption, QWidget* parent);

    // The picture, 431 x 110 pixels, drawn here so that its source is this code.
    static QPixmap picture();
};

}  // namespace trovix::view
