#include "widgets/menu_item_name.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QVariant>
#include <QWindow>

namespace trovix::widgets {
namespace {

constexpr char kNameProperty[] = "trovixAccessibleName";

// A menu item as Qt's own accessibility presents one, with the name the program gave it.
class NamedMenuItem : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    NamedMenuItem(QMenu* menu, QAction* action) : menu_(menu), action_(action) {}

    bool isValid() const override { return !menu_.isNull() && !action_.isNull(); }
    QObject* object() const override { return action_; }
    QWindow* window() const override {
        const QWidget* top = menu_ != nullptr ? menu_->window() : nullptr;
        return top != nullptr ? top->windowHandle() : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text kind) const override {
        if (!isValid()) {
            return {};
        }
        if (kind == QAccessible::Name) {
            return action_->property(kNameProperty).toString();
        }
        if (kind == QAccessible::Accelerator) {
            return action_->shortcut().isEmpty()
                       ? QKeySequence::mnemonic(action_->text()).toString()
                       : action_->shortcut().toString();
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        return menu_->actionGeometry(action_).translated(menu_->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.invisible = !menu_->isVisible() || !action_->isVisible();
        s.focused = menu_->activeAction() == action_;
        s.hotTracked = menu_->style()->styleHint(QStyle::SH_Menu_MouseTracking) != 0;
        s.disabled = !action_->isEnabled();
        s.checkable = action_->isCheckable();
        s.checked = action_->isChecked();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override {
        return isValid() ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString& name) override {
        if (isValid() && action_->isEnabled() && name == pressAction()) {
            action_->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (isValid() && name == pressAction() && !action_->shortcut().isEmpty()) {
            return {action_->shortcut().toString()};
        }
        return {};
    }

  private:
    QPointer<QMenu> menu_;
    QPointer<QAction> action_;
};

QMenu* menuOf(const QAction* action) {
    for (QObject* owner : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(owner)) {
            return menu;
        }
    }
    return nullptr;
}

QAccessibleInterface* namedMenuItem(const QString& className, QObject* object) {
    auto* action = qobject_cast<QAction*>(object);
    if (className != QLatin1String("QAction") || action == nullptr ||
        !action->property(kNameProperty).isValid()) {
        return nullptr;
    }
    QMenu* menu = menuOf(action);
    return menu != nullptr ? new NamedMenuItem(menu, action) : nullptr;
}

}  // namespace

QString withoutAccessMarks(const QString& caption) {
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;  // the marked letter, or the second "&" of "&&"
        }
        plain += caption[i];
    }
    return plain;
}

void setMenuItemAccessibleName(QAction* action, const QString& name) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(namedMenuItem);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    action->setProperty(kNameProperty, name);
    // A screen reader that is already running may have been handed Qt's own item; the next
    // reader gets the named one.
    QAccessibleInterface* known = QAccessible::queryAccessibleInterface(action);
    if (known != nullptr && dynamic_cast<NamedMenuItem*>(known) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
    }
}

}  // namespace trovix::widgets
