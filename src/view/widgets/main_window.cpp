#include "view/widgets/main_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/commands.h"
#include "app/main_state.h"
#include "view/edit_text.h"
#include "view/list_display.h"
#include "view/widgets/result_list_view.h"
#include "view/widgets/toolbar_icons.h"

namespace trovix::view {
namespace {

QString listName(store::SlotId id) {
    static const char* const names[] = {"lstA", "lstB", "lstC"};
    return QString::fromLatin1(names[static_cast<int>(id)]);
}

}  // namespace

MainWindow::MainWindow(app::MainState& state, QWidget* parent)
    : QMainWindow(parent), state_(state) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Trovix"));
    buildMenus();
    buildToolbar();
    buildCentralArea();
    buildStatusBar();
    connectCore();
    resize(640, 720);
}

MainWindow::~MainWindow() {
    state_.editBox.setViewListener({});
    state_.searchBox.setViewListener({});
    state_.searchBox.setSelectAllListener({});
    state_.closeWindow = {};
    state_.toolbar.setViewListener({});
    state_.options.setViewListener({});
    state_.statusBar.setViewListener({});
}

void MainWindow::buildMenus() {
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    struct Item {
        app::Option option;
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Item items[] = {
        {app::Option::IgnoreCase, "mnuIgnoreCase", "&Ignore Case", ""},
        {app::Option::AutoSave, "mnuAutoSave", "&AutoSave", ""},
        {app::Option::SearchWhileTyping, "mnuSearchWhileTyping", "&Search While &Typing", "Ctrl+V"},
        {app::Option::DisplayFileNames, "mnuDisplayFileNames", "&Display File Names", "Ctrl+F"},
    };
    for (const Item& item : items) {
        QAction* action = options->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setCheckable(true);
        action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
        const app::Option option = item.option;
        connect(action, &QAction::triggered, this, [this, option] {
            if (option == app::Option::DisplayFileNames) {
                toggleDisplayFileNames(state_);
            } else {
                state_.options.setChecked(option, !state_.options.isChecked(option));
            }
            showOption(option);
        });
        optionItems_[option] = action;
    }
}

void MainWindow::buildToolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setAccessibleName(QStringLiteral("Commands"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    const char* const groups[][7] = {
        {"find", "viewall", "print", "edit", "data", "font", "copy"},
        {"fileA", "fileB", "fileC"},
        {"new", "delete", "sort"},
        {"select", "save", "open", "refresh"},
        {"email"},
    };
    const QStringList twoState = {QStringLiteral("edit"), QStringLiteral("data"),
                                  QStringLiteral("fileA"), QStringLiteral("fileB"),
                                  QStringLiteral("fileC")};
    for (const auto& group : groups) {
        bar->addSeparator();
        for (const char* name : group) {
            if (name == nullptr) {
                break;
            }
            const QString key = QString::fromLatin1(name);
            // The button's first tool tip names it for assistive technology.
            const app::ToolbarButton* button = state_.toolbar.button(key);
            QAction* action = bar->addAction(toolbarIcon(key), button->toolTip);
            action->setObjectName(key);
            action->setCheckable(twoState.contains(key));
            connect(action, &QAction::triggered, this, [this, key, action] {
                if (action->isCheckable()) {
                    state_.toolbar.setPressed(key, action->isChecked());
                }
                app::toolbarButtonClick(state_, key);
                showToolbarButton(key);
            });
            buttons_[key] = action;
        }
    }
}

void MainWindow::buildCentralArea() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);

    auto* frameFind = new QGroupBox(QStringLiteral("Find &String"), central);
    frameFind->setObjectName(QStringLiteral("frameFind"));
    frameFind->setAccessibleName(QStringLiteral("Find"));
    find_ = new QComboBox(frameFind);
    find_->setObjectName(QStringLiteral("lstFind"));
    find_->setAccessibleName(QStringLiteral("Search text"));
    find_->setEditable(true);
    find_->setInsertPolicy(QComboBox::NoInsert);
    find_->setCompleter(nullptr);  // the typed text is searched as typed, never completed
    (new QVBoxLayout(frameFind))->addWidget(find_);
    find_->setFocus();  // the user types a search first
    column->addWidget(frameFind);

    auto* frameResults = new QGroupBox(QStringLiteral("&Results"), central);
    frameResults->setObjectName(QStringLiteral("frameResults"));
    frameResults->setAccessibleName(QStringLiteral("Results"));
    auto* results = new QVBoxLayout(frameResults);
    const char* const accessible[] = {"Results of file 1", "Results of file 2",
                                      "Results of file 3"};
    for (store::SlotId id : store::kAllSlots) {
        auto* list = new ResultListView(state_.slot(id).list, frameResults);
        list->setObjectName(listName(id));
        list->setAccessibleName(QString::fromLatin1(accessible[static_cast<int>(id)]));
        results->addWidget(list);
        lists_[static_cast<std::size_t>(id)] = list;
    }
    column->addWidget(frameResults, 3);

    auto* splitter = new QFrame(central);
    splitter->setObjectName(QStringLiteral("Picture1"));
    splitter->setAccessibleName(QStringLiteral("Splitter"));
    splitter->setFixedHeight(4);
    splitter->setFrameShape(QFrame::HLine);
    column->addWidget(splitter);

    frameEdit_ = new QGroupBox(QStringLiteral("Edit / Full Content"), central);
    frameEdit_->setObjectName(QStringLiteral("frameEdit"));
    frameEdit_->setAccessibleName(QStringLiteral("Edit"));
    edit_ = new QPlainTextEdit(frameEdit_);
    edit_->setObjectName(QStringLiteral("txtEdit"));
    edit_->setAccessibleName(QStringLiteral("Record text"));
    (new QVBoxLayout(frameEdit_))->addWidget(edit_);
    column->addWidget(frameEdit_, 1);

    setCentralWidget(central);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setAccessibleName(QStringLiteral("Status"));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        panels_[i]->setAccessibleName(i < 3 ? QStringLiteral("File %1 count").arg(i + 1)
                                            : QStringLiteral("Selected row"));
        bar->addWidget(panels_[i], i < 3 ? 2 : 1);
    }
}

void MainWindow::connectCore() {
    state_.editBox.setViewListener([this] { showEditBox(); });
    state_.searchBox.setViewListener([this] { showSearchBox(); });
    state_.toolbar.setViewListener([this](const QString& key) { showToolbarButton(key); });
    state_.options.setViewListener([this](app::Option option) { showOption(option); });
    state_.statusBar.setViewListener([this] { showStatusBar(); });
    connect(edit_, &QPlainTextEdit::textChanged, this, &MainWindow::userEditedText);
    state_.searchBox.setSelectAllListener([this] { find_->lineEdit()->selectAll(); });
    state_.closeWindow = [this] { close(); };
    connect(find_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { state_.searchBox.userTyped(text); });
    connect(find_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { state_.searchBox.keyPress(QChar(13)); });
    connect(find_, &QComboBox::activated, this,
            [this](int row) { state_.searchBox.setListIndex(row); });

    showEditBox();
    showSearchBox();
    for (const auto& [key, action] : buttons_) {
        showToolbarButton(key);
    }
    for (const auto& [option, action] : optionItems_) {
        showOption(option);
    }
    showStatusBar();
}

void MainWindow::showEditBox() {
    if (fromWidgetText(edit_->document()->toRawText()) != state_.editBox.text()) {
        const QSignalBlocker quiet(edit_);
        edit_->setPlainText(toWidgetText(state_.editBox.text()));
    }
    edit_->setEnabled(state_.editBox.isEnabled());
}

void MainWindow::userEditedText() {
    state_.editBox.setText(fromWidgetText(edit_->document()->toRawText()));
}

void MainWindow::showSearchBox() {
    const QSignalBlocker quiet(find_);
    QStringList shown;
    for (int i = 0; i < find_->count(); ++i) {
        shown.append(find_->itemText(i));
    }
    if (shown != state_.searchBox.entries()) {
        find_->clear();
        find_->addItems(state_.searchBox.entries());
    }
    if (find_->currentText() != state_.searchBox.text()) {
        find_->setEditText(state_.searchBox.text());
    }
}

void MainWindow::showToolbarButton(const QString& key) {
    const auto it = buttons_.find(key);
    const app::ToolbarButton* button = state_.toolbar.button(key);
    if (it == buttons_.end() || button == nullptr) {
        return;
    }
    QAction* action = it->second;
    const QSignalBlocker quiet(action);
    action->setChecked(action->isCheckable() && button->pressed);
    action->setEnabled(button->enabled);
    action->setToolTip(button->toolTip);
}

void MainWindow::showOption(app::Option option) {
    const auto it = optionItems_.find(option);
    if (it != optionItems_.end()) {
        const QSignalBlocker quiet(it->second);
        it->second->setChecked(state_.options.isChecked(option));
    }
}

void MainWindow::showStatusBar() {
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->setText(state_.statusBar.panel(static_cast<int>(i) + 1));
    }
    if (!state_.statusBar.simpleText().isEmpty()) {
        statusBar()->showMessage(state_.statusBar.simpleText());
    }
}

}  // namespace trovix::view
