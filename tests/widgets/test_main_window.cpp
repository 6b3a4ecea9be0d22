#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/search_commands.h"
#include "platform/fake/fake_font_dialog.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/system_disk.h"
#include "search/search_box.h"
#include "support/colours.h"
#include "support/list_views.h"
#include "support/window_fixture.h"
#include "widgets/edit_text.h"

using namespace trovix;
using lists::SlotId;
using platform::MessageAnswer;
using testing::aged;
using testing::contrast;
using testing::readBytes;
using testing::shownRows;
using testing::writeBytes;

namespace {

const QByteArray kPhones = "Smith, Ann\r\n-----(212) 555-0100\r\nJones, Bo\r\n-----555-0199\r\n";

// The real window on three small files, one of them with LF line breaks and one with a stray LF
// and CR inside a line.
struct Window : testing::WindowFixture {
    explicit Window(const QByteArray& a = kPhones)
        : WindowFixture(a, "Smithers, Al\r\nOdd\nli\rne\r\n", "212  New York\n201  New Jersey\n") {}
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void showsTheFilesAndTheRecordAtEachActivationWithoutAWidgetPerRow() {
        Window w;
        QCOMPARE(shownRows(w.list(SlotId::B)), QStringList({"Smithers, Al", "Odd\nli\rne"}));
        QVERIFY(!w.list(SlotId::A)->accessibleName().isEmpty());
        // Each activation of the window selects and shows the first record of the list with
        // focus (list A on a first run); the search box has the keyboard focus.
        QCOMPARE(w.seen(), "lstFind 0 - - | Smith, Ann|(212) 555-0100");
        QCOMPARE(w.list(SlotId::A)->currentIndex().row(), 0);

        // A large list needs no widget per row.
        QStringList many;
        for (int i = 0; i < 200000; ++i) {
            many << QStringLiteral("record %1").arg(i);
        }
        lists::FileSlot& slot = w.state.slot(SlotId::C);
        slot.records = store::RecordArray::fromStrings(many);
        lists::listAllRecords(slot.list, slot.records, slot.fileName, {false, false});
        slot.list.setListIndex(150000);
        QListView* lstC = w.list(SlotId::C);
        QCOMPARE(lstC->model()->rowCount(), 200000);
        QCOMPARE(lstC->currentIndex().data().toString(), "record 150000");
        // The view places the rows of a large list in parts after it changed; a row not yet
        // placed is placed before the view scrolls to it or End moves onto the last.
        const auto inSight = [lstC] {
            return lstC->viewport()->rect().intersects(lstC->visualRect(lstC->currentIndex()));
        };
        QVERIFY(inSight());
        w.clickRow(lstC, 150000);
        lists::listAllRecords(slot.list, slot.records, slot.fileName, {false, false});
        slot.list.setListIndex(5);
        w.key(Qt::Key_End);
        QCOMPARE(lstC->currentIndex().data().toString(), "record 199999");
        QVERIFY(inSight() && slot.list.listIndex() == 199999);

        // Coming back from another window keeps the record the user was at.
        if (QGuiApplication::platformName() == QLatin1String("wayland")) {
            QSKIP("A Wayland compositor does not let a program activate its own window");
        }
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QCOMPARE(w.seen(), "lstC - - 199999 | record 199999");
    }

    void enterInTheSearchBoxReachesTheCoreOnce() {
        Window w;
        int enters = 0;
        int chosen = 0;
        QObject::connect(&w.state.searchBox, &SearchBox::keyPressed,
                         [&](QChar key) { enters += key == QChar(13); });
        QObject::connect(&w.state.searchBox, &SearchBox::clicked, [&] { ++chosen; });
        // Enters and entries chosen, the box's text and its entries, and what list B shows.
        const auto box = [&] {
            return QStringLiteral("%1 %2 %3 (%4) ")
                       .arg(enters)
                       .arg(chosen)
                       .arg(w.find->currentText(), w.find->count() > 0 ? w.find->itemText(0) : "") +
                   shownRows(w.list(SlotId::B)).join(u',');
        };
        QVERIFY(!w.state.options.isChecked(Option::SearchWhileTyping));

        // The search box has the focus at start-up: typing and Enter search and remember.
        w.type(QStringLiteral("smith 555"));
        QCOMPARE(shownRows(w.list(SlotId::A)), QStringList({"Smith, Ann", "Jones, Bo"}));
        w.key(Qt::Key_Return);
        QCOMPARE(box(), "1 0 smith 555 (smith 555) no match found");
        QCOMPARE(shownRows(w.list(SlotId::A)), QStringList({"Smith, Ann"}));
        QCOMPARE(w.find->lineEdit()->selectedText(), QStringLiteral("smith 555"));
        w.typeSearch(QStringLiteral("smi"));  // a second entry, shown first
        QCOMPARE(box(), "2 0 smi (smi) Smithers, Al");

        // Enter on a remembered text, the keypad's Enter too, picks its entry once: the core
        // chooses it, the box does not choose it again.
        for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
            enters = chosen = 0;
            w.key(Qt::Key_A, Qt::ControlModifier);
            w.type(QStringLiteral("SMITH 555"));
            w.key(enter);
            QCOMPARE(box(), "1 1 smith 555 (smi) no match found");
            QCOMPARE(w.find->count(), 2);
        }
        // Leaving the box is not a choice either.
        w.key(Qt::Key_A, Qt::ControlModifier);
        w.type(QStringLiteral("smith 555"));
        w.key(Qt::Key_Tab);
        QVERIFY(w.focus() != w.find);
        QCOMPARE(box(), "1 1 smith 555 (smi) no match found");

        // Choosing from the drop-down list searches for the entry.
        w.click(w.find);
        w.key(Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(w.find->view()->isVisible());
        w.key(Qt::Key_Down);
        w.key(Qt::Key_Return);
        QCOMPARE(box(), "1 2 smith 555 (smi) no match found");
        QTRY_COMPARE(w.focus(), w.find);  // a Wayland compositor gives it back a moment later

        // "..x" closes the window, unless the user cancels saving a change; Enter asks once.
        w.state.slot(SlotId::B).changed = true;
        w.messages.defaultAnswer = MessageAnswer::Cancel;
        w.typeSearch(QStringLiteral("..x"));
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.messages.shown.size(), 1);
        w.messages.defaultAnswer = MessageAnswer::No;
        w.key(Qt::Key_Return);
        QVERIFY(!w.window->isVisible());
    }

    void aClickSelectsTheRowUnderTheMouseAndCommandsActOnIt() {
        QByteArray many;
        for (int i = 0; i < 60; ++i) {
            many += QByteArray::number(100 + i) + " record\r\n";
        }
        Window w(many);
        QListView* view = w.list(SlotId::A);
        lists::ResultList& list = w.state.slot(SlotId::A).list;
        // Make the list's lowest visible row a row cut by its lower edge.
        int cut = -1;
        for (int grow = 0; grow < 40 && cut < 0; ++grow) {
            w.window->resize(w.window->width(), w.window->height() + 1);
            QApplication::processEvents();
            const int bottom = view->viewport()->height();
            const int row = view->indexAt(QPoint(5, bottom - 1)).row();
            const QRect rect = view->visualRect(view->model()->index(row, 0));
            cut = row >= 0 && rect.bottom() >= bottom && bottom - rect.top() >= 4 ? row : -1;
        }
        QVERIFY(cut > 0);
        const QString record = QStringLiteral("%1 record").arg(100 + cut);

        const QPoint pressed = w.rowPoint(view, cut);
        w.clickAt(view->viewport(), pressed);
        QCOMPARE(view->indexAt(pressed).row(), cut);  // the row stays under the mouse
        // The highlighted row, the row panel, the edit box and the core's row agree.
        const auto agree = [&](int row) {
            const int index = list.itemData(row);
            QCOMPARE(w.seen() + w.panel(4), QStringLiteral("lstA %1 - - | %2 record   %1   %3")
                                                .arg(row)
                                                .arg(100 + index)
                                                .arg(index));
            QCOMPARE(list.listIndex(), row);
        };
        agree(cut);
        QTest::qWait(QApplication::doubleClickInterval() + 200);  // the view scrolls it in
        QVERIFY(view->viewport()->rect().contains(view->visualRect(view->model()->index(cut, 0))));
        agree(cut);
        // Delete removes the record that is highlighted.
        w.click(w.button("delete"));
        QCOMPARE(w.state.slot(SlotId::A).records.text(cut), QString());
        QCOMPARE(view->model()->rowCount(), 59);
        QVERIFY(!shownRows(view).contains(record));
        agree(cut);

        // A click or a key on a list reaches the core once: clicks, mouse-downs, the core's row.
        int clicks = 0;
        int mouseDowns = 0;
        QObject::connect(&list, &lists::ResultList::clicked, [&] { ++clicks; });
        QObject::connect(&list, &lists::ResultList::mouseDown, [&] { ++mouseDowns; });
        const auto reached = [&] {
            return QStringLiteral("%1 %2 %3").arg(clicks).arg(mouseDowns).arg(list.listIndex());
        };
        view->scrollToTop();
        w.clickRow(view, 1);
        QCOMPARE(reached(), "1 1 1");
        w.clickRow(view, 1);  // a click on the selected row is still a click
        QCOMPARE(reached(), "2 2 1");
        // The arrow keys run the click handling without a mouse-down.
        w.key(Qt::Key_Up);
        QCOMPARE(reached(), "3 2 0");
        // Ctrl with Space or a click does not take the highlight off the selected row.
        w.key(Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(w.seen().section(u'|', 0, 0), "lstA 0 - - ");
        w.clickAt(view->viewport(), w.rowPoint(view, 0), Qt::ControlModifier);
        QCOMPARE(w.seen().section(u'|', 0, 0), "lstA 0 - - ");
        QCOMPARE(list.listIndex(), 0);

        // Below the last row of a short list: a mouse-down, no click, and the selection stays.
        w.window->resize(w.window->width(), 700);
        QApplication::processEvents();
        QListView* lstC = w.list(SlotId::C);
        int clicksC = 0;
        QObject::connect(&w.state.slot(SlotId::C).list, &lists::ResultList::clicked,
                         [&] { ++clicksC; });
        w.clickRow(lstC, 1);
        const QPoint below(5, lstC->viewport()->height() - 3);
        QVERIFY(!lstC->indexAt(below).isValid());
        w.clickAt(lstC->viewport(), below);
        QCOMPARE(clicksC, 1);
        QCOMPARE(w.seen().section(u'|', 0, 0), "lstC - - 1 ");
        QCOMPARE(w.state.slot(SlotId::C).list.listIndex(), 1);
    }

    void typingInTheEditBoxChangesTheRecordAndTabLeavesIt() {
        Window w("Smith, Ann\r\n-----(212) 555-0100\r\nJones\tBo\r\n-----555-0199\r\n");
        QListView* lstA = w.list(SlotId::A);
        w.clickRow(lstA, 1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Jones\tBo\n555-0199"));  // a tab stays
        // Typing changes the row shown; Shift+Enter starts a line as Enter does.
        w.click(w.edit);
        w.key(Qt::Key_Home, Qt::ControlModifier);
        w.key(Qt::Key_End);
        w.type(QStringLiteral(" Jr"));
        QCOMPARE(shownRows(lstA).at(1), QStringLiteral("Jones\tBo Jr"));
        w.key(Qt::Key_Return, Qt::ShiftModifier);
        w.type(QStringLiteral("x"));
        QCOMPARE(w.state.slot(SlotId::A).records.text(1),
                 QStringLiteral("Jones\tBo Jr-----x-----555-0199"));

        // Tab and Shift+Tab, with or without Ctrl, move the focus on and type nothing; a
        // pasted tab goes in.
        const QString before = w.state.slot(SlotId::A).records.text(1);
        const std::pair<Qt::Key, Qt::KeyboardModifiers> leave[] = {
            {Qt::Key_Tab, Qt::NoModifier},
            {Qt::Key_Backtab, Qt::ShiftModifier},
            {Qt::Key_Tab, Qt::ControlModifier},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}};
        for (const auto& [key, modifiers] : leave) {
            w.click(w.edit);
            w.key(key, modifiers);
            QVERIFY(w.focus() != w.edit);
        }
        QCOMPARE(w.state.slot(SlotId::A).records.text(1), before);
        QApplication::clipboard()->setText(QStringLiteral("\t9"));
        w.click(w.edit);
        w.key(Qt::Key_End, Qt::ControlModifier);
        w.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.state.slot(SlotId::A).records.text(1), before + QStringLiteral("\t9"));

        // A stray line feed or carriage return shows on the same line, as a symbol, and stays a
        // character.
        w.clickRow(w.list(SlotId::B), 1);
        QCOMPARE(w.edit->blockCount(), 1);  // Odd, LF, li, CR, ne
        w.click(w.edit);
        w.key(Qt::Key_End, Qt::ControlModifier);
        w.type(QStringLiteral("!"));
        QCOMPARE(w.state.slot(SlotId::B).records.text(1), QStringLiteral("Odd\nli\rne!"));

        // A keystroke reaches the core once; the program's own write is not echoed back.
        int changes = 0;
        QObject::connect(&w.state.editBox, &EditBox::changed, [&] { ++changes; });
        w.state.editBox.setText(QStringLiteral("first\r\nsecond"));
        QVERIFY(w.edit->toPlainText() == "first\nsecond" && changes == 1);
        w.key(Qt::Key_End, Qt::ControlModifier);
        w.type(QStringLiteral("!"));
        QVERIFY(w.state.editBox.text() == "first\r\nsecond!" && changes == 2);
    }

    void tabReachesEveryControlBothWays() {
        Window w;
        QSet<QWidget*> controls = {w.find, w.edit, w.list(SlotId::A), w.list(SlotId::B)};
        controls << w.list(SlotId::C) << w.window->findChild<QWidget*>(QStringLiteral("Picture1"));
        for (const ToolbarEntry& entry : kToolbar) {
            if (entry.style != ButtonStyle::Separator) {
                controls << w.button(entry.key);
            }
        }
        QCOMPARE(controls.size(), 24);
        const auto round = [&](bool forward) {
            QList<QWidget*> order;
            w.click(w.find);
            do {
                order << w.focus();
                w.key(forward ? Qt::Key_Tab : Qt::Key_Backtab,
                      forward ? Qt::NoModifier : Qt::ShiftModifier);
            } while (w.focus() != w.find && order.size() < 50);
            return order;
        };
        const QList<QWidget*> forward = round(true);
        QVERIFY(QSet<QWidget*>(forward.begin(), forward.end()) == controls &&
                forward.size() == controls.size());
        QList<QWidget*> backward = round(false);
        std::reverse(backward.begin() + 1, backward.end());
        QCOMPARE(backward, forward);
    }

    void tabbingThroughTheListsKeepsTheRecordBeingEdited() {
        Window w;
        QListView* lstA = w.list(SlotId::A);
        w.clickRow(lstA, 1);
        // Neither the record shown, nor the list with focus and its colour, nor any row changes.
        const auto unchanged = [&](const char* focus) {
            QCOMPARE(w.seen(), QLatin1String(focus) + " 1 - - | Jones, Bo|555-0199");
            QCOMPARE(lists::listNumber(w.state.listWithFocus), 1);
            QVERIFY(w.state.slot(SlotId::B).list.listIndex() == -1 &&
                    w.state.slot(SlotId::C).list.listIndex() == -1 &&
                    w.state.slot(SlotId::B).list.backColor() == lists::ResultList::kWhite &&
                    w.state.slot(SlotId::C).list.backColor() == lists::ResultList::kWhite);
        };
        w.key(Qt::Key_Tab);
        unchanged("lstB");
        w.key(Qt::Key_Tab);
        unchanged("lstC");
        QVERIFY(w.tabTo(w.edit));
        unchanged("txtEdit");
        w.key(Qt::Key_End, Qt::ControlModifier);
        w.type(QStringLiteral("7"));
        QVERIFY(w.tabTo(lstA, false));
        QCOMPARE(w.state.slot(SlotId::A).records.text(1),
                 QStringLiteral("Jones, Bo-----555-01997"));
        QVERIFY(!w.state.slot(SlotId::B).changed && !w.state.slot(SlotId::C).changed);

        // Moving in a list without a selection selects, as a click does.
        QVERIFY(w.tabTo(w.list(SlotId::B)));
        w.key(Qt::Key_Down);
        QCOMPARE(lists::listNumber(w.state.listWithFocus), 2);
        QCOMPARE(w.seen(), "lstB - 0 - | Smithers, Al");
    }

    void menuShortcutsWorkEverywhereButTheTextBoxesKeepTheirKeys() {
        Window w;
        w.messages.defaultAnswer = MessageAnswer::Cancel;  // Online Update stays
        // In the search box, Ctrl+E and Ctrl+U reach the menu and leave the typed text alone.
        w.type(QStringLiteral("smith"));
        w.key(Qt::Key_E, Qt::ControlModifier);
        QVERIFY(w.shell.calls.size() == 1 && w.shell.calls[0].target.startsWith("mailto:"));
        w.key(Qt::Key_U, Qt::ControlModifier);
        QVERIFY(w.messages.shown.size() == 1 && w.messages.shown[0].title == "Online Update");
        QCOMPARE(w.find->currentText(), QStringLiteral("smith"));
        QCOMPARE(w.focus(), w.find);

        // Every menu shortcut from either text box, but the two they keep.
        const auto giveFocus = [&](QWidget* box) {
            if (box == w.edit) {
                QListView* lstA = w.list(SlotId::A);
                w.clickRow(lstA, lstA->model()->rowCount() - 1);
            }
            w.click(box);
            return w.focus() == box;
        };
        int tried = 0;
        for (const MenuEntry& entry : kMenuBar) {
            const QKeySequence keys(QString::fromLatin1(entry.shortcut));
            if (keys.isEmpty() || keys == QKeySequence(QStringLiteral("Ctrl+V")) ||
                keys == QKeySequence(QStringLiteral("Ctrl+A"))) {
                continue;
            }
            QSignalSpy triggered(w.action(entry.name), &QAction::triggered);
            for (QWidget* box : {static_cast<QWidget*>(w.find), static_cast<QWidget*>(w.edit)}) {
                QVERIFY2(giveFocus(box), entry.name);
                w.key(keys);
            }
            QVERIFY2(triggered.size() == 2, entry.name);
            ++tried;
        }
        QCOMPARE(tried, 15);

        // Ctrl+V pastes and Ctrl+A selects everything in the boxes, and act as menu shortcuts
        // elsewhere.
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QVERIFY(giveFocus(w.find));
        w.key(Qt::Key_A, Qt::ControlModifier);
        w.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.find->currentText(), QStringLiteral("pasted"));
        QVERIFY(giveFocus(w.edit));
        w.key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.edit->textCursor().selectedText().size(), w.edit->toPlainText().size());
        w.clickRow(w.list(SlotId::A), 0);
        w.key(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(w.state.options.isChecked(Option::SearchWhileTyping));  // it was off
        QString about;  // the caption of the modal window Ctrl+A shows
        QTimer closer;
        closer.start(10);
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* shown = QApplication::activeModalWidget()) {
                about = shown->windowTitle();
                shown->close();
            }
        });
        w.key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(about, QStringLiteral("About Trovix"));
    }

    void theListsFollowTheirRowsWhileCommandsChangeThem() {
        Window w;
        QListView* lstA = w.list(SlotId::A);
        w.clickRow(lstA, 1);
        w.click(w.button("new"));
        QCOMPARE(shownRows(lstA), QStringList({"Smith, Ann", "Jones, Bo", "New Item"}));
        QCOMPARE(w.seen(), "txtEdit 2 - - | New Item");  // typing replaces it
        QVERIFY(w.tabTo(lstA, false));
        w.click(w.button("delete"));
        w.key(Qt::Key_M, Qt::ControlModifier);  // Compact
        QCOMPARE(shownRows(lstA), QStringList({"Smith, Ann", "Jones, Bo"}));

        // The header rows and the full data view follow the controls.
        QAction* names = w.action("mnuDisplayFileNames");
        w.key(Qt::Key_F, Qt::ControlModifier);
        QVERIFY(names->isChecked());
        const QString header = QStringLiteral("... %1 ...").arg(w.state.slot(SlotId::B).fileName);
        QCOMPARE(shownRows(w.list(SlotId::B)),
                 QStringList({header, "Smithers, Al", "Odd\nli\rne"}));
        w.click(w.button("data"));
        QCOMPARE(shownRows(lstA).size(), 5);
        QVERIFY(!w.action("new")->isEnabled() && !w.edit->isEnabled());
        w.click(w.button("data"));
        QVERIFY(w.action("new")->isEnabled());

        // Hiding the header rows while a header is selected is not a click on another row.
        w.key(Qt::Key_Home);
        QCOMPARE(w.seen(), "lstA 0 - - | <disabled> (off)");
        w.key(Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!names->isChecked());
        QCOMPARE(w.seen(), "lstA - - - | <disabled> (off)");
        QCOMPARE(w.state.slot(SlotId::A).list.listIndex(), -1);
    }

    void aUserFindsEditsAndSavesARecordWithKeysAndClicksOnly() {
        Window w(kPhones + "Smith, Cy\r\n-----555-0123\r\n");
        const QByteArray others[] = {readBytes(w.file(2)), readBytes(w.file(3))};
        w.type(QStringLiteral("smith 555"));
        w.key(Qt::Key_Return);
        QListView* lstA = w.list(SlotId::A);
        QCOMPARE(shownRows(lstA), QStringList({"Smith, Ann", "Smith, Cy"}));
        w.key(Qt::Key_Tab);
        QCOMPARE(w.focus(), lstA);
        w.key(Qt::Key_Down);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Smith, Cy\n555-0123"));
        QVERIFY(w.tabTo(w.edit));
        w.key(Qt::Key_End, Qt::ControlModifier);
        w.type(QStringLiteral(" (cell)"));
        QVERIFY(w.tabTo(w.button("save"), false));
        QCOMPARE(w.focus()->accessibleName(), QStringLiteral("Save Selected File"));
        w.key(Qt::Key_Space);
        QCOMPARE(readBytes(w.file(1)), kPhones + "Smith, Cy\r\n-----555-0123 (cell)\r\n");
        QVERIFY(aged(w.file(2)) && aged(w.file(3)) && w.messages.shown.isEmpty());
        QVERIFY(readBytes(w.file(2)) == others[0] && readBytes(w.file(3)) == others[1]);
    }

    void undoAndRedoWorkFromEveryControlAndTheActionsMenu() {
        Window w;
        // The keys belong to no other command of the window.
        for (const MenuEntry& entry : kMenuBar) {
            const QKeySequence keys(QString::fromLatin1(entry.shortcut));
            QVERIFY2(QString::fromLatin1(entry.name).startsWith("mnuUndo") ||
                         QString::fromLatin1(entry.name).startsWith("mnuRedo") ||
                         (keys != QKeySequence("Ctrl+Z") && keys != QKeySequence("Ctrl+Shift+Z") &&
                          keys != QKeySequence("Ctrl+Y")),
                     entry.name);
        }
        QMenu* actions = w.window->findChild<QMenu*>(QStringLiteral("mnuActions"));
        // The Actions menu's item whose accessible name starts so; its name and whether it is
        // enabled, or pressed as assistive technology presses it.
        const auto item = [&](const QString& start) -> QAccessibleInterface* {
            QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(actions);
            for (int i = 0; i < menu->childCount(); ++i) {
                if (menu->child(i)->text(QAccessible::Name).startsWith(start)) {
                    return menu->child(i);
                }
            }
            return nullptr;
        };
        const auto itemSays = [&](const QString& start) {
            QAccessibleInterface* found = item(start);
            return found == nullptr
                       ? QStringLiteral("none")
                       : found->text(QAccessible::Name) + (found->state().disabled ? " (off)" : "");
        };
        QCOMPARE(itemSays("Undo"), QStringLiteral("Undo (off)"));
        QCOMPARE(itemSays("Redo"), QStringLiteral("Redo (off)"));
        QCOMPARE(actions->actions().at(actions->actions().size() - 4)->isSeparator(), true);

        // Delete, then Ctrl+Z in the list: the record is back, selected and shown.
        QListView* lstA = w.list(SlotId::A);
        w.clickRow(lstA, 1);
        w.click(w.button("delete"));
        QCOMPARE(shownRows(lstA), QStringList({"Smith, Ann"}));
        QCOMPARE(itemSays("Undo"), QStringLiteral("Undo Delete"));
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shownRows(lstA), QStringList({"Smith, Ann", "Jones, Bo"}));
        QCOMPARE(w.seen(), "lstA 1 - - | Jones, Bo|555-0199");
        QCOMPARE(itemSays("Redo"), QStringLiteral("Redo Delete"));
        QVERIFY(!w.state.slot(SlotId::A).changed);

        // In the edit box a burst of typing is one step of the same history, both ways.
        w.click(w.edit);
        w.key(Qt::Key_End, Qt::ControlModifier);
        w.type(QStringLiteral(" Jr"));
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.seen(), "txtEdit 1 - - | Jones, Bo|555-0199");
        QCOMPARE(w.state.slot(SlotId::A).records.text(1), QStringLiteral("Jones, Bo-----555-0199"));
        QCOMPARE(itemSays("Redo"), QStringLiteral("Redo Typing"));
        w.key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.seen(), "txtEdit 1 - - | Jones, Bo|555-0199 Jr");
        w.key(Qt::Key_Z, Qt::ControlModifier);
        w.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.state.slot(SlotId::A).records.text(1),
                 QStringLiteral("Jones, Bo-----555-0199 Jr"));

        // Sort, taken back with the menu item from the search box.
        w.click(w.button("sort"));
        QCOMPARE(shownRows(lstA), QStringList({"Jones, Bo", "Smith, Ann"}));
        w.click(w.find);
        QCOMPARE(itemSays("Undo"), QStringLiteral("Undo Sort of phone_numbers.txt"));
        item("Undo")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(shownRows(lstA), QStringList({"Smith, Ann", "Jones, Bo"}));
        QCOMPARE(w.seen(), "lstFind 1 - - | Jones, Bo|555-0199 Jr");

        // Back to what was read, closing asks nothing.
        while (w.state.edits.canUndo()) {
            w.key(Qt::Key_Z, Qt::ControlModifier);
        }
        QCOMPARE(itemSays("Undo"), QStringLiteral("Undo (off)"));
        QVERIFY(w.window->close());
        QVERIFY(w.messages.shown.isEmpty());
    }

    void theSplitterLayoutLimitsAndOnTop() {
        Window w;
        // The splitter follows the mouse and the keys.
        w.window->resize(800, 800);
        QTest::qWait(20);
        auto* bar = w.window->findChild<QWidget*>(QStringLiteral("Picture1"));
        const int gap = w.state.gap;
        QWindow* window = w.window->windowHandle();
        const QPoint grip = bar->mapTo(w.window.get(), QPoint(5, 1));
        const QPoint higher = bar->mapTo(w.window.get(), QPoint(5, -40));
        QTest::mousePress(window, Qt::LeftButton, {}, grip);
        QTest::mouseMove(window, higher);
        QTest::mouseRelease(window, Qt::LeftButton, {}, higher);
        QVERIFY(w.state.gap == gap + 40 * 15 && bar->cursor().shape() == Qt::SizeVerCursor);
        QVERIFY(w.tabTo(bar));
        w.key(Qt::Key_Down);
        // 15 twips a pixel, 120 a key; the bar reads its place.
        QVERIFY(w.state.gap == gap + 40 * 15 - 120 &&
                bar->accessibleDescription().contains(QString::number(w.state.gap)));

        w.window->resize(800, 700);
        QTest::qWait(10);
        const QWidget* central = w.window->centralWidget();
        const auto inCentral = [&](const char* name) {
            const auto* widget = w.window->findChild<QWidget*>(QString::fromLatin1(name));
            return QRect(widget->mapTo(central, QPoint(0, 0)), widget->size());
        };
        // Nothing reaches beyond the area between the toolbar and the status bar.
        for (const char* name : {"frameFind", "frameResults", "frameEdit", "Picture1"}) {
            QVERIFY2(central->rect().contains(inCentral(name)), name);
        }
        QVERIFY(inCentral("frameFind").bottom() < inCentral("frameResults").top() &&
                inCentral("frameResults").bottom() <= inCentral("Picture1").top() &&
                inCentral("Picture1").top() < inCentral("frameEdit").top());
        // The lists fill the results frame, one below the other.
        const QRect results = inCentral("frameResults");
        QRect previous;
        for (const char* name : {"lstA", "lstB", "lstC"}) {
            const QRect list = inCentral(name);
            QVERIFY2(results.contains(list) && list.width() > results.width() - 30 &&
                         (previous.isNull() || previous.bottom() < list.top()),
                     name);
            previous = list;
        }
        QVERIFY(results.bottom() - previous.bottom() < 20);

        // Hiding the edit pane gives its room to the lists.
        w.click(w.button("edit"));
        QVERIFY(!w.window->findChild<QWidget*>(QStringLiteral("frameEdit"))->isVisible() &&
                inCentral("frameResults").height() > results.height() + 50);

        // On top: the window keeps its place and size, and the check mark agrees.
        const QRect before = w.window->geometry();
        for (const bool onTop : {true, false}) {
            w.action("mnuOnTop")->trigger();
            QVERIFY(w.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop &&
                    w.action("mnuOnTop")->isChecked() == onTop && w.window->isVisible());
            QCOMPARE(w.window->geometry(), before);
        }

        // The minimum size, 7050 x 6400 twips, follows the screen's dots per inch.
        w.screen.dpi = 144;  // 10 twips a pixel
        w.state.services.screen = w.screen;
        w.window->hide();
        w.window->show();
        QCOMPARE(w.window->minimumSize(), QSize(705, 640));
    }

    void theEditBoxShowsGiantRecordsShortAndStrayLineCharactersAsTheyWere() {
        Window w(QByteArray("giant ") + QByteArray(3 << 20, 'g') + "\r\nsmall\r\n");
        const QString row = shownRows(w.list(SlotId::A)).first();
        QVERIFY(row.size() == lists::ResultList::kShownChars + 1 && row.endsWith(QChar(0x2026)));
        QVERIFY(!w.edit->isEnabled() && w.edit->toPlainText().size() < 10000);
        QVERIFY(w.window->statusBar()->currentMessage().contains("too long to edit"));
        // The record itself is untouched and still found.
        QCOMPARE(w.state.slot(SlotId::A).records.utf8(0).size(), std::size_t{6 + (3 << 20)});
        w.typeSearch(QStringLiteral("small"));
        QVERIFY(w.edit->isEnabled());

        // Only the stand-ins the program put in for stray line characters map back to them; the
        // same symbols typed or stored in a record stay themselves, and so does a paragraph
        // separator.
        const QString texts[] = {
            QStringLiteral("a\rb\r\nc\nd"),
            QStringLiteral("a\u240Db"),              // a real ␍ in the record
            QStringLiteral("x\u2029y\r\n\u240A\n"),  // a paragraph separator and a real ␊
            QStringLiteral("plain\r\n\r\nlines"),
        };
        for (const QString& text : texts) {
            QTextDocument document;
            widgets::setEditText(document, text);
            QCOMPARE(widgets::editTextOf(document), text);
            QTextCursor end(&document);
            end.movePosition(QTextCursor::End);
            end.insertText(QStringLiteral("\u240D!"), QTextCharFormat());
            QCOMPARE(widgets::editTextOf(document), text + QStringLiteral("\u240D!"));
        }
    }

    void theStatusBarAndEveryControlReachScreenReaders() {
        Window w;
        // A status message shows once; the counts stay, and the panels say their text.
        platform::FakeFontDialog fonts;
        fonts.result = platform::FontChoice{QStringLiteral("DejaVu Sans Mono"), 12, 400, false};
        w.state.services.fonts = fonts;
        w.click(w.button("font"));
        QCOMPARE(w.window->statusBar()->currentMessage(), "DejaVu Sans Mono  12 pt");
        w.window->statusBar()->clearMessage();
        w.typeSearch(QStringLiteral("smith"));
        auto* panel = w.window->findChild<QLabel*>(QStringLiteral("panel1"));
        QCOMPARE(w.window->statusBar()->currentMessage() +
                     QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name),
                 "phone_numbers.txt  (1)");
        // Every toolbar button names itself.
        for (const ToolbarEntry& entry : kToolbar) {
            if (entry.style != ButtonStyle::Separator) {
                QCOMPARE(w.button(entry.key)->accessibleName(), QString::fromLatin1(entry.toolTip));
            }
        }
        // The lists' text stays dark on their light backgrounds under a dark palette too.
        QPalette dark(QColor(230, 230, 230), QColor(40, 40, 40));
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        for (const QPalette& palette : {QPalette(), dark}) {
            w.window->setPalette(palette);
            for (const std::uint32_t back :
                 {lists::ResultList::kWhite, lists::ResultList::kFocusColour}) {
                w.state.slot(SlotId::A).list.setBackColor(back);
                const QPalette shown = w.list(SlotId::A)->palette();
                QVERIFY(contrast(shown.color(QPalette::Text), shown.color(QPalette::Base)) >= 4.5);
            }
            const QPalette box = w.edit->palette();
            QVERIFY(contrast(box.color(QPalette::Text), box.color(QPalette::Base)) >= 4.5);
        }
    }

    // Run again at twice the scale (QT_SCALE_FACTOR=2): the same twips, the same layout in
    // device-independent pixels, and icons drawn for the screen's pixels.
    void scaledScreensKeepTheLayoutAndSharpIcons() {
        Window w;
        const qreal ratio = w.window->devicePixelRatioF();
        QCOMPARE(w.window->minimumSize(), QSize(470, 426));  // 7050 x 6400 twips
        const QWidget* results = w.window->findChild<QWidget*>(QStringLiteral("frameResults"));
        QCOMPARE(results->width(), qRound(w.state.frame.geometry().frameResults.width / 15));
        const QPixmap icon = w.action("find")->icon().pixmap(QSize(16, 16), ratio);
        QCOMPARE(icon.size(), QSize(16, 16) * ratio);
        QCOMPARE(w.action("find")->icon().availableSizes().last(), QSize(128, 128));
    }

    void aSecondRunStartsWhereTheFirstEnded() {
        QTemporaryDir dir;
        platform::SystemDisk disk;
        const QString ini = dir.filePath(QStringLiteral("Trovix.ini"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("mine.txt")), "Mine\r\n"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("phone_numbers.txt")), "Smith\r\n"));
        {
            platform::QtSettingsStore settings(ini, disk);
            testing::WindowFixture first(dir.path(), settings, {"mine.txt", "b.txt", "c.txt"});
            first.action("mnuDisplayFileNames")->trigger();
            first.action("mnuIgnoreCase")->trigger();
            first.click(first.button("fileB"));
            QVERIFY(!first.list(SlotId::B)->isVisible());
            first.typeSearch(QStringLiteral("mine"));
            first.window->move(150, 120);
            first.window->resize(700, 600);
            QVERIFY(first.window->close());
        }
        QSettings stored(ini, QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Settings/MainWidth")).toString(),
                 QStringLiteral("10500"));  // 700 pixels at 15 twips each

        // A half pixel rounds away from zero: 1567.5 twips are 104.5 pixels.
        stored.setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("1567.5"));
        stored.setValue(QStringLiteral("Settings/MainTop"), QStringLiteral("37.5"));
        stored.setValue(QStringLiteral("Settings/MainWidth"), QStringLiteral("10507.5"));
        stored.sync();
        platform::QtSettingsStore settings(ini, disk);
        testing::WindowFixture second(dir.path(), settings);
        QVERIFY(second.action("mnuDisplayFileNames")->isChecked() &&
                !second.action("mnuIgnoreCase")->isChecked() &&
                second.action("fileA")->isChecked() && !second.action("fileB")->isChecked());
        QCOMPARE(second.state.slot(lists::SlotId::A).records.text(0) + second.find->itemText(0),
                 "Minemine");
        QCOMPARE(second.window->size(), QSize(701, 600));
        // A Wayland compositor places the window itself and does not say where: the stored place
        // is neither applied nor overwritten there, and the size is stored as everywhere.
        const bool placed = second.screen.placeable;
        QVERIFY(!placed || second.window->pos() == QPoint(105, 3));
        second.window->resize(720, 600);
        QVERIFY(second.window->close());
        stored.sync();
        QCOMPARE(QStringList({stored.value(QStringLiteral("Settings/MainLeft")).toString(),
                              stored.value(QStringLiteral("Settings/MainTop")).toString(),
                              stored.value(QStringLiteral("Settings/MainWidth")).toString()}),
                 placed ? QStringList({"1575", "45", "10800"})
                        : QStringList({"1567.5", "37.5", "10800"}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
