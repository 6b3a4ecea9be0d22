#include "platform/qt/qt_message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace trovix::platform {

namespace {

QMessageBox::StandardButtons toQt(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return QMessageBox::Ok;
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return QMessageBox::NoIcon;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// What closing the box without pressing a button means: the way out the box offers.
MessageAnswer dismissAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

}  // namespace

MessageAnswer QtMessageBoxes::show(const QString& text, const QString& title,
                                   MessageButtons buttons, MessageIcon icon) {
    const QString shownTitle = title.isEmpty() ? QCoreApplication::applicationName() : title;
    QMessageBox box(toQt(icon), shownTitle, text, toQt(buttons), parent_);
    // Texts may quote records, which must never be taken for HTML.
    box.setTextFormat(Qt::PlainText);
    // Esc picks Cancel when there is one, otherwise No (QMessageBox's own choice of escape
    // button); a lone Ok is its own escape button.
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return dismissAnswer(buttons);
    }
}

}  // namespace trovix::platform
