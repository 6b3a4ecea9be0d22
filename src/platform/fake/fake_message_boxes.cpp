#include "platform/fake/fake_message_boxes.h"

#include <QtGlobal>

namespace trovix::platform {

bool FakeMessageBoxes::offers(MessageButtons buttons, MessageAnswer answer) {
    switch (buttons) {
        case MessageButtons::Ok:
            return answer == MessageAnswer::Ok;
        case MessageButtons::OkCancel:
            return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
        case MessageButtons::YesNo:
            return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
        case MessageButtons::YesNoCancel:
            return answer != MessageAnswer::Ok;
    }
    return false;
}

int FakeMessageBoxes::choose(const QString& text, const QString& title, const QStringList& choices,
                             MessageIcon icon) {
    shown.append({text, title, MessageButtons::Ok, icon, choices, {}});
    if (choiceAnswers.isEmpty()) {
        return static_cast<int>(choices.size()) - 1;
    }
    int answer = choiceAnswers.takeFirst();
    if (answer < 0) {
        answer += static_cast<int>(choices.size());  // counted from the last button
    }
    if (answer < 0 || answer >= choices.size()) {
        qFatal("FakeMessageBoxes: scripted choice %d is not a button of the box \"%s\"", answer,
               qPrintable(text));
    }
    return answer;
}

MessageAnswer FakeMessageBoxes::show(const QString& text, const QString& title,
                                     MessageButtons buttons, MessageIcon icon) {
    return showDetailed(text, QString(), title, buttons, icon);
}

MessageAnswer FakeMessageBoxes::showDetailed(const QString& text, const QString& more,
                                             const QString& title, MessageButtons buttons,
                                             MessageIcon icon) {
    shown.append({text, title, buttons, icon, {}, more});
    if (!answers.isEmpty()) {
        const MessageAnswer answer = answers.takeFirst();
        if (!offers(buttons, answer)) {
            qFatal("FakeMessageBoxes: scripted answer %d is not a button of the box \"%s\"",
                   static_cast<int>(answer), qPrintable(text));
        }
        return answer;
    }
    if (defaultAnswer && offers(buttons, *defaultAnswer)) {
        return *defaultAnswer;
    }
    return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel
               ? MessageAnswer::Ok
               : MessageAnswer::Yes;
}

}  // namespace trovix::platform
