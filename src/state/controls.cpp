#include "state/controls.h"

#include <QCoreApplication>

#include "state/language.h"

namespace trovix {

QString EditBox::initialText() {
    return QCoreApplication::translate("Controls",
                                       "Name\r\nAddress1\r\nAddress2\r\nCity, State\r\nZip\r\n");
}

void EditBox::showExcerpt(const QString& text) {
    setEnabled(false);
    setText(text);
    excerpt_ = true;
}

void EditBox::setText(const QString& text) {
    excerpt_ = false;
    if (text == text_) {
        return;
    }
    text_ = text;
    Q_EMIT viewChanged();
    Q_EMIT changed();
}

void EditBox::setEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        Q_EMIT viewChanged();
    }
}

void SearchBox::userTyped(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    Q_EMIT changed();
}

void SearchBox::setEntries(const QStringList& entries) {
    if (entries != entries_) {
        entries_ = entries;
        Q_EMIT viewChanged();
    }
}

void SearchBox::setListIndex(int row) {
    if (row < 0 || row >= entries_.size()) {
        return;
    }
    text_ = entries_[row];
    Q_EMIT viewChanged();
    Q_EMIT clicked();
}

void SearchBox::keyPress(QChar key) {
    Q_EMIT keyPressed(key);
}

void SearchBox::selectAll() {
    Q_EMIT selectAllAsked();
}

Toolbar::Toolbar() {
    for (const ToolbarEntry& entry : kToolbar) {
        if (entry.command) {
            ToolbarButton& b = buttons_[index(*entry.command)];
            b.toolTip = QCoreApplication::translate("CommandTable", entry.toolTip);
            b.pressed = entry.pressedByDefault;
        }
    }
}

void Toolbar::setPressed(Command command, bool pressed) {
    ToolbarButton& b = buttons_[index(command)];
    if (b.pressed != pressed) {
        b.pressed = pressed;
        Q_EMIT buttonChanged(command);
    }
}

void Toolbar::setEnabled(Command command, bool enabled) {
    ToolbarButton& b = buttons_[index(command)];
    if (b.enabled != enabled) {
        b.enabled = enabled;
        Q_EMIT buttonChanged(command);
    }
}

void Toolbar::setToolTip(Command command, const QString& tip) {
    ToolbarButton& b = buttons_[index(command)];
    if (b.toolTip != tip) {
        b.toolTip = tip;
        Q_EMIT buttonChanged(command);
    }
}

OptionMenu::OptionMenu() {
    for (const OptionEntry& entry : kOptions) {
        checked_[index(entry.option)] = entry.checkedByDefault;
    }
}

void OptionMenu::setChecked(Option option, bool checked) {
    if (checked_[index(option)] != checked) {
        checked_[index(option)] = checked;
        Q_EMIT optionChanged(option);
    }
}

QString StatusBar::panel(int number) const {
    return number >= 1 && number <= 4 ? panels_[static_cast<std::size_t>(number - 1)] : QString();
}

void StatusBar::setPanel(int number, const QString& text) {
    if (number < 1 || number > 4) {
        return;
    }
    QString& panel = panels_[static_cast<std::size_t>(number - 1)];
    if (panel != text) {
        panel = text;
        Q_EMIT changed(Aspect::Panels);
    }
}

void StatusBar::showMessage(const QString& text) {
    message_ = text;
    Q_EMIT changed(Aspect::Message);
}

void WindowFrame::setPlacement(const TwipRect& placement) {
    if (placement != placement_) {
        placement_ = placement;
        Q_EMIT changed(Aspect::Placement);
        Q_EMIT resized();
    }
}

void WindowFrame::setWindowState(WindowState state) {
    if (state != state_) {
        state_ = state;
        Q_EMIT changed(Aspect::State);
    }
}

void WindowFrame::setOnTop(bool onTop) {
    if (onTop != onTop_) {
        onTop_ = onTop;
        Q_EMIT changed(Aspect::OnTop);
    }
}

void WindowFrame::setEditPaneVisible(bool visible) {
    if (visible != editPane_) {
        editPane_ = visible;
        Q_EMIT changed(Aspect::EditPane);
    }
}

void WindowFrame::setGeometry(const ControlGeometry& geometry) {
    if (!(geometry == geometry_)) {
        geometry_ = geometry;
        Q_EMIT changed(Aspect::Geometry);
    }
}

void WindowFrame::setFont(const ListFont& font) {
    if (!(font == font_)) {
        font_ = font;
        Q_EMIT changed(Aspect::Font);
    }
}

void WindowFrame::setLayoutSize(double width, double height) {
    if (width != layoutWidth_ || height != layoutHeight_) {
        layoutWidth_ = width;
        layoutHeight_ = height;
        Q_EMIT resized();
    }
}

void WindowFrame::userChanged(const TwipRect& placement, WindowState state) {
    placement_ = placement;
    state_ = state;
    Q_EMIT resized();
}

}  // namespace trovix

namespace {
// Counted texts read as English from the start, in the program and in every test of its state.
void countInEnglish() {
    trovix::loadEnglishPluralForms();
}
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(countInEnglish)
