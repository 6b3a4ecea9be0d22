#pragma once

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWindow>
#include <memory>

#include "app/startup.h"
#include "platform/fake/fake_services.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_window_control.h"
#include "state/main_state.h"
#include "support/files.h"
#include "widgets/main_window.h"

namespace trovix::testing {

// What a list shows, row by row, as a screen reader would read it.
inline QStringList shownRows(const QListView* view) {
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        out << view->model()->index(r, 0).data().toString();
    }
    return out;
}

// The real main window, started as the program starts it on three temporary data files, and a
// user in front of it: keys go to the widget that has the focus and clicks land at a point of
// the window, both through the window as the window system delivers them.
struct WindowFixture {
    QTemporaryDir dir;
    platform::FakeServices services;
    platform::FakeScreen& screen = services.screen;
    platform::FakeMessageBoxes& messages = services.messages;
    MainState state{services.services()};
    // The window closes and shows its About window as in the program.
    platform::OwnerWindow owner;
    platform::QtWindowControl windowControl{owner};
    std::unique_ptr<widgets::MainWindow> window;
    QComboBox* find = nullptr;
    QPlainTextEdit* edit = nullptr;

    WindowFixture(const QByteArray& a, const QByteArray& b, const QByteArray& c) {
        const QByteArray* contents[] = {&a, &b, &c};
        for (int n = 1; n <= 3; ++n) {
            QVERIFY(writeBytes(file(n), *contents[n - 1]));
            QVERIFY(age(file(n)));  // any write shows in the file's date
        }
        start(dir.path(), {});
    }
    // A run of the program in a folder of the caller's, with real settings.
    WindowFixture(const QString& folder, platform::SettingsStore& settings,
                  const QStringList& arguments = {}) {
        state.services.settings = settings;
        start(folder, arguments);
    }
    void start(const QString& folder, const QStringList& arguments) {
        state.programFolder = folder;
        screen.placeable = platform::QtScreen(owner).canPlaceWindows();
        window = std::make_unique<widgets::MainWindow>(state);
        owner.set(window.get());
        state.services.window = windowControl;
        app::startUp(state, {arguments, QString(), {}});
        // Every change of a list's rows keeps to Qt's model contract.
        for (const lists::SlotId id : lists::kAllSlots) {
            new QAbstractItemModelTester(list(id)->model(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest,
                                         list(id));
        }
        window->show();
        find = window->findChild<QComboBox*>(QStringLiteral("lstFind"));
        edit = window->findChild<QPlainTextEdit*>(QStringLiteral("txtEdit"));
        window->activateWindow();
        // A Wayland compositor, not the program, activates the window: Qt cannot wait for it
        // with qWaitForWindowActive there, so the test waits for the keyboard focus itself.
        QVERIFY(QTest::qWaitForWindowExposed(window.get()) &&
                QTest::qWaitFor([this] { return QApplication::activeWindow() == window.get(); }));
    }
    // The data file of slot n (1 to 3) in the fixture's folder.
    QString file(int n) const {
        const char* const names[] = {"phone_numbers.txt", "taglines.txt", "area_codes.txt"};
        return dir.filePath(QString::fromLatin1(names[n - 1]));
    }

    QListView* list(lists::SlotId id) {
        const char* const names[] = {"lstA", "lstB", "lstC"};
        return window->findChild<QListView*>(QString::fromLatin1(names[static_cast<int>(id)]));
    }
    QAction* action(const char* name) {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
    // The toolbar's button of a command key.
    QWidget* button(const char* key) {
        return window->findChild<QToolBar*>()->widgetForAction(action(key));
    }
    QString panel(int n) {
        return window->findChild<QLabel*>(QStringLiteral("panel%1").arg(n))->text();
    }

    // The widget with the keyboard focus.
    static QWidget* focus() { return QApplication::focusWidget(); }
    // The window that keys go to: the main window, or a drop-down list open over it. Under an
    // X server a window has the focus only once the server says so, after it was shown or a
    // drop-down list closed; a user's key reaches the server after that, so the test waits too.
    QWindow* keyWindow() const {
        const auto settled = [] {
            QWindow* focus = QGuiApplication::focusWindow();
            const QWidget* popup = QApplication::activePopupWidget();
            return focus != nullptr && (popup == nullptr || focus == popup->windowHandle());
        };
        [[maybe_unused]] const bool inTime = QTest::qWaitFor(settled, 10000);
        QWindow* active = QGuiApplication::focusWindow();
        return active != nullptr ? active : window->windowHandle();
    }
    // A key pressed and released.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(keyWindow(), key, modifiers);
    }
    void key(const QKeySequence& keys) { key(keys[0].key(), keys[0].keyboardModifiers()); }
    // Typing plain ASCII text.
    void type(const QString& text) {
        for (const QChar c : text) {
            QTest::keyClick(keyWindow(), c.toLatin1());
        }
    }
    // Tab (or Shift+Tab) pressed until the focus reaches `target`, at most 40 times; false when
    // it never does.
    bool tabTo(const QWidget* target, bool forward = true) {
        for (int i = 0; i < 40 && focus() != target; ++i) {
            key(forward ? Qt::Key_Tab : Qt::Key_Backtab,
                forward ? Qt::NoModifier : Qt::ShiftModifier);
        }
        return focus() == target;
    }

    // A left click at a point of a widget, delivered to whatever the window shows there.
    void clickAt(QWidget* widget, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QVERIFY2(widget->isVisible() && widget->rect().contains(at),
                 qPrintable(widget->objectName()));
        const QPoint inWindow = widget->mapTo(window.get(), at);
        const QWidget* hit = window->childAt(inWindow);
        QVERIFY2(hit == widget || widget->isAncestorOf(hit), "something lies over the point");
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, modifiers, inWindow);
    }
    void click(QWidget* widget) { clickAt(widget, widget->rect().center()); }
    // The middle of the part of a row that a list shows, in its viewport; a null point when
    // the row is out of sight.
    static QPoint rowPoint(const QListView* view, int row) {
        const QRect shown =
            view->visualRect(view->model()->index(row, 0)).intersected(view->viewport()->rect());
        return shown.isEmpty() ? QPoint() : shown.center();
    }
    void clickRow(QListView* view, int row) {
        const QPoint at = rowPoint(view, row);
        QVERIFY2(!at.isNull(), "the row is out of sight");
        clickAt(view->viewport(), at);
    }

    // The window as the user sees it, in one line: the widget with the focus, the row each list
    // highlights ('-' for none, '*' for more than one), and the edit box's text with its lines
    // joined by '|' and "(off)" while it takes no typing.
    QString seen() {
        QString out = focus() != nullptr ? focus()->objectName() : QStringLiteral("nothing");
        for (const lists::SlotId id : lists::kAllSlots) {
            const QModelIndexList rows = list(id)->selectionModel()->selectedIndexes();
            out += u' ' + (rows.size() == 1 ? QString::number(rows[0].row())
                                            : QString::fromLatin1(rows.isEmpty() ? "-" : "*"));
        }
        return out + QStringLiteral(" | ") + edit->toPlainText().replace(u'\n', u'|') +
               (edit->isEnabled() ? "" : " (off)");
    }

    // Clicks into the search box, types a text over what it holds and presses Enter.
    void typeSearch(const QString& text) {
        click(find);
        key(Qt::Key_A, Qt::ControlModifier);
        type(text);
        key(Qt::Key_Return);
    }
};

}  // namespace trovix::testing
