#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include "platform/fake/fake_font_dialog.h"
#include "platform/fake/fake_screen.h"
#include "support/list_views.h"
#include "support/window_fixture.h"
#include "view/widgets/edit_text.h"

using namespace trovix;
using store::SlotId;
using testing::shownRows;

namespace {

struct Window : testing::WindowFixture {
    explicit Window(const QByteArray& a = "Smith, Ann\r\n-----(212) 555-0100\r\nJones, Bo\r\n")
        : WindowFixture(a, "one\r\ntwo\r\n", "212  New York\r\n") {
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
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

class TestWindowCommands : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // Only the stand-ins the program put in for stray line characters map back to them; the
    // same symbols typed or stored in a record stay themselves, and so does a paragraph
    // separator.
    void strayLineCharactersComeBackAsTheyWere() {
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

    void aGiantRecordIsShownShortAndReadOnly() {
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
    }

    void textBoxesKeepTheirEditingKeysAndMenusTakeTheRest() {
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
                 QStringList({"Smith, Ann-----(212) 555-0100", "Jones, Bo"}));
        QCOMPARE(shownRows(w.list(SlotId::A)), QStringList({"Smith, Ann", "Jones, Bo"}));
    }

    void theSplitterFollowsTheMouseAndTheKeys() {
        Window w;
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
    }

    void statusMessagesShowOnceAndTheCountsStay() {
        Window w;
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
    }

    void screenReadersAndTheKeyboardReachEveryControl() {
        Window w;
        // The panels say their text, not a fixed name.
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

    void theMinimumSizeFollowsTheScreensDotsPerInch() {
        platform::FakeScreen screen;
        screen.dpi = 144;  // 10 twips a pixel
        Window w;
        w.state.services.screen = &screen;
        w.window->hide();
        w.window->show();
        QCOMPARE(w.window->minimumSize(), QSize(705, 640));
    }
};

QTEST_MAIN(TestWindowCommands)
#include "test_window_commands.moc"
