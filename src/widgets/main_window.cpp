#include "widgets/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "about/about_box.h"
#include "app/commands.h"
#include "app/event_handlers.h"
#include "app/shutdown.h"
#include "state/main_state.h"
#include "state/text.h"
#include "view/layout.h"
#include "widgets/about_window.h"
#include "widgets/change_notice_bar.h"
#include "widgets/edit_text.h"
#include "widgets/menu_item_name.h"
#include "widgets/record_text_box.h"
#include "widgets/result_list_view.h"
#include "widgets/result_row_delegate.h"
#include "widgets/search_field.h"
#include "widgets/splitter_bar.h"
#include "widgets/status_panels.h"
#include "widgets/toolbar_icons.h"

namespace trovix::widgets {
namespace {

// The controls are placed as the window design places them, in twips from the top of the
// area below the menu bar. The design's toolbar took the first 420 twips of that area; here the
// toolbar is outside the central area, so everything moves up by as much. The layout works
// from an outer size: the central area plus the room the design gave borders (120 twips across)
// and the caption, menu bar, toolbar and status bar (1550 twips down).
constexpr double kToolbarTwips = 420;
constexpr double kChromeWidthTwips = 120;
constexpr double kChromeHeightTwips = 1550;
constexpr double kMinimumWidthTwips = 7050;
constexpr double kMinimumHeightTwips = 6400;

QString listName(lists::SlotId id) {
    static const char* const names[] = {"lstA", "lstB", "lstC"};
    return QString::fromLatin1(names[static_cast<int>(id)]);
}

}  // namespace

MainWindow::MainWindow(MainState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setObjectName(QStringLiteral("frmMain"));
    // "Trovix*" while a file has changes not saved, as desktop programs show them.
    setWindowTitle(QStringLiteral("Trovix[*]"));  // the program's name
    buildMenus();
    buildToolbar();
    // Below the toolbar, above the lists; shown only while a changed file awaits an answer.
    addToolBarBreak();
    addToolBar(new ChangeNoticeBar(state_.changeNotice, this));
    buildCentralArea();
    buildStatusBar();
    connectCore();
    applyMinimumSize();
    showPlacement();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    QMenu* menu = nullptr;
    for (const MenuEntry& entry : kMenuBar) {
        const QString caption = QCoreApplication::translate("CommandTable", entry.caption);
        const QString name = QString::fromLatin1(entry.name);
        if (entry.kind == MenuItemKind::Menu) {
            menu = menuBar()->addMenu(caption);
            menu->setObjectName(name);
            continue;
        }
        if (entry.kind == MenuItemKind::Separator) {
            menu->addSeparator()->setObjectName(name);
            continue;
        }
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        if (caption.count(QLatin1Char('&')) > 1) {
            setMenuItemAccessibleName(action, withoutAccessMarks(caption));
        }
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        for (const ExtraShortcut& extra : kExtraShortcuts) {
            if (entry.kind == MenuItemKind::Command && extra.command == entry.command) {
                action->setShortcuts(
                    {action->shortcut(), QKeySequence(QString::fromLatin1(extra.shortcut))});
            }
        }
        if (entry.kind == MenuItemKind::Check) {
            const Option option = entry.option;
            action->setCheckable(true);
            connect(action, &QAction::triggered, this, [this, option] {
                app::optionMenuClick(state_, option);
                showOption(option);
            });
            optionItems_[option] = action;
        } else {
            const MenuCommand command = entry.command;
            connect(action, &QAction::triggered, this, [this, command] {
                if (command == MenuCommand::Undo || command == MenuCommand::Redo) {
                    // The focus stays where it was: an undo changes records, not where the
                    // user works.
                    keepFocusAcross([&] { app::menuCommand(state_, command); });
                } else {
                    app::menuCommand(state_, command);
                }
            });
            if (command == MenuCommand::Undo || command == MenuCommand::Redo) {
                (command == MenuCommand::Undo ? undoItem_ : redoItem_) = action;
            }
            if (command == MenuCommand::Save) {
                saveItem_ = action;
                // It names the file it saves, as the list with focus is when the menu opens.
                connect(menu, &QMenu::aboutToShow, this, &MainWindow::showSaveItem);
            }
        }
    }
}

void MainWindow::buildToolbar() {
    QToolBar* bar = addToolBar(QCoreApplication::translate("MainWindow", "Toolbar"));
    toolbar_ = bar;
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setAccessibleName(QCoreApplication::translate("MainWindow", "Commands"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    // Eighteen buttons fit the narrowest window this way.
    bar->layout()->setSpacing(0);
    bar->setContentsMargins(0, 0, 0, 0);
    for (const ToolbarEntry& entry : kToolbar) {
        if (!entry.command) {
            bar->addSeparator();
            continue;
        }
        const Command command = *entry.command;
        // The button's first tool tip names it for assistive technology.
        const QString toolTip = QCoreApplication::translate("CommandTable", entry.toolTip);
        QAction* action = bar->addAction(toolbarIcon(QString::fromLatin1(entry.image)), toolTip);
        action->setObjectName(QString::fromLatin1(entry.key));
        action->setCheckable(entry.style == ButtonStyle::Check);
        // Every button can be reached with Tab, not only with the mouse.
        if (QWidget* button = bar->widgetForAction(action)) {
            button->setFocusPolicy(Qt::TabFocus);
            button->setAccessibleName(toolTip);
        }
        connect(action, &QAction::triggered, this, [this, command] {
            app::toolbarButtonPressed(state_, command);
            showToolbarButton(command);  // the core decides the pressed state
            if (command == Command::New && state_.editBox.isEnabled()) {
                // Typing replaces "New Item".
                edit_->setFocus(Qt::OtherFocusReason);
                edit_->selectAll();
            }
        });
        buttons_[command] = action;
    }
    // The button that shows the buttons a narrow window leaves out.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(QCoreApplication::translate("MainWindow", "More commands"));
    }
}

void MainWindow::buildCentralArea() {
    central_ = new QWidget(this);
    central_->installEventFilter(this);  // its size drives the layout

    frameFind_ = new QGroupBox(QCoreApplication::translate("MainWindow", "Find &String"), central_);
    frameFind_->setObjectName(QStringLiteral("frameFind"));
    frameFind_->setAccessibleName(QCoreApplication::translate("MainWindow", "Find"));
    find_ = new SearchField(frameFind_);
    find_->setObjectName(QStringLiteral("lstFind"));
    find_->setAccessibleName(QCoreApplication::translate("MainWindow", "Search text"));
    find_->setFocus();  // the user types a search first

    frameResults_ = new QGroupBox(QCoreApplication::translate("MainWindow", "&Results"), central_);
    frameResults_->setObjectName(QStringLiteral("frameResults"));
    frameResults_->setAccessibleName(QCoreApplication::translate("MainWindow", "Results"));
    for (lists::SlotId id : lists::kAllSlots) {
        auto* list = new ResultListView(state_.slot(id).list, frameResults_);
        list->setObjectName(listName(id));
        list->setAccessibleName(QCoreApplication::translate("MainWindow", "Results of file %1")
                                    .arg(static_cast<int>(id) + 1));
        lists_[static_cast<std::size_t>(id)] = list;
        connect(list, &ResultListView::deletePressed, this, [this, id] {
            // The record selected in this list, when it is the list with focus, as the toolbar's
            // Delete would: one step that undo takes back.
            if (state_.listWithFocus == id && state_.slot(id).list.listIndex() >= 0 &&
                state_.toolbar.button(Command::Delete).enabled) {
                app::toolbarButtonPressed(state_, Command::Delete);
            }
        });
    }
    // Alt+R ("&Results") goes to the list with focus, or to the first list shown.
    frameResults_->installEventFilter(this);

    splitter_ = new SplitterBar(state_, central_);
    splitter_->setObjectName(QStringLiteral("Picture1"));
    splitter_->setBackgroundRole(QPalette::Button);  // the colour of button faces
    splitter_->setAutoFillBackground(true);
    splitter_->raise();

    frameEdit_ =
        new QGroupBox(QCoreApplication::translate("MainWindow", "Edit / Full Content"), central_);
    frameEdit_->setObjectName(QStringLiteral("frameEdit"));
    frameEdit_->setAccessibleName(QCoreApplication::translate("MainWindow", "Edit"));
    edit_ = new RecordTextBox(frameEdit_);
    edit_->setObjectName(QStringLiteral("txtEdit"));
    edit_->setAccessibleName(QCoreApplication::translate("MainWindow", "Record text"));

    setCentralWidget(central_);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setAccessibleName(QCoreApplication::translate("MainWindow", "Status"));
    panels_ = new StatusPanels(bar);
    for (int i = 0; i < StatusPanels::kCount; ++i) {
        QLabel* panel = panels_->panel(i);
        panel->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        // A screen reader reads a panel's text as its name: the file and its count, the row.
        if (i < 3) {
            panel->setAccessibleDescription(
                QCoreApplication::translate("MainWindow", "File %1 and its rows").arg(i + 1));
        }
    }
    bar->addWidget(panels_, 1);
}

void MainWindow::connectCore() {
    // The core's controls tell the window of every change; the connections end with it.
    connect(&state_.editBox, &EditBox::viewChanged, this, &MainWindow::showEditBox);
    connect(&state_.searchBox, &SearchBox::viewChanged, this, &MainWindow::showSearchBox);
    connect(&state_.toolbar, &Toolbar::buttonChanged, this, &MainWindow::showToolbarButton);
    connect(&state_.options, &OptionMenu::optionChanged, this, &MainWindow::showOption);
    connect(&state_.statusBar, &StatusBar::changed, this, [this](StatusBar::Aspect aspect) {
        if (aspect == StatusBar::Aspect::Message) {
            statusBar()->showMessage(state_.statusBar.message(), 8000);
        } else {
            showStatusBar();
        }
    });
    connect(&state_.frame, &WindowFrame::changed, this, &MainWindow::showFrame);
    connect(&state_.edits, &undo::EditHistory::changed, this, &MainWindow::showUndoItems);
    // Which files have unsaved changes, once the change that told of it is done.
    const auto changedFiles = [this] {
        if (!changedShown_) {
            changedShown_ = true;
            QMetaObject::invokeMethod(this, &MainWindow::showChangedFiles, Qt::QueuedConnection);
        }
    };
    connect(&state_.edits, &undo::EditHistory::changed, this, changedFiles);
    connect(&state_.edits, &undo::EditHistory::recordsChanged, this, changedFiles);
    connect(edit_, &QPlainTextEdit::textChanged, this, &MainWindow::userEditedText);
    // Each list highlights the terms of the search it shows; the edit box those of the list
    // with focus, marked again whenever a list is filled anew.
    for (lists::SlotId id : lists::kAllSlots) {
        ResultListView* list = listView(id);
        list->rowDelegate()->setShownSearchSource([this, id] { return shownSearch(id); });
        connect(list->model(), &QAbstractItemModel::modelReset, edit_, &RecordTextBox::showMatches);
    }
    edit_->setShownSearchSource(
        [this] { return shownSearch(state_.listWithFocus.value_or(lists::SlotId::A)); });
    // Text typed or pasted next to a stand-in must not take over its mark.
    connect(edit_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (edit_->currentCharFormat().hasProperty(kStandInProperty)) {
            edit_->setCurrentCharFormat(QTextCharFormat());
        }
    });
    connect(&state_.searchBox, &SearchBox::selectAllAsked, find_->lineEdit(),
            &QLineEdit::selectAll);
    connect(find_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { state_.searchBox.userTyped(text); });
    connect(find_, &SearchField::enterPressed, this,
            [this] { state_.searchBox.keyPress(QChar(13)); });
    connect(find_, &SearchField::entryChosen, this,
            [this](int row) { state_.searchBox.setListIndex(row); });

    showEditBox();
    showSearchBox();
    for (const auto& [command, action] : buttons_) {
        showToolbarButton(command);
    }
    for (const auto& [option, action] : optionItems_) {
        showOption(option);
    }
    showStatusBar();
    showUndoItems();
    showFont();
    showGeometry();
    frameEdit_->setVisible(state_.frame.editPaneVisible());
    splitter_->setVisible(state_.frame.editPaneVisible());
}

void MainWindow::showEditBox() {
    if (editTextOf(*edit_->document()) != state_.editBox.text()) {
        const QSignalBlocker quiet(edit_);
        setEditText(*edit_->document(), state_.editBox.text());
        edit_->moveCursor(QTextCursor::Start);
        edit_->setCurrentCharFormat(QTextCharFormat());
    }
    if (!holdEditBox_) {
        edit_->setEnabled(state_.editBox.isEnabled());
    }
    edit_->showMatches();
}

ShownSearch MainWindow::shownSearch(lists::SlotId id) const {
    if (!state_.options.isChecked(Option::HighlightMatches)) {
        return {};
    }
    const lists::FileSlot& slot = state_.slot(id);
    return {slot.shownSearch, slot.shownSearchIgnoresCase};
}

void MainWindow::userEditedText() {
    state_.editBox.setText(editTextOf(*edit_->document()));
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

void MainWindow::showToolbarButton(Command command) {
    const auto it = buttons_.find(command);
    if (it == buttons_.end()) {
        return;
    }
    const ToolbarButton& button = state_.toolbar.button(command);
    QAction* action = it->second;
    const QSignalBlocker quiet(action);
    action->setChecked(action->isCheckable() && button.pressed);
    action->setEnabled(button.enabled);
    // A file button marks its file's unsaved changes: "phone_numbers.txt, changed".
    const std::optional<lists::SlotId> file = slotOfFileButton(command);
    const bool changed = file && state_.slot(*file).changed;
    const QString tip =
        changed ? QCoreApplication::translate("MainWindow", "%1, changed").arg(button.toolTip)
                : button.toolTip;
    action->setToolTip(tip);
    if (file) {
        action->setIcon(toolbarIcon(QString::fromLatin1(toolbarEntry(command).image), changed));
    }
    // The name says what the button is; the description says whether it is pressed, and which
    // file a file button shows. Without one, Qt would read the tool tip, often the name again.
    if (QWidget* widget = toolbar_->widgetForAction(action)) {
        const bool pressed = action->isChecked();
        QString description;
        if (tip == widget->accessibleName()) {
            description = pressed ? QCoreApplication::translate("MainWindow", "pressed")
                                  : QCoreApplication::translate("MainWindow", "not pressed");
        } else {
            description = (pressed ? QCoreApplication::translate("MainWindow", "pressed, %1")
                                   : QCoreApplication::translate("MainWindow", "not pressed, %1"))
                              .arg(tip);
        }
        widget->setAccessibleDescription(description);
    }
}

void MainWindow::showOption(Option option) {
    const auto it = optionItems_.find(option);
    if (it != optionItems_.end()) {
        const QSignalBlocker quiet(it->second);
        it->second->setChecked(state_.options.isChecked(option));
    }
    if (option == Option::HighlightMatches) {
        for (ResultListView* list : lists_) {
            list->viewport()->update();
        }
        edit_->showMatches();
    }
}

void MainWindow::showSaveItem() {
    // "Save phone_numbers.txt"; an "&" of a file name is no access mark.
    const lists::FileSlot* slot = state_.focusedSlot();
    QString name = slot != nullptr ? withoutFolder(slot->fileName) : QString();
    name.replace(u'&', QStringLiteral("&&"));
    saveItem_->setText(name.isEmpty()
                           ? QCoreApplication::translate("MainWindow", "Sa&ve")
                           : QCoreApplication::translate("MainWindow", "Sa&ve %1").arg(name));
    saveItem_->setEnabled(slot != nullptr);
}

void MainWindow::showChangedFiles() {
    changedShown_ = false;
    bool any = false;
    for (lists::SlotId id : lists::kAllSlots) {
        any = any || state_.slot(id).changed;
        showToolbarButton(fileButton(id));
    }
    setWindowModified(any);
}

void MainWindow::keepFocusAcross(const std::function<void()>& step) {
    QWidget* before = QApplication::focusWidget();
    const std::optional<lists::SlotId> focusBefore = state_.listWithFocus;
    const QString textBefore = edit_->toPlainText();
    // The edit box is emptied and disabled while the lists are filled anew; were it disabled,
    // the focus would move on to the toolbar. It takes the state the step leaves at the end.
    holdEditBox_ = before == edit_;
    step();
    holdEditBox_ = false;
    showEditBox();
    // The record shown may now be in another list: the focus follows it there from a list.
    QWidget* after = before;
    const auto wasList = std::find(lists_.begin(), lists_.end(), before);
    if (wasList != lists_.end() && state_.listWithFocus != focusBefore && state_.listWithFocus) {
        after = listView(*state_.listWithFocus);
    }
    if (after != nullptr && after->isVisible() && after->isEnabled()) {
        after->setFocus(Qt::OtherFocusReason);
    } else if (before == edit_ && state_.listWithFocus) {
        listView(*state_.listWithFocus)->setFocus(Qt::OtherFocusReason);
    }
    if (after == edit_ && edit_->hasFocus()) {
        // The cursor goes to the end of what the step changed, as in a text editor.
        const QString text = edit_->toPlainText();
        qsizetype same = 0;
        while (same < text.size() && same < textBefore.size() && text[same] == textBefore[same]) {
            ++same;
        }
        qsizetype sameEnd = 0;
        while (sameEnd < text.size() - same && sameEnd < textBefore.size() - same &&
               text[text.size() - 1 - sameEnd] == textBefore[textBefore.size() - 1 - sameEnd]) {
            ++sameEnd;
        }
        QTextCursor cursor = edit_->textCursor();
        cursor.setPosition(static_cast<int>(text.size() - sameEnd));
        edit_->setTextCursor(cursor);
    }
}

void MainWindow::showUndoItems() {
    // "Undo Delete", "Redo Sort of phone_numbers.txt"; an "&" of a file name is no access mark.
    const auto show = [](QAction* item, const QString& caption, const QString& captionOfStep,
                         const QString& step) {
        QString name = step;
        name.replace(u'&', QStringLiteral("&&"));
        item->setText(step.isEmpty() ? caption : captionOfStep.arg(name));
        item->setEnabled(!step.isEmpty());
    };
    show(undoItem_, QCoreApplication::translate("MainWindow", "&Undo"),
         QCoreApplication::translate("MainWindow", "&Undo %1"), state_.edits.undoName());
    show(redoItem_, QCoreApplication::translate("MainWindow", "Re&do"),
         QCoreApplication::translate("MainWindow", "Re&do %1"), state_.edits.redoName());
}

void MainWindow::showStatusBar() {
    for (int i = 0; i < StatusPanels::kCount - 1; ++i) {
        panels_->setText(i, state_.statusBar.panel(i + 1));
    }
    // The row panel's two numbers, explained: "row 3, record 17".
    const QString row = state_.statusBar.panel(StatusPanels::kCount);
    const QStringList numbers = row.split(u' ', Qt::SkipEmptyParts);
    panels_->setText(StatusPanels::kCount - 1, row,
                     numbers.size() == 2
                         ? QCoreApplication::translate("MainWindow", "row %1, record %2")
                               .arg(numbers[0], numbers[1])
                         : QString());
}

double MainWindow::twipsPerPixel() const {
    return state_.services.screen->twipsPerPixel();
}

void MainWindow::showFrame(WindowFrame::Aspect aspect) {
    switch (aspect) {
        case WindowFrame::Aspect::Placement:
            showPlacement();
            break;
        case WindowFrame::Aspect::State: {
            const WindowState s = state_.frame.windowState();
            const QScopedValueRollback applying(applyingCore_, true);
            setWindowState(s == WindowState::Maximized   ? Qt::WindowMaximized
                           : s == WindowState::Minimized ? Qt::WindowMinimized
                                                         : Qt::WindowNoState);
            break;
        }
        case WindowFrame::Aspect::OnTop:
            showOnTop();
            break;
        case WindowFrame::Aspect::EditPane:
            frameEdit_->setVisible(state_.frame.editPaneVisible());
            splitter_->setVisible(state_.frame.editPaneVisible());
            break;
        case WindowFrame::Aspect::Geometry:
            showGeometry();
            break;
        case WindowFrame::Aspect::Font:
            showFont();
            break;
    }
}

void MainWindow::showPlacement() {
    const double tpp = twipsPerPixel();
    const TwipRect& p = state_.frame.placement();
    {
        const QScopedValueRollback applying(applyingCore_, true);
        if (state_.services.screen->canPlaceWindows()) {
            move(pixels(p.left, tpp), pixels(p.top, tpp));
        }
        resize(pixels(p.width, tpp), pixels(p.height, tpp));
    }
    tellCoreOfLayoutSize();
}

void MainWindow::tellCoreOfLayoutSize() {
    // Before the window is first shown its central area has no size yet; it will have what
    // the bars leave of the window.
    const QSize area = isVisible() ? central_->size()
                                   : QSize(width(), height() - menuBar()->sizeHint().height() -
                                                        toolbar_->sizeHint().height() -
                                                        statusBar()->sizeHint().height());
    const double tpp = twipsPerPixel();
    state_.frame.setLayoutSize(area.width() * tpp + kChromeWidthTwips,
                               area.height() * tpp + kChromeHeightTwips);
}

void MainWindow::showGeometry() {
    const double tpp = twipsPerPixel();
    const auto px = [tpp](const TwipRect& r, double shiftUp) {
        return QRect(pixels(r.left, tpp), pixels(r.top - shiftUp, tpp),
                     std::max(0, pixels(r.width, tpp)), std::max(0, pixels(r.height, tpp)));
    };
    // Places are given from the left; a right-to-left language mirrors them in their parent.
    const auto place = [this](QWidget* widget, const QRect& fromLeft) {
        widget->setGeometry(
            QStyle::visualRect(layoutDirection(), widget->parentWidget()->rect(), fromLeft));
    };
    const ControlGeometry& g = state_.frame.geometry();
    place(frameFind_, px(g.frameFind, kToolbarTwips));
    place(find_, px(g.lstFind, 0));
    place(frameResults_, px(g.frameResults, kToolbarTwips));
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        place(lists_[i], px(g.lists[i], 0));
    }
    // The bar spans the window's whole width, borders included; here that is the central area.
    QRect bar = px(g.picture1, kToolbarTwips);
    bar.setLeft(0);
    bar.setWidth(central_->width());
    splitter_->setGeometry(bar);
    splitter_->showPlace();
    place(frameEdit_, px(g.frameEdit, kToolbarTwips));
    place(edit_, px(g.txtEdit, 0));
}

void MainWindow::showFont() {
    const ListFont& chosen = state_.frame.font();
    QFont font(chosen.name, chosen.size);
    font.setBold(chosen.bold);
    font.setItalic(chosen.italic);
    for (ResultListView* list : lists_) {
        list->setFont(font);
    }
    edit_->setFont(font);
}

void MainWindow::showOnTop() {
    const bool onTop = state_.frame.onTop();
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) {
        return;
    }
    // Changing a window flag hides the window; it comes back where it was, as large as it was.
    const bool wasVisible = isVisible();
    const QRect place = geometry();
    const QScopedValueRollback applying(applyingCore_, true);
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) {
        setGeometry(place);
        show();
    }
}

void MainWindow::tellCoreOfWindowChange() {
    if (applyingCore_ || !isVisible()) {
        return;
    }
    const double tpp = twipsPerPixel();
    const WindowState s = isMinimized()   ? WindowState::Minimized
                          : isMaximized() ? WindowState::Maximized
                                          : WindowState::Normal;
    TwipRect place{pos().x() * tpp, pos().y() * tpp, width() * tpp, height() * tpp};
    if (!state_.services.screen->canPlaceWindows()) {
        // Where the desktop put the window is not known (Qt reports 0,0 or the place last asked
        // for): the stored place stays.
        place.left = state_.frame.placement().left;
        place.top = state_.frame.placement().top;
    }
    state_.frame.userChanged(place, s);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    tellCoreOfWindowChange();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    tellCoreOfWindowChange();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == central_ && event->type() == QEvent::Resize) {
        if (isVisible()) {
            tellCoreOfLayoutSize();
        }
        // Mirrored places depend on the width they are mirrored in.
        if (layoutDirection() == Qt::RightToLeft) {
            showGeometry();
        }
    }
    if (watched == frameResults_ && event->type() == QEvent::Shortcut) {
        ResultListView* target = nullptr;
        if (state_.listWithFocus && listView(*state_.listWithFocus)->isVisible()) {
            target = listView(*state_.listWithFocus);
        }
        for (auto it = lists_.begin(); target == nullptr && it != lists_.end(); ++it) {
            target = (*it)->isVisible() ? *it : nullptr;
        }
        if (target != nullptr) {
            target->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        tellCoreOfWindowChange();
    }
}

void MainWindow::showAbout(const QString& caption) {
    AboutWindow about(caption, this);
    about.adjustSize();
    // Centred on the main window by its outer measures, frame included, in twips.
    const double tpp = twipsPerPixel();
    const QRect outer = frameGeometry();
    const QSize size = about.frameGeometry().size();
    const TwipRect place = about::aboutPlacement(
        {outer.x() * tpp, outer.y() * tpp, outer.width() * tpp, outer.height() * tpp},
        size.width() * tpp, size.height() * tpp);
    about.move(pixels(place.left, tpp), pixels(place.top, tpp));
    about.exec();
}

void MainWindow::applyMinimumSize() {
    const double tpp = twipsPerPixel();
    setMinimumSize(static_cast<int>(kMinimumWidthTwips / tpp),
                   static_cast<int>(kMinimumHeightTwips / tpp));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The screen's dots per inch are known now, and change when the window moves to another.
    applyMinimumSize();
    if (windowHandle() != nullptr && !watchingScreen_) {
        watchingScreen_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] {
            applyMinimumSize();
            tellCoreOfLayoutSize();
        });
    }
    if (!applyingCore_) {
        app::windowShown(state_);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!app::queryClose(state_)) {
        event->ignore();
        return;
    }
    // Off the screen at once; the settings are stored after.
    hide();
    QGuiApplication::sync();
    app::unload(state_);
    event->accept();
}

}  // namespace trovix::widgets
