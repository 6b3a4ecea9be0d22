#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>

#include "lists/slot.h"
#include "state/controls.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QToolBar;

namespace trovix {
struct MainState;
}

namespace trovix::widgets {

class RecordTextBox;
class ResultListView;
class SearchField;
class SplitterBar;
class StatusPanels;
struct ShownSearch;

// The main window: renders the core's state and hands the user's actions to it.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(MainState& state, QWidget* parent = nullptr);
    ~MainWindow() override;

    ResultListView* listView(lists::SlotId id) const {
        return lists_[static_cast<std::size_t>(id)];
    }

  public Q_SLOTS:
    // The About window with this caption, modal (platform::QtWindowControl calls it).
    void showAbout(const QString& caption);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildToolbar();
    void buildCentralArea();
    void buildStatusBar();
    void connectCore();

    void showEditBox();
    void showSearchBox();
    void showToolbarButton(Command command);
    void showOption(Option option);
    void showStatusBar();
    void showUndoItems();
    void showSaveItem();
    // The window's modified mark and the file buttons' marks of unsaved changes.
    void showChangedFiles();
    // Runs an undo or redo step and puts the keyboard focus back where it was.
    void keepFocusAcross(const std::function<void()>& step);
    void showFrame(WindowFrame::Aspect aspect);
    void showPlacement();
    void showGeometry();
    void showFont();
    void showOnTop();
    void userEditedText();
    // The search whose matches a slot's list highlights: none while Highlight Matches is off.
    ShownSearch shownSearch(lists::SlotId id) const;
    void tellCoreOfWindowChange();
    void tellCoreOfLayoutSize();
    double twipsPerPixel() const;
    void applyMinimumSize();

    MainState& state_;
    QWidget* central_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QGroupBox* frameFind_ = nullptr;
    QGroupBox* frameResults_ = nullptr;
    QGroupBox* frameEdit_ = nullptr;
    SplitterBar* splitter_ = nullptr;
    SearchField* find_ = nullptr;
    RecordTextBox* edit_ = nullptr;
    std::array<ResultListView*, 3> lists_{};
    StatusPanels* panels_ = nullptr;
    std::map<Command, QAction*> buttons_;
    std::map<Option, QAction*> optionItems_;
    QAction* undoItem_ = nullptr;
    QAction* redoItem_ = nullptr;
    QAction* saveItem_ = nullptr;
    bool changedShown_ = false;  // an update of the changed marks is on its way
    bool holdEditBox_ = false;   // an undo or redo step runs with the focus in the edit box
    bool applyingCore_ = false;
    bool watchingScreen_ = false;
};

}  // namespace trovix::widgets
