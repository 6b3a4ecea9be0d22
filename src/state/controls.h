#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

#include "state/command_table.h"
#include "state/defaults.h"
#include "state/geometry.h"

namespace trovix {

// The window's controls as the program sees them. Each write that changes a control tells its
// views (a signal the widget layer connects to) and, where the control has an event, raises that
// event's signal before the write returns, as a native control does: the handlers are connected
// directly, on the one thread.

// The multi-line edit box. Its text holds the record's lines separated by CR LF.
class EditBox : public QObject {
    Q_OBJECT
  public:
    // The text of the window design before anything is selected.
    static QString initialText();

    const QString& text() const { return text_; }
    // Raises the change handler when the text changes.
    void setText(const QString& text);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Shows an excerpt of a record too long to edit here, disabled: nothing it holds may ever
    // be written back. Any other text ends the excerpt.
    void showExcerpt(const QString& text);
    bool holdsExcerpt() const { return excerpt_; }

  Q_SIGNALS:
    void changed();      // the text changed: the change handling
    void viewChanged();  // the text or whether it takes typing

  private:
    QString text_ = initialText();
    bool enabled_ = true;
    bool excerpt_ = false;
};

// The editable search combo box with its drop-down entries. It never adds an entry by itself.
class SearchBox : public QObject {
    Q_OBJECT
  public:
    const QString& text() const { return text_; }
    // The user changed the text: raises the change handler.
    void userTyped(const QString& text);
    const QStringList& entries() const { return entries_; }
    // Rebuilds the drop-down list; the text in the box stays as it is.
    void setEntries(const QStringList& entries);
    // Selects a drop-down entry: its text goes into the box and the click handler runs.
    void setListIndex(int row);
    // A key pressed in the box raises the key press handler with its character. The window
    // passes on Enter alone, as character 13, and keeps it from the box's own handling, which
    // would add the text as a drop-down entry.
    void keyPress(QChar key);
    // Asks the view to select the whole text of the box.
    void selectAll();

  Q_SIGNALS:
    void changed();  // the user changed the text
    void clicked();  // a drop-down entry was chosen
    void keyPressed(QChar key);
    void viewChanged();
    void selectAllAsked();

  private:
    QString text_;
    QStringList entries_;
};

// A toolbar button: pressed state of a two-state button, enabled, tool tip.
struct ToolbarButton {
    bool pressed = false;
    bool enabled = true;
    QString toolTip;
};

class Toolbar : public QObject {
    Q_OBJECT
  public:
    Toolbar();
    const ToolbarButton& button(Command command) const { return buttons_[index(command)]; }
    bool isPressed(Command command) const { return button(command).pressed; }
    void setPressed(Command command, bool pressed);
    void setEnabled(Command command, bool enabled);
    void setToolTip(Command command, const QString& tip);

  Q_SIGNALS:
    void buttonChanged(Command command);

  private:
    static std::size_t index(Command command) {
        const auto i = static_cast<std::size_t>(command);
        Q_ASSERT(i < kCommandCount);
        return i;
    }
    std::array<ToolbarButton, kCommandCount> buttons_;
};

// The check marks of the Options menu.
class OptionMenu : public QObject {
    Q_OBJECT
  public:
    OptionMenu();
    bool isChecked(Option option) const { return checked_[index(option)]; }
    void setChecked(Option option, bool checked);

  Q_SIGNALS:
    void optionChanged(Option option);

  private:
    static std::size_t index(Option option) { return static_cast<std::size_t>(option); }
    std::array<bool, kOptionCount> checked_{};
};

// The status bar: four panels (numbered from 1), and messages shown across it for a while.
class StatusBar : public QObject {
    Q_OBJECT
  public:
    enum class Aspect { Panels, Message };

    QString panel(int number) const;
    void setPanel(int number, const QString& text);
    // The last message; each call shows it anew, also when it is the same text again.
    const QString& message() const { return message_; }
    void showMessage(const QString& text);

  Q_SIGNALS:
    void changed(StatusBar::Aspect aspect);

  private:
    std::array<QString, 4> panels_;
    QString message_;
};

enum class WindowState { Normal, Minimized, Maximized };

// The font of the three lists and the edit box.
struct ListFont {
    QString name = QStringLiteral("Courier New");  // a font family
    int size = 10;                                 // points
    bool bold = false;
    bool italic = false;
    friend bool operator==(const ListFont&, const ListFont&) = default;
};

// The main window itself: its place and size in twips (outer measures), its state, whether it
// stays on top, whether the edit pane is shown, the geometry of its controls and the list font.
class WindowFrame : public QObject {
    Q_OBJECT
  public:
    enum class Aspect { Placement, State, OnTop, EditPane, Geometry, Font };

    const TwipRect& placement() const { return placement_; }
    void setPlacement(const TwipRect& placement);
    WindowState windowState() const { return state_; }
    void setWindowState(WindowState state);
    bool onTop() const { return onTop_; }
    void setOnTop(bool onTop);
    bool editPaneVisible() const { return editPane_; }
    void setEditPaneVisible(bool visible);
    const ControlGeometry& geometry() const { return geometry_; }
    void setGeometry(const ControlGeometry& geometry);
    const ListFont& font() const { return font_; }
    void setFont(const ListFont& font);
    // The outer size the layout works from: the space the window gives its controls, plus the
    // room its design gave the caption, menu bar, toolbar, status bar and borders.
    double layoutWidth() const { return layoutWidth_; }
    double layoutHeight() const { return layoutHeight_; }
    void setLayoutSize(double width, double height);

    // The user moved, resized, minimised or maximised the window: the view already shows it,
    // and the resize handler lays the window out.
    void userChanged(const TwipRect& placement, WindowState state);

  Q_SIGNALS:
    void resized();  // the resize handling: the window is laid out
    void changed(WindowFrame::Aspect aspect);

  private:
    TwipRect placement_ = kDefaultPlacement;
    WindowState state_ = WindowState::Normal;
    bool onTop_ = false;
    bool editPane_ = true;
    ControlGeometry geometry_;
    ListFont font_;
    double layoutWidth_ = kDefaultPlacement.width;
    double layoutHeight_ = kDefaultPlacement.height;
};

}  // namespace trovix
