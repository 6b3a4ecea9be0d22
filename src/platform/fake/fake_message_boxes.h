#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "platform/message_boxes.h"

namespace trovix::platform {

struct ShownMessage {
    QString text;
    QString title;
    MessageButtons buttons;
    MessageIcon icon;
    QStringList choices;  // the buttons of a choose() box
    QString more;         // the second text of a showDetailed() box
};

// Records every box and answers from a script. A scripted answer that the box does not offer
// is a mistake in the test and aborts it.
class FakeMessageBoxes : public MessageBoxes {
  public:
    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;
    MessageAnswer showDetailed(const QString& text, const QString& more, const QString& title,
                               MessageButtons buttons, MessageIcon icon) override;

    // Answers from `choiceAnswers` (indices; a negative one counts back from the last button,
    // -1), else the last choice, as Enter or Escape would.
    int choose(const QString& text, const QString& title, const QStringList& choices,
               MessageIcon icon) override;

    static bool offers(MessageButtons buttons, MessageAnswer answer);

    QList<ShownMessage> shown;
    // Answers for the next boxes, first one first.
    QList<MessageAnswer> answers;
    // The answer once the script has run out, where the box offers it; otherwise (or when
    // unset) the box's first button, Ok or Yes, as a user pressing Enter would.
    std::optional<MessageAnswer> defaultAnswer;
    QList<int> choiceAnswers;
};

}  // namespace trovix::platform
