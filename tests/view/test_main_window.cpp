#include <QTest>

#include "support/list_views.h"
#include "support/window_fixture.h"
#include "view/widgets/result_list_view.h"

using namespace trovix;
using store::SlotId;
using testing::shownRows;

namespace {

// A window on three small data files.
struct Fixture : testing::WindowFixture {
    Fixture()
        : WindowFixture("Smith, Ann\r\n-----12 Elm St\r\n-----(212) 555-0100\r\nJones, Bo\r\n",
                        "Be brief.\r\n\r\nBe kind.\r\n", "201  New Jersey\n202  DC\n") {}
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void showsEveryRecordOfTheThreeFiles() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(shownRows(f.list(SlotId::A)), QStringList({"Smith, Ann", "Jones, Bo"}));
        QCOMPARE(shownRows(f.list(SlotId::B)), QStringList({"Be brief.", "Be kind."}));
        QCOMPARE(shownRows(f.list(SlotId::C)), QStringList({"201  New Jersey", "202  DC"}));
        for (const char* name : {"frmMain", "lstFind", "txtEdit", "frameFind", "frameResults",
                                 "frameEdit", "Picture1", "Toolbar1", "StatusBar1"}) {
            QVERIFY2(f.window->objectName() == QLatin1String(name) ||
                         f.window->findChild<QObject*>(QString::fromLatin1(name)) != nullptr,
                     name);
        }
        QVERIFY(!f.list(SlotId::A)->accessibleName().isEmpty());
        // Each activation of the window selects and shows the first record of the list with
        // focus (list A on a first run).
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(f.window->findChild<QPlainTextEdit*>(QStringLiteral("txtEdit"))->toPlainText(),
                 QStringLiteral("Smith, Ann\n12 Elm St\n(212) 555-0100"));
        QCOMPARE(f.list(SlotId::A)->currentIndex().row(), 0);

        // Coming back from another window keeps the record the user was at.
        f.state.slot(SlotId::A).list.setListIndex(1);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(f.list(SlotId::A)->currentIndex().row(), 1);
        QCOMPARE(f.edit->toPlainText(), QStringLiteral("Jones, Bo"));
    }

    void headerRowsAndFullDataViewFollowTheControls() {
        Fixture f;
        f.action("mnuDisplayFileNames")->trigger();
        const QString header = QStringLiteral("... %1 ...").arg(f.state.slot(SlotId::B).fileName);
        QCOMPARE(shownRows(f.list(SlotId::B)), QStringList({header, "Be brief.", "Be kind."}));
        QVERIFY(f.action("mnuDisplayFileNames")->isChecked());

        f.action("data")->trigger();
        QVERIFY(f.state.fullDataView());
        QCOMPARE(shownRows(f.list(SlotId::A)).mid(1),
                 QStringList({"Smith, Ann", "-----12 Elm St", "-----(212) 555-0100", "Jones, Bo"}));
        QVERIFY(!f.action("new")->isEnabled());
        QVERIFY(!f.window->findChild<QPlainTextEdit*>(QStringLiteral("txtEdit"))->isEnabled());

        f.action("data")->trigger();
        f.action("mnuDisplayFileNames")->trigger();
        QCOMPARE(shownRows(f.list(SlotId::A)), QStringList({"Smith, Ann", "Jones, Bo"}));
        QVERIFY(f.action("new")->isEnabled());
    }

    void clicksReachTheCoreOnceAndProgramChangesDoNotEcho() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QListView* view = f.list(SlotId::A);
        store::ResultList& list = f.state.slot(SlotId::A).list;
        int clicks = 0;
        int mouseDowns = 0;
        list.setClickHandler([&] { ++clicks; });
        list.setMouseDownHandler([&] { ++mouseDowns; });

        const QRect second = view->visualRect(view->model()->index(1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
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

    void largeListsNeedNoWidgetPerRow() {
        Fixture f;
        QStringList many;
        for (int i = 0; i < 200000; ++i) {
            many << QStringLiteral("record %1").arg(i);
        }
        store::FileSlot& slot = f.state.slot(SlotId::C);
        slot.records = store::RecordArray::fromStrings(many);
        store::listAllRecords(slot.list, slot.records, slot.fileName, {false, false});
        QCOMPARE(f.list(SlotId::C)->model()->rowCount(), 200000);
        QCOMPARE(f.list(SlotId::C)->model()->index(199999, 0).data().toString(),
                 QStringLiteral("record 199999"));
        slot.list.setListIndex(150000);
        QCOMPARE(f.list(SlotId::C)->currentIndex().row(), 150000);
    }

    void layoutLimitsAndOnTop() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        // 7050 x 6400 twips at 15 twips a pixel.
        QCOMPARE(f.window->minimumSize(), QSize(470, 426));
        f.window->resize(800, 700);
        QTest::qWait(10);
        const QWidget* central = f.window->centralWidget();
        const auto inCentral = [&](const char* name) {
            const auto* w = f.window->findChild<QWidget*>(QString::fromLatin1(name));
            return QRect(w->mapTo(central, QPoint(0, 0)), w->size());
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
        f.action("edit")->trigger();
        QVERIFY(!f.window->findChild<QWidget*>(QStringLiteral("frameEdit"))->isVisible());
        QVERIFY(inCentral("frameResults").height() > results.height() + 50);

        // On top: the window keeps its place and size, and the check mark agrees.
        const QRect before = f.window->geometry();
        f.action("mnuOnTop")->trigger();
        QVERIFY(f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(f.action("mnuOnTop")->isChecked());
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->geometry(), before);
        f.action("mnuOnTop")->trigger();
        QVERIFY(!f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!f.action("mnuOnTop")->isChecked());
        QCOMPARE(f.window->geometry(), before);
    }

    void editBoxTextIsKeptInItsLineForm() {
        Fixture f;
        auto* edit = f.window->findChild<QPlainTextEdit*>(QStringLiteral("txtEdit"));
        f.state.editBox.setText(QStringLiteral("first\r\nsecond"));
        QCOMPARE(edit->toPlainText(), QStringLiteral("first\nsecond"));
        int changes = 0;
        f.state.editBox.setChangeHandler([&] { ++changes; });
        edit->setFocus();
        edit->moveCursor(QTextCursor::End);
        QTest::keyClicks(edit, QStringLiteral("!"));
        QCOMPARE(f.state.editBox.text(), QStringLiteral("first\r\nsecond!"));
        QCOMPARE(changes, 1);
        f.state.editBox.setText(QStringLiteral("program"));
        QCOMPARE(changes, 2);  // the program's write raised it once; the widget did not echo
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
