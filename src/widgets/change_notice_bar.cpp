#include "widgets/change_notice_bar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include "state/change_notice.h"
#include "widgets/colours.h"

namespace trovix::widgets {
namespace {

// A screen reader announces the bar as an alert, and reads its text with its name.
class NoticeBarAccessible : public QAccessibleWidget {
  public:
    explicit NoticeBarAccessible(QWidget* bar)
        : QAccessibleWidget(bar, QAccessible::AlertMessage) {}
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Description) {
            if (const auto* label =
                    widget()->findChild<QLabel*>(QStringLiteral("lblChangedFile"))) {
                return label->text();
            }
        }
        return QAccessibleWidget::text(kind);
    }
};

// The notice's text, which gives way to the buttons in a narrow window: it is cut short with
// "…" and whole in its tool tip, rather than pushing the buttons out of the bar.
class NoticeText : public QLabel {
  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override {
        return {fontMetrics().averageCharWidth() * 12, QLabel::minimumSizeHint().height()};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
        setToolTip(shown == text() ? QString() : text());
        style()->drawItemText(&painter, area, Qt::AlignVCenter | Qt::AlignLeft, palette(),
                              isEnabled(), shown, foregroundRole());
    }
};

QAccessibleInterface* noticeBarAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(ChangeNoticeBar::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new NoticeBarAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

ChangeNoticeBar::ChangeNoticeBar(ChangeNotice& notice, QWidget* parent)
    : QToolBar(parent), notice_(notice) {
    static const bool accessibleAsAlert = [] {
        QAccessible::installFactory(noticeBarAccessible);
        return true;
    }();
    Q_UNUSED(accessibleAsAlert);
    setObjectName(QStringLiteral("barChangedFile"));
    setAccessibleName(QCoreApplication::translate("ChangeNoticeBar", "File changed on disk"));
    setMovable(false);
    setFloatable(false);
    // The bar comes and goes by itself; it is no choice of the window's toolbar menu.
    toggleViewAction()->setVisible(false);

    icon_ = new QLabel(this);
    icon_->setAccessibleName(QCoreApplication::translate("ChangeNoticeBar", "Information"));
    icon_->setContentsMargins(6, 0, 0, 0);
    addWidget(icon_);
    text_ = new NoticeText(this);
    text_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    text_->setObjectName(QStringLiteral("lblChangedFile"));
    text_->setAccessibleName(QCoreApplication::translate("ChangeNoticeBar", "Changed file"));
    text_->setContentsMargins(6, 0, 12, 0);
    addWidget(text_);

    const auto addAnswer = [this](const QString& name, const QString& caption,
                                  ChangeNotice::Answer answer, const QString& tip) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setToolTip(tip);
        button->setAccessibleName(QString(caption).remove(u'&'));
        button->setAccessibleDescription(tip);
        // A click answers without taking the focus from where the user types.
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, this, [this, answer] {
            QWidget* back = typingIn_;
            notice_.answer(answer);
            if (back != nullptr && back->isVisible() && back->isEnabled() &&
                (QApplication::focusWidget() == nullptr ||
                 isAncestorOf(QApplication::focusWidget()))) {
                back->setFocus(Qt::OtherFocusReason);
            }
        });
        answers_[static_cast<std::size_t>(answer)] = addWidget(button);
        return button;
    };
    // Merge loses nothing of either side: it comes first and looks like the default.
    addAnswer(QStringLiteral("cmdMergeChanged"),
              QCoreApplication::translate("ChangeNoticeBar", "&Merge"), ChangeNotice::Answer::Merge,
              QCoreApplication::translate(
                  "ChangeNoticeBar",
                  "Merge the file's records with your changes; nothing is written "
                  "until you save"))
        ->setDefault(true);
    addAnswer(
        QStringLiteral("cmdReloadChanged"),
        QCoreApplication::translate("ChangeNoticeBar", "Re&load"), ChangeNotice::Answer::Reload,
        QCoreApplication::translate("ChangeNoticeBar",
                                    "Read the file again; your unsaved changes to it are dropped"));
    addAnswer(QStringLiteral("cmdKeepMine"),
              QCoreApplication::translate("ChangeNoticeBar", "&Keep Mine"),
              ChangeNotice::Answer::KeepMine,
              QCoreApplication::translate(
                  "ChangeNoticeBar", "Keep your changes; saving asks before it replaces the file"));
    addAnswer(QStringLiteral("cmdIgnoreCopy"),
              QCoreApplication::translate("ChangeNoticeBar", "&Ignore"),
              ChangeNotice::Answer::Ignore,
              QCoreApplication::translate(
                  "ChangeNoticeBar", "Leave the conflict copy as it is and do not offer it again"));

    showLook();
    connect(&notice_, &ChangeNotice::viewChanged, this, &ChangeNoticeBar::showNotice);
    showNotice();
}

void ChangeNoticeBar::showNotice() {
    const bool wasShown = isVisibleTo(parentWidget());
    text_->setText(notice_.text());
    const bool copy = notice_.kind() == ChangeNotice::Kind::ConflictCopy;
    answers_[static_cast<std::size_t>(ChangeNotice::Answer::Reload)]->setVisible(!copy);
    answers_[static_cast<std::size_t>(ChangeNotice::Answer::KeepMine)]->setVisible(!copy);
    answers_[static_cast<std::size_t>(ChangeNotice::Answer::Ignore)]->setVisible(copy);
    setVisible(notice_.isShown());
    if (notice_.isShown() && !wasShown) {
        typingIn_ = QApplication::focusWidget();
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

void ChangeNoticeBar::showLook() {
    // A message bar: the window's colour tinted with the desktop's accent, an edge of the accent
    // itself, and the information icon, under light and dark themes alike.
    const QPalette desktop = QApplication::palette();
    const QColor accent = desktop.color(QPalette::Highlight);
    const QColor ground = mixed(desktop.color(QPalette::Window), accent, 0.2);
    setStyleSheet(
        QStringLiteral(
            "QToolBar#barChangedFile { background: %1; border: 1px solid %2;"  // not shown
            " border-radius: 4px; margin: 2px; padding: 2px; }"                // not shown
            " QLabel#lblChangedFile { color: %3; }")
            .arg(ground.name(), accent.name(), desktop.color(QPalette::WindowText).name()));
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    icon_->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(side, side));
}

void ChangeNoticeBar::changeEvent(QEvent* event) {
    QToolBar::changeEvent(event);
    // A change of theme reaches a widget with colours of its own as a change of its palette.
    if ((event->type() == QEvent::ApplicationPaletteChange ||
         event->type() == QEvent::PaletteChange) &&
        !restyling_) {
        restyling_ = true;
        showLook();
        restyling_ = false;
    }
}

}  // namespace trovix::widgets
