#pragma once

#include "platform/message_boxes.h"

class QWidget;

namespace trovix::platform {

// Modal QMessageBox dialogs centred on the main window.
class QtMessageBoxes : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}

    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;
    MessageAnswer showDetailed(const QString& text, const QString& more, const QString& title,
                               MessageButtons buttons, MessageIcon icon) override;
    int choose(const QString& text, const QString& title, const QStringList& choices,
               MessageIcon icon) override;

  private:
    QWidget* parent_;
};

}  // namespace trovix::platform
