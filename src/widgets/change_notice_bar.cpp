#include "widgets/change_notice_bar.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>

#include "state/change_notice.h"

namespace trovix::widgets {

ChangeNoticeBar::ChangeNoticeBar(ChangeNotice& notice, QWidget* parent)
    : QToolBar(parent), notice_(notice) {
    setObjectName(QStringLiteral("barChangedFile"));
    setAccessibleName(QStringLiteral("File changed on disk"));
    setMovable(false);
    setFloatable(false);
    // The bar comes and goes by itself; it is no choice of the window's toolbar menu.
    toggleViewAction()->setVisible(false);

    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("lblChangedFile"));
    text_->setAccessibleName(QStringLiteral("Changed file"));
    text_->setContentsMargins(6, 0, 12, 0);
    addWidget(text_);

    const auto addAnswer = [this](const QString& name, const QString& caption,
                                  ChangeNotice::Answer answer, const QString& tip) {
        QAction* action = addAction(caption);
        action->setObjectName(name);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, [this, answer] { notice_.answer(answer); });
        QWidget* button = widgetForAction(action);
        button->setObjectName(name);
        button->setAccessibleName(caption);
        button->setAccessibleDescription(tip);
        button->setFocusPolicy(Qt::TabFocus);
    };
    addAnswer(QStringLiteral("cmdReloadChanged"), QStringLiteral("Reload"),
              ChangeNotice::Answer::Reload,
              QStringLiteral("Read the file again; your unsaved changes to it are dropped"));
    addAnswer(QStringLiteral("cmdKeepMine"), QStringLiteral("Keep Mine"),
              ChangeNotice::Answer::KeepMine,
              QStringLiteral("Keep your changes; saving asks before it replaces the file"));

    connect(&notice_, &ChangeNotice::viewChanged, this, &ChangeNoticeBar::showNotice);
    showNotice();
}

void ChangeNoticeBar::showNotice() {
    text_->setText(notice_.text());
    setVisible(notice_.isShown());
}

}  // namespace trovix::widgets
