#include <QTest>

#include "support/list_views.h"
#include "support/window_fixture.h"

using namespace trovix;
using store::SlotId;
using testing::shownRows;

namespace {

// The real window on three small files, with a user at the keyboard.
struct Window : testing::WindowFixture {
    Window()
        : WindowFixture(
              "Smith, Ann\r\n-----(212) 555-0100\r\nJones, Bo\r\n-----555-0199\r\n"
              "Smithers, Al\r\n-----no phone\r\nOdd\nline\r\n",
              "Smile, Smith.\r\n", "212  New York\r\n") {
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
};

}  // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void typingASearchAndPressingEnter() {
        Window w;
        w.typeSearch(QStringLiteral("smith 555"));
        QCOMPARE(shownRows(w.list("lstA")), QStringList({"Smith, Ann"}));
        QCOMPARE(shownRows(w.list("lstB")), QStringList({"no match found"}));
        QCOMPARE(shownRows(w.list("lstC")), QStringList({"no match found"}));
        QCOMPARE(w.list("lstA")->currentIndex().row(), 0);
        QCOMPARE(w.list("lstA")->palette().color(QPalette::Base), QColor(255, 224, 224));
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Smith, Ann\n(212) 555-0100"));
        QVERIFY(w.edit->isEnabled());
        QCOMPARE(w.panel(1), QStringLiteral("phone_numbers.txt  (1)"));
        QCOMPARE(w.panel(2), QStringLiteral("taglines.txt  (1)"));
        QCOMPARE(w.panel(4), QStringLiteral("   0   0"));
        // Remembered, and the box keeps the typed text, selected, after the list is rebuilt.
        QCOMPARE(w.find->count(), 1);
        QCOMPARE(w.find->itemText(0), QStringLiteral("smith 555"));
        QCOMPARE(w.find->currentText(), QStringLiteral("smith 555"));
        QCOMPARE(w.find->lineEdit()->selectedText(), QStringLiteral("smith 555"));

        // A second search; then choosing the first from the drop-down searches it again.
        w.typeSearch(QStringLiteral("smi"));
        QCOMPARE(shownRows(w.list("lstA")), QStringList({"Smith, Ann", "Smithers, Al"}));
        QCOMPARE(w.find->count(), 2);
        QCOMPARE(w.find->itemText(0), QStringLiteral("smi"));
        QCOMPARE(w.find->currentText(), QStringLiteral("smi"));
        w.find->setFocus();
        w.find->showPopup();
        QTest::keyClick(w.find->view(), Qt::Key_Down);
        QTest::keyClick(w.find->view(), Qt::Key_Return);
        QCOMPARE(w.find->currentText(), QStringLiteral("smith 555"));
        QCOMPARE(shownRows(w.list("lstA")), QStringList({"Smith, Ann"}));
        QCOMPARE(w.find->count(), 2);  // the combo box never adds entries itself
    }

    void clickingAndEditingRecords() {
        Window w;
        QListView* lstA = w.list("lstA");
        const QRect second = lstA->visualRect(lstA->model()->index(1, 0));
        QTest::mouseClick(lstA->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Jones, Bo\n555-0199"));
        QCOMPARE(w.panel(4), QStringLiteral("   1   1"));
        QCOMPARE(w.state.listWithFocus, 1);

        // Typing at the end of the first line changes the row and the record.
        w.edit->setFocus();
        QTextCursor cursor = w.edit->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::EndOfLine);
        w.edit->setTextCursor(cursor);
        QTest::keyClicks(w.edit, QStringLiteral(" Jr"));
        QCOMPARE(shownRows(lstA).at(1), QStringLiteral("Jones, Bo Jr"));
        QCOMPARE(w.state.slot(SlotId::A).records.text(1),
                 QStringLiteral("Jones, Bo Jr-----555-0199"));
        QVERIFY(w.state.slot(SlotId::A).changed);

        // Only one list ever has a selected row.
        QListView* lstC = w.list("lstC");
        QTest::mouseClick(lstC->viewport(), Qt::LeftButton, {},
                          lstC->visualRect(lstC->model()->index(0, 0)).center());
        QVERIFY(lstA->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(lstC->currentIndex().row(), 0);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("212  New York"));
        QCOMPARE(w.panel(4), QStringLiteral("   1   1"));  // only list A writes the row panel
    }

    void shiftEnterAndHeaderRowsBehave() {
        Window w;
        QListView* lstA = w.list("lstA");
        QTest::mouseClick(lstA->viewport(), Qt::LeftButton, {},
                          lstA->visualRect(lstA->model()->index(1, 0)).center());
        w.edit->setFocus();
        QTextCursor cursor = w.edit->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::EndOfLine);
        w.edit->setTextCursor(cursor);
        QTest::keyClick(w.edit, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(w.edit, QStringLiteral("Jr"));
        QCOMPARE(w.state.slot(SlotId::A).records.text(1),
                 QStringLiteral("Jones, Bo-----Jr-----555-0199"));

        // Hiding the header rows while a header is selected is not a click on another row.
        QAction* names = w.window->findChild<QAction*>(QStringLiteral("mnuDisplayFileNames"));
        names->trigger();
        QTest::mouseClick(lstA->viewport(), Qt::LeftButton, {},
                          lstA->visualRect(lstA->model()->index(0, 0)).center());
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("<disabled>"));
        names->trigger();
        QCOMPARE(w.state.slot(SlotId::A).list.listIndex(), -1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("<disabled>"));
    }

    void aStrayLineFeedStaysACharacter() {
        Window w;
        QListView* lstA = w.list("lstA");
        QTest::mouseClick(lstA->viewport(), Qt::LeftButton, {},
                          lstA->visualRect(lstA->model()->index(3, 0)).center());
        QCOMPARE(w.edit->blockCount(), 1);  // shown on one line, the LF as a visible symbol
        w.edit->setFocus();
        w.edit->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.edit, QStringLiteral("!"));
        QCOMPARE(w.state.slot(SlotId::A).records.text(3), QStringLiteral("Odd\nline!"));
    }

    void searchWhileTypingAndTheExitCommand() {
        Window w;
        w.window->findChild<QAction*>(QStringLiteral("mnuSearchWhileTyping"))->trigger();
        w.find->lineEdit()->setFocus();
        QTest::keyClicks(w.find->lineEdit(), QStringLiteral("jon"));
        QCOMPARE(shownRows(w.list("lstA")), QStringList({"Jones, Bo"}));
        QCOMPARE(w.find->count(), 0);  // typing alone remembers nothing
        w.typeSearch(QStringLiteral("..x"));
        QVERIFY(!w.window->isVisible());
    }
};

QTEST_MAIN(TestSearchWindow)
#include "test_search_window.moc"
