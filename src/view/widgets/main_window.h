#pragma once

#include <QMainWindow>
#include <array>
#include <map>

#include "app/controls.h"
#include "store/slot.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;

namespace trovix::app {
struct MainState;
}

namespace trovix::view {

class ResultListView;

// The main window: renders the core's state and hands the user's actions to it.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(app::MainState& state, QWidget* parent = nullptr);
    ~MainWindow() override;

    ResultListView* listView(store::SlotId id) const {
        return lists_[static_cast<std::size_t>(id)];
    }

  private:
    void buildMenus();
    void buildToolbar();
    void buildCentralArea();
    void buildStatusBar();
    void connectCore();

    void showEditBox();
    void showSearchBox();
    void showToolbarButton(const QString& key);
    void showOption(app::Option option);
    void showStatusBar();
    void userEditedText();

    app::MainState& state_;
    QComboBox* find_ = nullptr;
    QPlainTextEdit* edit_ = nullptr;
    QGroupBox* frameEdit_ = nullptr;
    std::array<ResultListView*, 3> lists_{};
    std::array<QLabel*, 4> panels_{};
    std::map<QString, QAction*> buttons_;
    std::map<app::Option, QAction*> optionItems_;
};

}  // namespace trovix::view
