#pragma once

#include "platform/message_boxes.h"
#include "platform/qt/owner_window.h"

namespace trovix::platform {

// Modal QMessageBox dialogs centred on the main window.
class QtMessageBoxes : public MessageBoxes {
  public:
    explicit QtMessageBoxes(const OwnerWindow& owner) : owner_(owner) {}

    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;
    MessageAnswer showDetailed(const QString& text, const QString& more, const QString& title,
                               MessageButtons buttons, MessageIcon icon) override;
    int choose(const QString& text, const QString& title, const QStringList& choices,
               MessageIcon icon) override;

  private:
    const OwnerWindow& owner_;
};

}  // namespace trovix::platform
