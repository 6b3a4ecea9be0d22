#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/startup.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_screen.h"
#include "state/main_state.h"
#include "support/files.h"
#include "view/widgets/main_window.h"

namespace trovix::testing {

// The real main window, started as the program starts it on three temporary data files.
struct WindowFixture {
    QTemporaryDir dir;
    platform::FakeMessageBoxes messages;
    platform::FakeScreen screen;  // used only when a test sets it
    MainState state{{.messages = &messages}};
    std::unique_ptr<view::MainWindow> window;
    QComboBox* find = nullptr;
    QPlainTextEdit* edit = nullptr;

    WindowFixture(const QByteArray& a, const QByteArray& b, const QByteArray& c) {
        writeBytes(dir.filePath(QStringLiteral("phone_numbers.txt")), a);
        writeBytes(dir.filePath(QStringLiteral("taglines.txt")), b);
        writeBytes(dir.filePath(QStringLiteral("area_codes.txt")), c);
        start(dir.path(), {});
    }
    // A run of the program in a folder of the caller's, with real settings and a screen of
    // 1920 x 1080 pixels at 96 dpi.
    WindowFixture(const QString& folder, platform::SettingsStore* settings,
                  const QStringList& arguments = {}) {
        state.services.settings = settings;
        state.services.screen = &screen;
        start(folder, arguments);
    }
    void start(const QString& folder, const QStringList& arguments) {
        state.programFolder = folder;
        window = std::make_unique<view::MainWindow>(state);
        app::startUp(state, {arguments, QString()});
        window->show();
        find = window->findChild<QComboBox*>(QStringLiteral("lstFind"));
        edit = window->findChild<QPlainTextEdit*>(QStringLiteral("txtEdit"));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QListView* list(const char* name) {
        return window->findChild<QListView*>(QString::fromLatin1(name));
    }
    QListView* list(store::SlotId id) {
        const char* const names[] = {"lstA", "lstB", "lstC"};
        return list(names[static_cast<int>(id)]);
    }
    QAction* action(const char* name) {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
    QString panel(int n) {
        return window->findChild<QLabel*>(QStringLiteral("panel%1").arg(n))->text();
    }
    // Clicks a row of a list view as the user would.
    static void clickRow(QListView* view, int row) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }
    // Types a search text over what the box holds and presses Enter.
    void typeSearch(const QString& text) {
        find->lineEdit()->selectAll();
        QTest::keyClicks(find->lineEdit(), text);
        QTest::keyClick(find->lineEdit(), Qt::Key_Return);
    }
};

}  // namespace trovix::testing
