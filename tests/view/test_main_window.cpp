#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include "platform/fake/fake_font_dialog.h"
#include "platform/qt/qt_settings_store.h"
#include "support/list_views.h"
#include "support/window_fixture.h"
#include "view/widgets/edit_text.h"

using namespace trovix;
using store::SlotId;
using testing::shownRows;
using testing::writeBytes;

namespace {

// The real window on three small files, one of them with LF line breaks and one with a stray LF
// and CR inside a line, with a user at the keyboard.
struct Window : testing::WindowFixture {
    explicit Window(
        const QByteArray& a = "Smith, Ann\r\n-----(212) 555-0100\r\nJones, Bo\r\n-----555-0199\r\n")
        : WindowFixture(a, "Smithers, Al\r\nOdd\nli\rne\r\n", "212  New York\n201  New Jersey\n") {}
};

// WCAG's contrast ratio of two colours.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void showsTheFilesAndTheRecordAtEachActivationWithoutAWidgetPerRow() {
        Window w;
        QCOMPARE(shownRows(w.list(SlotId::B)), QStringList({"Smithers, Al", "Odd\nli\rne"}));
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

        // A large list needs no widget per row.
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

    void userInputReachesTheCoreOnceAndProgramChangesDoNotEcho() {
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

        // A click or a key on a list reaches the core once.
        store::ResultList& list = w.state.slot(SlotId::A).list;
        int clicks = 0;
        int mouseDowns = 0;
        list.setClickHandler([&] { ++clicks; });
        list.setMouseDownHandler([&] { ++mouseDowns; });

        w.clickRow(lstA, 1);
        QCOMPARE(list.listIndex(), 1);
        QCOMPARE(clicks, 1);
        QCOMPARE(mouseDowns, 1);

        // The arrow keys run the click handling without a mouse-down.
        QTest::keyClick(lstA, Qt::Key_Up);
        QCOMPARE(list.listIndex(), 0);
        QCOMPARE(clicks, 2);
        QCOMPARE(mouseDowns, 1);

        // Below the last row: a mouse-down, no click, and the selection stays.
        QTest::mouseClick(lstA->viewport(), Qt::LeftButton, {},
                          QPoint(5, lstA->viewport()->height() - 3));
        QCOMPARE(mouseDowns, 2);
        QCOMPARE(clicks, 2);
        QCOMPARE(list.listIndex(), 0);
        QCOMPARE(lstA->currentIndex().row(), 0);

        // The program selecting a row shows it, and raises the handler once, not twice.
        list.setListIndex(1);
        QCOMPARE(clicks, 3);
        QCOMPARE(lstA->currentIndex().row(), 1);
        list.setListIndex(-1);
        QVERIFY(lstA->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(clicks, 4);

        // Colour and visibility come from the core list.
        list.setBackColor(store::ResultList::kFocusColour);
        QCOMPARE(lstA->palette().color(QPalette::Base), QColor(255, 224, 224));
        list.setVisible(false);
        QVERIFY(!lstA->isVisible());
    }

    void typingASearchAndPressingEnter() {
        Window w;
        w.typeSearch(QStringLiteral("smith 555"));
        QCOMPARE(shownRows(w.list(SlotId::A)), QStringList({"Smith, Ann"}));
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
        const qsizetype asked = w.messages.shown.size();
        w.typeSearch(QStringLiteral("..x"));
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.messages.shown.size(), asked + 1);  // Enter is pressed once
        w.messages.defaultAnswer = platform::MessageAnswer::No;
        w.typeSearch(QStringLiteral("..x"));
        QVERIFY(!w.window->isVisible());
    }

    void theSplitterLayoutLimitsAndOnTop() {
        Window w;
        // The splitter follows the mouse and the keys.
        w.window->resize(800, 800);
        QTest::qWait(20);
        auto* bar = w.window->findChild<QWidget*>(QStringLiteral("Picture1"));
        const int gap = w.state.gap;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 1), bar->mapToGlobal(QPointF(5, 1)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &press);
        QMouseEvent drag(QEvent::MouseMove, QPointF(5, -40), bar->mapToGlobal(QPointF(5, -40)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &drag);
        QCOMPARE(w.state.gap, gap + 40 * 15);  // 15 twips a pixel
        QCOMPARE(bar->cursor().shape(), Qt::SizeVerCursor);
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(w.state.gap, gap + 40 * 15 - 120);
        QVERIFY(bar->accessibleDescription().contains(QString::number(w.state.gap)));

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

        // The minimum size, 7050 x 6400 twips, follows the screen's dots per inch.
        w.screen.dpi = 144;  // 10 twips a pixel
        w.state.services.screen = &w.screen;
        w.window->hide();
        w.window->show();
        QCOMPARE(w.window->minimumSize(), QSize(705, 640));
    }

    void theEditBoxShowsGiantRecordsShortAndStrayLineCharactersAsTheyWere() {
        Window w(QByteArray("giant ") + QByteArray(3 << 20, 'g') + "\r\nsmall\r\n");
        const QString row = shownRows(w.list(SlotId::A)).first();
        QCOMPARE(row.size(), store::ResultList::kShownChars + 1);
        QVERIFY(row.endsWith(QChar(0x2026)));
        QVERIFY(!w.edit->isEnabled());
        QVERIFY(w.edit->toPlainText().size() < 10000);
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
            view::setEditText(document, text);
            QCOMPARE(view::editTextOf(document), text);
            QTextCursor end(&document);
            end.movePosition(QTextCursor::End);
            end.insertText(QStringLiteral("\u240D!"), QTextCharFormat());
            QCOMPARE(view::editTextOf(document), text + QStringLiteral("\u240D!"));
        }
    }

    void editingKeysMenusAndToolbarReachTheCoreAndHeaderRowsFollow() {
        Window w;
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        w.find->setFocus();
        QTest::keyClick(w.find->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.find->currentText(), QStringLiteral("pasted"));
        QVERIFY(!w.state.options.isChecked(Option::SearchWhileTyping));
        w.edit->setFocus();
        QTest::keyClick(w.edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.edit->textCursor().selectedText().size(), w.edit->toPlainText().size());
        // On a list the menu's shortcut acts.
        w.list(SlotId::A)->setFocus();
        QTest::keyClick(w.list(SlotId::A), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.state.displayFileNames());
        // The toolbar and the Actions menu reach the record commands.
        w.action("mnuDisplayFileNames")->trigger();
        w.clickRow(w.list(SlotId::A), 1);
        w.action("new")->trigger();
        QCOMPARE(shownRows(w.list(SlotId::A)).last(), QStringLiteral("New Item"));
        w.action("delete")->trigger();
        w.action("mnuCompact")->trigger();
        QCOMPARE(w.state.slot(SlotId::A).records.toStringList(),
                 QStringList({"Smith, Ann-----(212) 555-0100", "Jones, Bo-----555-0199"}));
        QCOMPARE(shownRows(w.list(SlotId::A)), QStringList({"Smith, Ann", "Jones, Bo"}));

        // The header rows and the full data view follow the controls.
        QAction* names = w.action("mnuDisplayFileNames");
        names->trigger();
        QVERIFY(names->isChecked());
        const QString header = QStringLiteral("... %1 ...").arg(w.state.slot(SlotId::B).fileName);
        const QStringList listB = {header, "Smithers, Al", "Odd\nli\rne"};
        QCOMPARE(shownRows(w.list(SlotId::B)), listB);

        // The full data view's rows are the core's; the window follows its controls.
        w.action("data")->trigger();
        QCOMPARE(shownRows(w.list(SlotId::A)).size(), 5);
        QVERIFY(!w.action("new")->isEnabled());
        QVERIFY(!w.edit->isEnabled());
        w.action("data")->trigger();
        QVERIFY(w.action("new")->isEnabled());

        // Hiding the header rows while a header is selected is not a click on another row.
        w.clickRow(w.list(SlotId::A), 0);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("<disabled>"));
        names->trigger();
        QCOMPARE(w.state.slot(SlotId::A).list.listIndex(), -1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("<disabled>"));
    }

    void theStatusBarAndEveryControlReachScreenReadersAndTheKeyboard() {
        Window w;
        // A status message shows once; the counts stay, and the panels say their text.
        platform::FakeFontDialog fonts;
        fonts.result = platform::FontChoice{QStringLiteral("DejaVu Sans Mono"), 12, 400, false};
        w.state.services.fonts = &fonts;
        w.action("font")->trigger();
        QCOMPARE(w.window->statusBar()->currentMessage(),
                 QStringLiteral("DejaVu Sans Mono  12 pt"));
        w.window->statusBar()->clearMessage();
        w.typeSearch(QStringLiteral("smith"));
        QVERIFY(w.window->statusBar()->currentMessage().isEmpty());
        QCOMPARE(w.panel(1), QStringLiteral("phone_numbers.txt  (1)"));
        auto* panel = w.window->findChild<QLabel*>(QStringLiteral("panel1"));
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(panel);
        QCOMPARE(reader->text(QAccessible::Name), w.panel(1));
        // Every toolbar button takes the keyboard focus and names itself.
        const auto* bar = w.window->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        int buttons = 0;
        for (QAction* action : bar->actions()) {
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
                QVERIFY2(button->focusPolicy() & Qt::TabFocus, qPrintable(action->objectName()));
                QVERIFY(!button->accessibleName().isEmpty());
                ++buttons;
            }
        }
        QCOMPARE(buttons, 18);
        // The lists' text stays dark on their light backgrounds under a dark palette too.
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Window, QColor(40, 40, 40));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        for (const QPalette& palette : {QPalette(), dark}) {
            w.window->setPalette(palette);
            for (const std::uint32_t back :
                 {store::ResultList::kWhite, store::ResultList::kFocusColour}) {
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
        const QString ini = dir.filePath(QStringLiteral("Trovix.ini"));
        writeBytes(dir.filePath(QStringLiteral("mine.txt")), "Mine\r\n");
        writeBytes(dir.filePath(QStringLiteral("phone_numbers.txt")), "Smith\r\n");
        {
            platform::QtSettingsStore settings(ini);
            testing::WindowFixture first(dir.path(), &settings, {"mine.txt", "b.txt", "c.txt"});
            first.action("mnuDisplayFileNames")->trigger();
            first.action("mnuIgnoreCase")->trigger();
            first.action("fileB")->trigger();
            first.typeSearch(QStringLiteral("mine"));
            first.window->move(150, 120);
            first.window->resize(700, 600);
            QVERIFY(first.window->close());
        }
        QSettings stored(ini, QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Settings/MainWidth")).toString(),
                 QStringLiteral("10500"));  // 700 pixels at 15 twips each

        platform::QtSettingsStore settings(ini);
        testing::WindowFixture second(dir.path(), &settings);
        QVERIFY(second.action("mnuDisplayFileNames")->isChecked());
        QVERIFY(!second.action("mnuIgnoreCase")->isChecked());
        QVERIFY(second.action("fileA")->isChecked() && !second.action("fileB")->isChecked());
        QCOMPARE(second.state.slot(store::SlotId::A).records.text(0), QStringLiteral("Mine"));
        QCOMPARE(second.find->itemText(0), QStringLiteral("mine"));
        QCOMPARE(second.window->size(), QSize(700, 600));
        QCOMPARE(second.window->pos(), QPoint(150, 120));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
