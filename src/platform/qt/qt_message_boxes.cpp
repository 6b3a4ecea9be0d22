#include "platform/qt/qt_message_boxes.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

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

int QtMessageBoxes::choose(const QString& text, const QString& title, const QStringList& choices,
                           MessageIcon icon) {
    const QString shownTitle = title.isEmpty() ? QCoreApplication::applicationName() : title;
    QMessageBox box(toQt(icon), shownTitle, text, QMessageBox::NoButton, owner_.get());
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        const bool wayOut = i + 1 == choices.size();
        buttons.append(
            box.addButton(choices[i], wayOut ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.last()));
        box.setEscapeButton(buttons.last());
    }
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return chosen >= 0 ? static_cast<int>(chosen) : static_cast<int>(choices.size()) - 1;
}

MessageAnswer QtMessageBoxes::show(const QString& text, const QString& title,
                                   MessageButtons buttons, MessageIcon icon) {
    return showDetailed(text, QString(), title, buttons, icon);
}

MessageAnswer QtMessageBoxes::showDetailed(const QString& text, const QString& more,
                                           const QString& title, MessageButtons buttons,
                                           MessageIcon icon) {
    const QString shownTitle = title.isEmpty() ? QCoreApplication::applicationName() : title;
    // Texts break their lines with CR LF; a box shows LF alone as the line break.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(toQt(icon), shownTitle, shown, toQt(buttons), owner_.get());
    // Texts may quote records, which must never be taken for HTML.
    box.setTextFormat(Qt::PlainText);
    if (!more.isEmpty()) {
        box.setInformativeText(more);
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
            label->setTextFormat(Qt::PlainText);  // file names are no HTML either
        }
    }
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
