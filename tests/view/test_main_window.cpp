#include <QTest>

#include "support/list_views.h"
#include "support/window_fixture.h"

using namespace trovix;
using store::SlotId;
using testing::shownRows;

namespace {

// The real window on three small files, one of them with LF line breaks and one with a stray LF
// and CR inside a line, with a user at the keyboard.
struct Window : testing::WindowFixture {
    Window()
        : WindowFixture("Smith, Ann\r\n-----(212) 555-0100\r\nJones, Bo\r\n-----555-0199\r\n",
                        "Smithers, Al\r\nOdd\nli\rne\r\n", "212  New York\n201  New Jersey\n") {
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void showsTheFilesAndTheRecordAtEachActivation() {
        Window w;
        QCOMPARE(shownRows(w.list(SlotId::A)), QStringList({"Smith, Ann", "Jones, Bo"}));
        QCOMPARE(shownRows(w.list(SlotId::B)), QStringList({"Smithers, Al", "Odd\nli\rne"}));
        QCOMPARE(shownRows(w.list(SlotId::C)), QStringList({"212  New York", "201  New Jersey"}));
        QVERIFY(!w.list(SlotId::A)->accessibleName().isEmpty());
        // Each activation of the window selects and shows the first record of the list with
        // focus (list A on a first run).
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Smith, Ann\n(212) 555-0100"));
        QCOMPARE(w.list(SlotId::A)->currentIndex().row(), 0);

        // Coming back from another window keeps the record the user was at.
        w.state.slot(SlotId::A).list.setListIndex(1);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QCOMPARE(w.list(SlotId::A)->currentIndex().row(), 1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Jones, Bo\n555-0199"));
    }

    void clicksReachTheCoreOnceAndProgramChangesDoNotEcho() {
        Window w;
        QListView* view = w.list(SlotId::A);
        store::ResultList& list = w.state.slot(SlotId::A).list;
        int clicks = 0;
        int mouseDowns = 0;
        list.setClickHandler([&] { ++clicks; });
        list.setMouseDownHandler([&] { ++mouseDowns; });

        w.clickRow(view, 1);
        QCOMPARE(list.listIndex(), 1);
        QCOMPARE(clicks, 1);
        QCOMPARE(mouseDowns, 1);

        // The arrow keys run the click handling without a mouse-down.
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(list.listIndex(), 0);
        QCOMPARE(clicks, 2);
        QCOMPARE(mouseDowns, 1);

        // Below the last row: a mouse-down, no click, and the selection stays.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          QPoint(5, view->viewport()->height() - 3));
        QCOMPARE(mouseDowns, 2);
        QCOMPARE(clicks, 2);
        QCOMPARE(list.listIndex(), 0);
        QCOMPARE(view->currentIndex().row(), 0);

        // The program selecting a row shows it, and raises the handler once, not twice.
        list.setListIndex(1);
        QCOMPARE(clicks, 3);
        QCOMPARE(view->currentIndex().row(), 1);
        list.setListIndex(-1);
        QVERIFY(view->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(clicks, 4);

        // Colour and visibility come from the core list.
        list.setBackColor(store::ResultList::kFocusColour);
        QCOMPARE(view->palette().color(QPalette::Base), QColor(255, 224, 224));
        list.setVisible(false);
        QVERIFY(!view->isVisible());
    }

    void typingInTheEditBoxWritesTheRecord() {
        Window w;
        QListView* lstA = w.list(SlotId::A);
        w.clickRow(lstA, 1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Jones, Bo\n555-0199"));
        // Typing changes the row shown; Shift+Enter starts a line as Enter does.
        w.edit->setFocus();
        QTextCursor cursor = w.edit->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::EndOfLine);
        w.edit->setTextCursor(cursor);
        QTest::keyClicks(w.edit, QStringLiteral(" Jr"));
        QCOMPARE(shownRows(lstA).at(1), QStringLiteral("Jones, Bo Jr"));
        QTest::keyClick(w.edit, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(w.edit, QStringLiteral("x"));
        QCOMPARE(w.state.slot(SlotId::A).records.text(1),
                 QStringLiteral("Jones, Bo Jr-----x-----555-0199"));

        // A stray line feed or carriage return shows on the same line, as a symbol, and stays a
        // character.
        w.clickRow(w.list(SlotId::B), 1);
        QCOMPARE(w.edit->blockCount(), 1);
        w.edit->setFocus();
        w.edit->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.edit, QStringLiteral("!"));
        QCOMPARE(w.state.slot(SlotId::B).records.text(1), QStringLiteral("Odd\nli\rne!"));

        // A keystroke reaches the core once; the program's own write is not echoed back.
        int changes = 0;
        w.state.editBox.setChangeHandler([&] { ++changes; });
        w.state.editBox.setText(QStringLiteral("first\r\nsecond"));
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("first\nsecond"));
        QCOMPARE(changes, 1);
        w.edit->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.edit, QStringLiteral("!"));
        QCOMPARE(w.state.editBox.text(), QStringLiteral("first\r\nsecond!"));
        QCOMPARE(changes, 2);
    }

    void headerRowsAndFullDataViewFollowTheControls() {
        Window w;
        QAction* names = w.action("mnuDisplayFileNames");
        names->trigger();
        QVERIFY(names->isChecked());
        const QString header = QStringLiteral("... %1 ...").arg(w.state.slot(SlotId::B).fileName);
        const QStringList listB = {header, "Smithers, Al", "Odd\nli\rne"};
        QCOMPARE(shownRows(w.list(SlotId::B)), listB);

        w.action("data")->trigger();
        QCOMPARE(shownRows(w.list(SlotId::A)).mid(1),
                 QStringList({"Smith, Ann", "-----(212) 555-0100", "Jones, Bo", "-----555-0199"}));
        QCOMPARE(shownRows(w.list(SlotId::B)), listB);
        QVERIFY(!w.action("new")->isEnabled());
        QVERIFY(!w.edit->isEnabled());
        w.action("data")->trigger();
        QCOMPARE(shownRows(w.list(SlotId::A)).mid(1), QStringList({"Smith, Ann", "Jones, Bo"}));
        QVERIFY(w.action("new")->isEnabled());

        // Hiding the header rows while a header is selected is not a click on another row.
        w.clickRow(w.list(SlotId::A), 0);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("<disabled>"));
        names->trigger();
        QCOMPARE(w.state.slot(SlotId::A).list.listIndex(), -1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("<disabled>"));
    }

    void typingASearchAndPressingEnter() {
        Window w;
        w.typeSearch(QStringLiteral("smith 555"));
        QCOMPARE(shownRows(w.list(SlotId::A)), QStringList({"Smith, Ann"}));
        QCOMPARE(shownRows(w.list(SlotId::B)), QStringList({"no match found"}));
        QCOMPARE(w.list(SlotId::A)->currentIndex().row(), 0);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Smith, Ann\n(212) 555-0100"));
        QCOMPARE(w.panel(1), QStringLiteral("phone_numbers.txt  (1)"));
        // Remembered, and the box keeps the typed text, selected, after the list is rebuilt.
        QCOMPARE(w.find->count(), 1);
        QCOMPARE(w.find->itemText(0), QStringLiteral("smith 555"));
        QCOMPARE(w.find->lineEdit()->selectedText(), QStringLiteral("smith 555"));

        // A second search; then choosing the first from the drop-down searches it again.
        w.typeSearch(QStringLiteral("smi"));
        QCOMPARE(shownRows(w.list(SlotId::B)), QStringList({"Smithers, Al"}));
        w.find->setFocus();
        w.find->showPopup();
        QTest::keyClick(w.find->view(), Qt::Key_Down);
        QTest::keyClick(w.find->view(), Qt::Key_Return);
        QCOMPARE(w.find->currentText(), QStringLiteral("smith 555"));
        QCOMPARE(shownRows(w.list(SlotId::B)), QStringList({"no match found"}));
        QCOMPARE(w.find->count(), 2);  // the combo box never adds entries itself

        // "..x" closes the window, unless the user cancels saving a change.
        w.state.slot(SlotId::B).changed = true;
        w.messages.defaultAnswer = platform::MessageAnswer::Cancel;
        w.typeSearch(QStringLiteral("..x"));
        QVERIFY(w.window->isVisible());
        w.messages.defaultAnswer = platform::MessageAnswer::No;
        w.typeSearch(QStringLiteral("..x"));
        QVERIFY(!w.window->isVisible());
    }

    void largeListsNeedNoWidgetPerRow() {
        Window w;
        QStringList many;
        for (int i = 0; i < 200000; ++i) {
            many << QStringLiteral("record %1").arg(i);
        }
        store::FileSlot& slot = w.state.slot(SlotId::C);
        slot.records = store::RecordArray::fromStrings(many);
        store::listAllRecords(slot.list, slot.records, slot.fileName, {false, false});
        QCOMPARE(w.list(SlotId::C)->model()->rowCount(), 200000);
        QCOMPARE(w.list(SlotId::C)->model()->index(199999, 0).data().toString(),
                 QStringLiteral("record 199999"));
        slot.list.setListIndex(150000);
        QCOMPARE(w.list(SlotId::C)->currentIndex().row(), 150000);
    }

    void layoutLimitsAndOnTop() {
        Window w;
        // 7050 x 6400 twips at 15 twips a pixel.
        QCOMPARE(w.window->minimumSize(), QSize(470, 426));
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
        QVERIFY(inCentral("frameFind").bottom() < inCentral("frameResults").top());
        QVERIFY(inCentral("frameResults").bottom() <= inCentral("Picture1").top());
        QVERIFY(inCentral("Picture1").top() < inCentral("frameEdit").top());
        // The lists fill the results frame, one below the other.
        const QRect results = inCentral("frameResults");
        QRect previous;
        for (const char* name : {"lstA", "lstB", "lstC"}) {
            const QRect list = inCentral(name);
            QVERIFY2(results.contains(list), name);
            QVERIFY(list.width() > results.width() - 30);
            QVERIFY(previous.isNull() || previous.bottom() < list.top());
            previous = list;
        }
        QVERIFY(results.bottom() - previous.bottom() < 20);

        // Hiding the edit pane gives its room to the lists.
        w.action("edit")->trigger();
        QVERIFY(!w.window->findChild<QWidget*>(QStringLiteral("frameEdit"))->isVisible());
        QVERIFY(inCentral("frameResults").height() > results.height() + 50);

        // On top: the window keeps its place and size, and the check mark agrees.
        const QRect before = w.window->geometry();
        for (const bool onTop : {true, false}) {
            w.action("mnuOnTop")->trigger();
            QCOMPARE(w.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
            QCOMPARE(w.action("mnuOnTop")->isChecked(), onTop);
            QVERIFY(w.window->isVisible());
            QCOMPARE(w.window->geometry(), before);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
