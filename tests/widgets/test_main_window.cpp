#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include "platform/qt/qt_settings_store.h"
#include "platform/system_disk.h"
#include "search/search_box.h"
#include "support/window_fixture.h"
#include "widgets/edit_text.h"

using namespace trovix;
using lists::SlotId;
using platform::MessageAnswer;
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

// The keyboard habits of desktop programs: saving, deleting, undoing without losing the place.
struct Keys : testing::WindowFixture {
    Keys() : WindowFixture(kPhones, "Zed\r\nAl\r\nMo\r\n", "212  New York\r\n") {}
    int rows(SlotId id) { return list(id)->model()->rowCount(); }
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void showsTheFilesAndTheRecordAtEachActivationWithoutAWidgetPerRow() {
        Window w;
        QVERIFY(!w.list(SlotId::A)->accessibleName().isEmpty());
        // Each activation of the window selects and shows the first record of the list with
        // focus (list A on a first run); the search box has the keyboard focus.
        QCOMPARE(w.seen() + QString::number(w.list(SlotId::A)->currentIndex().row()),
                 "lstFind 0 - - | Smith, Ann|(212) 555-01000");  // and row 0 is the current one

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
        int enters = 0, chosen = 0;
        QObject::connect(&w.state.searchBox, &SearchBox::keyPressed,
                         [&](QChar key) { enters += key == QChar(13); });
        QObject::connect(&w.state.searchBox, &SearchBox::clicked, [&] { ++chosen; });
        // Enters and entries chosen, the box's text, its first entry and their number, and what
        // list B shows.
        const auto box = [&] {
            return QStringLiteral("%1 %2 %3 (%4 %5) ")
                       .arg(enters)
                       .arg(chosen)
                       .arg(w.find->currentText(), w.find->itemText(0))
                       .arg(w.find->count()) +
                   shownRows(w.list(SlotId::B)).join(u',');
        };
        QVERIFY(!w.state.options.isChecked(Option::SearchWhileTyping));

        // The search box has the focus at start-up: typing and Enter search and remember.
        w.type(QStringLiteral("smith 555"));
        QCOMPARE(shownRows(w.list(SlotId::A)), QStringList({"Smith, Ann", "Jones, Bo"}));
        w.key(Qt::Key_Return);
        QCOMPARE(box() + w.find->lineEdit()->selectedText(),
                 "1 0 smith 555 (smith 555 1) no match foundsmith 555");
        w.typeSearch(QStringLiteral("smi"));  // a second entry, shown first
        QCOMPARE(box(), "2 0 smi (smi 2) Smithers, Al");

        // Enter on a remembered text, the keypad's Enter too, picks its entry once: the core
        // chooses it, the box does not choose it again.
        for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
            enters = chosen = 0;
            w.key(Qt::Key_A, Qt::ControlModifier);
            w.type(QStringLiteral("SMITH 555"));
            w.key(enter);
            QCOMPARE(box(), "1 1 smith 555 (smi 2) no match found");
        }
        // Leaving the box is not a choice either.
        w.key(Qt::Key_A, Qt::ControlModifier);
        w.type(QStringLiteral("smith 555"));
        w.key(Qt::Key_Tab);
        QVERIFY(w.focus() != w.find);
        QCOMPARE(box(), "1 1 smith 555 (smi 2) no match found");

        // Choosing from the drop-down list searches for the entry.
        w.click(w.find);
        w.key(Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(w.find->view()->isVisible());
        w.key(Qt::Key_Down);
        w.key(Qt::Key_Return);
        QCOMPARE(box(), "1 2 smith 555 (smi 2) no match found");
        QTRY_COMPARE(w.focus(), w.find);  // a Wayland compositor gives it back a moment later
    }

    void aClickSelectsTheRowUnderTheMouse() {
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

        const QPoint pressed = w.rowPoint(view, cut);
        w.clickAt(view->viewport(), pressed);
        QCOMPARE(view->indexAt(pressed).row(), cut);  // the row stays under the mouse
        // The highlighted row, the edit box and the core's row (in the row panel) agree.
        const int index = list.itemData(cut);
        const QString agreed = QStringLiteral("lstA %1 - - | %2 record   %1   %3")
                                   .arg(cut)
                                   .arg(100 + index)
                                   .arg(index);
        QCOMPARE(w.seen() + w.panel(4), agreed);
        QTest::qWait(QApplication::doubleClickInterval() + 200);  // the view scrolls it in
        QVERIFY(view->viewport()->rect().contains(view->visualRect(view->model()->index(cut, 0))));
        QCOMPARE(w.seen() + w.panel(4), agreed);

        // A click or a key on a list reaches the core once: clicks, mouse-downs, the core's row.
        int clicks = 0, mouseDowns = 0;
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
        QVERIFY(clicksC == 1 && w.state.slot(SlotId::C).list.listIndex() == 1);
        QCOMPARE(w.seen().section(u'|', 0, 0), "lstC - - 1 ");
    }

    void typingInTheEditBoxChangesTheRecordShown() {
        Window w("Smith, Ann\r\n-----(212) 555-0100\r\nJones\tBo\r\n-----555-0199\r\n");
        QListView* lstA = w.list(SlotId::A);
        w.clickRow(lstA, 1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Jones\tBo\n555-0199"));  // a tab stays
        // Typing changes the row shown; Shift+Enter starts a line as Enter does, and a pasted
        // tab goes in.
        w.click(w.edit);
        w.key(Qt::Key_Home, Qt::ControlModifier);
        w.key(Qt::Key_End);
        w.type(QStringLiteral(" Jr"));
        QCOMPARE(shownRows(lstA).at(1), QStringLiteral("Jones\tBo Jr"));
        w.key(Qt::Key_Return, Qt::ShiftModifier);
        QApplication::clipboard()->setText(QStringLiteral("\t9"));
        w.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.state.slot(SlotId::A).records.text(1),
                 QStringLiteral("Jones\tBo Jr-----\t9-----555-0199"));

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

    // Tab and Shift+Tab walk every control, the toolbar's buttons too, one way and back the
    // other; with Ctrl, which a text box would keep, they leave the edit box the same way. No
    // step types anything, nor changes the record shown, the rows selected, or the list with
    // focus and its colour.
    void tabWalksEveryControlAndChangesNothing() {
        Window w;
        w.clickRow(w.list(SlotId::A), 1);
        const auto rest = [&] {
            QString out = w.seen().section(u' ', 1) +
                          QString::number(lists::listNumber(w.state.listWithFocus));
            for (const SlotId id : lists::kAllSlots) {
                const lists::ResultList& list = w.state.slot(id).list;
                out += QStringLiteral(" %1%2").arg(list.listIndex()).arg(list.backColor());
            }
            return out;
        };
        const QString before = rest();
        QSet<QWidget*> controls = {w.find, w.edit, w.list(SlotId::A), w.list(SlotId::B)};
        controls << w.list(SlotId::C) << w.window->findChild<QWidget*>(QStringLiteral("Picture1"));
        for (const ToolbarEntry& entry : kToolbar) {
            if (entry.command) {
                controls << w.button(entry.key);
            }
        }
        QCOMPARE(controls.size(), 24);
        // Each key pressed from the edit box until the focus is back there, or `most` times.
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> walks[] = {
            {Qt::Key_Tab, Qt::NoModifier, 40},
            {Qt::Key_Backtab, Qt::ShiftModifier, 40},
            {Qt::Key_Tab, Qt::ControlModifier, 1},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 1}};
        QList<QWidget*> reached[4];
        QStringList changedAt;
        for (int k = 0; k < 4; ++k) {
            const auto& [key, modifiers, most] = walks[k];
            w.click(w.edit);
            do {
                w.key(key, modifiers);
                reached[k] << w.focus();
                if (rest() != before) {
                    changedAt << w.focus()->objectName();
                }
            } while (w.focus() != w.edit && reached[k].size() < most);
        }
        QVERIFY2(changedAt.isEmpty(), qPrintable(changedAt.join(u',') + ": " + rest()));
        QVERIFY(QSet<QWidget*>(reached[0].begin(), reached[0].end()) == controls &&
                reached[0].size() == controls.size());
        std::reverse(reached[1].begin(), reached[1].end() - 1);
        QCOMPARE(reached[1], reached[0]);
        QVERIFY(reached[2] == reached[0].mid(0, 1) && reached[3] == reached[0].mid(22, 1));

        // Moving in a list without a selection selects, as a click does.
        QVERIFY(w.tabTo(w.list(SlotId::B)));
        w.key(Qt::Key_Down);
        QCOMPARE(w.seen(), "lstB - 0 - | Smithers, Al");
        // Space presses the toolbar button that has the focus.
        QVERIFY(w.tabTo(w.button("new")));
        w.key(Qt::Key_Space);
        QCOMPARE(shownRows(w.list(SlotId::B)).last(), QStringLiteral("New Item"));
    }

    void menuShortcutsWorkEverywhereButTheTextBoxesKeepTheirKeys() {
        Window w;
        w.messages.defaultAnswer = MessageAnswer::Cancel;  // Online Update stays
        // Every menu shortcut from either text box reaches the menu, Ctrl+E and Ctrl+U too, which
        // a line edit under X would take; but for the two the boxes keep.
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
            const QString keys = QString::fromLatin1(entry.shortcut);
            if (keys.isEmpty() || keys == "Ctrl+V" || keys == "Ctrl+A") {
                continue;
            }
            QSignalSpy triggered(w.action(entry.name), &QAction::triggered);
            for (QWidget* box : {static_cast<QWidget*>(w.find), static_cast<QWidget*>(w.edit)}) {
                QVERIFY2(giveFocus(box), entry.name);
                w.key(QKeySequence(keys));
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

    // Hiding the header rows while a header is selected is not a click on another row.
    void hidingTheSelectedHeaderRowSelectsNothing() {
        Window w;
        w.clickRow(w.list(SlotId::A), 1);
        w.key(Qt::Key_F, Qt::ControlModifier);  // file names shown: the header is row 0
        w.key(Qt::Key_Home);
        QCOMPARE(w.seen(), "lstA 0 - - | <disabled> (off)");
        w.key(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(w.seen() + QString::number(w.state.slot(SlotId::A).list.listIndex()),
                 "lstA - - - | <disabled> (off)-1");
    }

    void undoAndRedoWorkFromEveryControlAndTheActionsMenu() {
        Window w;
        // The Actions menu's item, its caption and whether it is enabled (that a screen reader
        // reads the caption is test_looks's).
        const auto itemSays = [&](const QString& name) {
            QAction* item = w.action(qPrintable("mnu" + name));
            return item->text().remove(u'&') + (item->isEnabled() ? "" : " (off)");
        };
        QCOMPARE(itemSays("Undo") + '|' + itemSays("Redo"), "Undo (off)|Redo (off)");

        // Delete, then Ctrl+Z in the list: the record is back, selected and shown.
        w.clickRow(w.list(SlotId::A), 1);
        w.click(w.button("delete"));
        QCOMPARE(itemSays("Undo"), QStringLiteral("Undo Delete"));
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.seen() + '|' + itemSays("Redo"), "lstA 1 - - | Jones, Bo|555-0199|Redo Delete");

        // In the edit box a burst of typing is one step of the same history, both ways.
        w.click(w.edit);
        w.key(Qt::Key_End, Qt::ControlModifier);
        w.type(QStringLiteral(" Jr"));
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.seen() + '|' + itemSays("Redo"),
                 "txtEdit 1 - - | Jones, Bo|555-0199|Redo Typing");
        w.key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.seen(), "txtEdit 1 - - | Jones, Bo|555-0199 Jr");
        w.key(Qt::Key_Z, Qt::ControlModifier);
        w.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.seen(), "txtEdit 1 - - | Jones, Bo|555-0199 Jr");

        // Sort, taken back with the menu item from the search box.
        w.click(w.button("sort"));
        w.click(w.find);
        QCOMPARE(w.seen() + '|' + itemSays("Undo"),
                 "lstFind 0 - - | Jones, Bo|555-0199 Jr|Undo Sort of phone_numbers.txt");
        w.action("mnuUndo")->trigger();
        QCOMPARE(w.seen(), "lstFind 1 - - | Jones, Bo|555-0199 Jr");
    }

    void theSplitterLayoutLimitsAndOnTop() {
        Window w;
        // The splitter follows the mouse and the keys: 15 twips a pixel, 120 an arrow key, five
        // times that a page key; the bar reads its place.
        w.window->resize(800, 800);
        QTest::qWait(20);
        auto* bar = w.window->findChild<QWidget*>(QStringLiteral("Picture1"));
        int gap = w.state.gap;
        QWindow* window = w.window->windowHandle();
        const QPoint grip = bar->mapTo(w.window.get(), QPoint(5, 1));
        const QPoint higher = bar->mapTo(w.window.get(), QPoint(5, -40));
        QTest::mousePress(window, Qt::LeftButton, {}, grip);
        QTest::mouseMove(window, higher);
        QTest::mouseRelease(window, Qt::LeftButton, {}, higher);
        QVERIFY(w.state.gap == gap + 40 * 15 && bar->cursor().shape() == Qt::SizeVerCursor);
        gap = w.state.gap;
        QVERIFY(w.tabTo(bar));
        for (const auto& [key, change] : {std::pair{Qt::Key_Down, -120},
                                          {Qt::Key_PageUp, 600},
                                          {Qt::Key_Up, 120},
                                          {Qt::Key_PageDown, -600}}) {
            w.key(key);
            gap += change;
            // The place is read as a number of the user's locale.
            QVERIFY2(w.state.gap == gap &&
                         bar->accessibleDescription().contains(QLocale().toString(gap)),
                     qPrintable(QKeySequence(key).toString()));
        }

        // The controls stand inside their frames, and the frames, top to bottom, inside the area
        // between the toolbar and the status bar; the lists one below the other.
        w.window->resize(800, 700);
        QTest::qWait(10);
        const QWidget* central = w.window->centralWidget();
        const auto place = [&](const char* name) {
            const auto* widget = w.window->findChild<QWidget*>(QString::fromLatin1(name));
            return QRect(widget->mapTo(central, QPoint(0, 0)), widget->size());
        };
        const char* const stack[][3] = {
            {"", "frameFind", "lstFind"},     {"frameFind", "frameResults", "lstA"},
            {"lstA", "lstB", "frameResults"}, {"lstB", "lstC", "frameResults"},
            {"frameResults", "Picture1", ""}, {"frameResults", "frameEdit", "txtEdit"}};
        // Each: what lies above it, the control, and what it holds (or, for a list, its frame);
        // the splitter bar overlaps the edit frame by design.
        for (const auto& [above, name, other] : stack) {
            const QRect at = place(name);
            QVERIFY2(central->rect().contains(at) &&
                         (*above == 0 || place(above).bottom() < at.top()) &&
                         (*other == 0 || at.contains(place(other)) || place(other).contains(at)),
                     name);
        }
        // Hiding the edit pane gives its room to the lists.
        const QRect results = place("frameResults");
        w.click(w.button("edit"));
        QVERIFY(!w.window->findChild<QWidget*>(QStringLiteral("frameEdit"))->isVisible() &&
                place("frameResults").height() > results.height() + 50);

        // On top: the window keeps its place and size, and the check mark agrees.
        const QRect before = w.window->geometry();
        for (const bool onTop : {true, false}) {
            w.action("mnuOnTop")->trigger();
            QVERIFY(w.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop &&
                    w.action("mnuOnTop")->isChecked() == onTop && w.window->isVisible());
            QCOMPARE(w.window->geometry(), before);
        }

        // The minimum size, 7050 x 6400 twips, follows the screen's dots per inch.
        w.services.screen.dpi = 144;  // 10 twips a pixel
        w.state.services.screen = w.services.screen;
        w.window->hide();
        w.window->show();
        QCOMPARE(w.window->minimumSize(), QSize(705, 640));
    }

    void theEditBoxShowsGiantRecordsShortAndStrayLineCharactersAsTheyWere() {
        Window w(QByteArray("giant ") + QByteArray(3 << 20, 'g') + "\r\nsmall\r\n");
        const QString row = shownRows(w.list(SlotId::A)).first();
        QVERIFY(row.size() == lists::ResultList::kShownChars + 1 && row.endsWith(QChar(0x2026)));
        QVERIFY(!w.edit->isEnabled() && w.edit->toPlainText().size() < 10000 &&
                w.window->statusBar()->currentMessage().contains("too long to edit"));
        w.typeSearch(QStringLiteral("small"));
        QVERIFY(w.edit->isEnabled());

        // Only the stand-ins the program put in for stray line characters map back to them; the
        // same symbols typed or stored in a record stay themselves, and so does a paragraph
        // separator. The second text holds a real ␍, the third a paragraph separator and a real ␊.
        for (const QString& text :
             {QStringLiteral("a\rb\r\nc\nd"), QStringLiteral("a\u240Db"),
              QStringLiteral("x\u2029y\r\n\u240A\n"), QStringLiteral("plain\r\n\r\nlines")}) {
            QTextDocument document;
            widgets::setEditText(document, text);
            QCOMPARE(widgets::editTextOf(document), text);
            QTextCursor(&document).insertText(QStringLiteral("\u240D!"), QTextCharFormat());
            QCOMPARE(widgets::editTextOf(document), QStringLiteral("\u240D!") + text);
        }
    }

    // Run again at twice the scale (QT_SCALE_FACTOR=2): the same twips, the same layout in
    // device-independent pixels (that icons are drawn for the screen's pixels is test_looks's).
    void scaledScreensKeepTheLayout() {
        Window w;
        QCOMPARE(w.window->minimumSize(), QSize(470, 426));  // 7050 x 6400 twips
        const QWidget* results = w.window->findChild<QWidget*>(QStringLiteral("frameResults"));
        QCOMPARE(results->width(), qRound(w.state.frame.geometry().frameResults.width / 15));
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

    void savingFromTheKeyboardAndTheUnsavedMark() {
        Keys w;
        QVERIFY(w.window->windowTitle() == "Trovix[*]" && !w.window->isWindowModified());
        QAction* fileB = w.action("fileB");
        const QString tipBefore = fileB->toolTip();
        const QImage iconBefore = fileB->icon().pixmap(32).toImage();

        // Typing into a record of list 2 marks the window, and file 2's button only.
        w.clickRow(w.list(SlotId::B), 1);
        w.click(w.edit);
        w.type(QStringLiteral("x"));
        QTRY_VERIFY(w.window->isWindowModified());
        QCOMPARE(fileB->toolTip(), QStringLiteral("taglines.txt, changed"));
        QVERIFY(w.button("fileB")->accessibleDescription().contains(fileB->toolTip()) &&
                fileB->icon().pixmap(32).toImage() != iconBefore &&
                !w.action("fileA")->toolTip().contains(QStringLiteral("changed")));

        // The Actions menu names the file that Ctrl+Shift+S saves; the focus stays put.
        Q_EMIT w.window->findChild<QMenu*>(QStringLiteral("mnuActions"))->aboutToShow();
        QCOMPARE(w.action("mnuSave")->text(), QStringLiteral("Sa&ve taglines.txt"));
        w.key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(readBytes(w.file(2)), QByteArray("Zed\r\nAlx\r\nMo\r\n"));
        QCOMPARE(readBytes(w.file(1)), kPhones);
        QTRY_VERIFY(!w.window->isWindowModified());
        QVERIFY(fileB->toolTip() == tipBefore && w.focus() == w.edit);
    }

    void deleteNewAndSortFromTheKeys() {
        Keys w;
        // The Delete key in a list deletes its selected record. (That Ctrl+Z in the list takes it
        // back, selected, is test_main_window's.)
        w.clickRow(w.list(SlotId::A), 1);
        w.key(Qt::Key_Delete);
        QVERIFY(w.rows(SlotId::A) == 1 && w.focus() == w.list(SlotId::A));
        w.key(Qt::Key_Z, Qt::ControlModifier);

        // New: typing replaces "New Item".
        w.clickRow(w.list(SlotId::B), 0);
        w.click(w.button("new"));
        QCOMPARE(w.focus(), w.edit);
        w.type(QStringLiteral("Bea"));
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Bea"));

        // Sort lists every record of the file, and the status bar counts them.
        w.typeSearch(QStringLiteral("Smith"));
        QCOMPARE(w.rows(SlotId::A), 1);
        w.clickRow(w.list(SlotId::A), 0);
        w.click(w.button("sort"));
        QCOMPARE(w.rows(SlotId::A), 2);
        QVERIFY2(w.panel(1).endsWith(QStringLiteral("(2)")), qPrintable(w.panel(1)));
    }

    void altRGoesToTheListWithFocusAndBackupSaysWhatItDid() {
        Keys w;
        // Passing through lists 2 and 3 with Tab leaves list 1 the list with focus.
        w.clickRow(w.list(SlotId::A), 0);
        QVERIFY(w.tabTo(w.list(SlotId::C)));
        w.key(Qt::Key_R, Qt::AltModifier);
        QCOMPARE(w.focus(), w.list(SlotId::A));

        // (That the copies hold the files is test_records's.)
        w.action("mnuBackup")->trigger();
        QCOMPARE(w.window->statusBar()->currentMessage(), "Backed up 3 files as *.old");
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
