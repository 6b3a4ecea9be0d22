#include "app/controls.h"

namespace trovix::app {

QString EditBox::initialText() {
    return QStringLiteral("Name\r\nAddress1\r\nAddress2\r\nCity, State\r\nZip\r\n");
}

void EditBox::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    if (view_) {
        view_();
    }
    if (onChange_) {
        onChange_();
    }
}

void EditBox::setEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        if (view_) {
            view_();
        }
    }
}

void SearchBox::userTyped(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    if (onChange_) {
        onChange_();
    }
}

void SearchBox::setEntries(const QStringList& entries) {
    if (entries != entries_) {
        entries_ = entries;
        if (view_) {
            view_();
        }
    }
}

void SearchBox::setListIndex(int row) {
    if (row < 0 || row >= entries_.size()) {
        return;
    }
    text_ = entries_[row];
    if (view_) {
        view_();
    }
    if (onClick_) {
        onClick_();
    }
}

void SearchBox::keyPress(QChar key) {
    if (onKeyPress_) {
        onKeyPress_(key);
    }
}

void SearchBox::selectAll() {
    if (selectAll_) {
        selectAll_();
    }
}

Toolbar::Toolbar() {
    // Keys of the buttons with the tool tips they start with; the two-state buttons are
    // "edit", "data", "fileA", "fileB" and "fileC".
    const std::pair<const char*, const char*> buttons[] = {
        {"find", "Find"},
        {"viewall", "View All"},
        {"print", "Print List"},
        {"edit", "Display Edit Textbox"},
        {"data", "Full Data Display (Read Only)"},
        {"font", "Change Font"},
        {"copy", "Copy Selection to Clipboard"},
        {"fileA", "Display Results (File 1)"},
        {"fileB", "Display Results (File 2)"},
        {"fileC", "Display Results (File 3)"},
        {"new", "New"},
        {"delete", "Delete"},
        {"sort", "Sort"},
        {"select", "Select File Name"},
        {"save", "Save Selected File"},
        {"open", "Open File for Direct Editing"},
        {"refresh", "Reload Selected File"},
        {"email", "Email Author"},
    };
    for (const auto& [key, tip] : buttons) {
        buttons_[QString::fromLatin1(key)].toolTip = QString::fromLatin1(tip);
    }
    // The edit pane and the three lists are shown until the settings say otherwise.
    for (const char* key : {"edit", "fileA", "fileB", "fileC"}) {
        buttons_[QString::fromLatin1(key)].pressed = true;
    }
}

const ToolbarButton* Toolbar::button(const QString& key) const {
    const auto it = buttons_.find(key);
    return it == buttons_.end() ? nullptr : &it->second;
}

ToolbarButton* Toolbar::find(const QString& key) {
    const auto it = buttons_.find(key);
    return it == buttons_.end() ? nullptr : &it->second;
}

bool Toolbar::isPressed(const QString& key) const {
    const ToolbarButton* b = button(key);
    return b != nullptr && b->pressed;
}

void Toolbar::setPressed(const QString& key, bool pressed) {
    if (ToolbarButton* b = find(key); b != nullptr && b->pressed != pressed) {
        b->pressed = pressed;
        if (view_) {
            view_(key);
        }
    }
}

void Toolbar::setEnabled(const QString& key, bool enabled) {
    if (ToolbarButton* b = find(key); b != nullptr && b->enabled != enabled) {
        b->enabled = enabled;
        if (view_) {
            view_(key);
        }
    }
}

void Toolbar::setToolTip(const QString& key, const QString& tip) {
    if (ToolbarButton* b = find(key); b != nullptr && b->toolTip != tip) {
        b->toolTip = tip;
        if (view_) {
            view_(key);
        }
    }
}

void OptionMenu::setChecked(Option option, bool checked) {
    if (checked_[index(option)] != checked) {
        checked_[index(option)] = checked;
        if (view_) {
            view_(option);
        }
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
        if (view_) {
            view_();
        }
    }
}

void StatusBar::setSimpleText(const QString& text) {
    if (simpleText_ != text) {
        simpleText_ = text;
        if (view_) {
            view_();
        }
    }
}

void WindowFrame::setPlacement(const view::TwipRect& placement) {
    if (placement != placement_) {
        placement_ = placement;
        tell(Aspect::Placement);
        if (onResize_) {
            onResize_();
        }
    }
}

void WindowFrame::setWindowState(WindowState state) {
    if (state != state_) {
        state_ = state;
        tell(Aspect::State);
    }
}

void WindowFrame::setOnTop(bool onTop) {
    if (onTop != onTop_) {
        onTop_ = onTop;
        tell(Aspect::OnTop);
    }
}

void WindowFrame::setEditPaneVisible(bool visible) {
    if (visible != editPane_) {
        editPane_ = visible;
        tell(Aspect::EditPane);
    }
}

void WindowFrame::setGeometry(const view::ControlGeometry& geometry) {
    if (!(geometry == geometry_)) {
        geometry_ = geometry;
        tell(Aspect::Geometry);
    }
}

void WindowFrame::setFont(const ListFont& font) {
    if (!(font == font_)) {
        font_ = font;
        tell(Aspect::Font);
    }
}

void WindowFrame::setLayoutSize(double width, double height) {
    if (width != layoutWidth_ || height != layoutHeight_) {
        layoutWidth_ = width;
        layoutHeight_ = height;
        if (onResize_) {
            onResize_();
        }
    }
}

void WindowFrame::userChanged(const view::TwipRect& placement, WindowState state) {
    placement_ = placement;
    state_ = state;
    if (onResize_) {
        onResize_();
    }
}

}  // namespace trovix::app
