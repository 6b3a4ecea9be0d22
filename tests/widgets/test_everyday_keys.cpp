#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "support/window_fixture.h"

using namespace trovix;
using lists::SlotId;
using testing::readBytes;

namespace {

const QByteArray kPhones = "Smith, Ann\r\n-----(212) 555-0100\r\nJones, Bo\r\n-----555-0199\r\n";

struct Window : testing::WindowFixture {
    Window() : WindowFixture(kPhones, "Zed\r\nAl\r\nMo\r\n", "212  New York\r\n") {}
    int rows(SlotId id) { return list(id)->model()->rowCount(); }
};

}  // namespace

// The keyboard habits of desktop programs: saving, deleting, undoing without losing the place.
class TestEverydayKeys : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void savingFromTheKeyboardAndTheUnsavedMark() {
        Window w;
        QCOMPARE(w.window->windowTitle(), QStringLiteral("Trovix[*]"));
        QVERIFY(!w.window->isWindowModified());
        QToolBar* bar = w.window->findChild<QToolBar*>();
        QAction* fileB = w.action("fileB");
        QWidget* fileButtonB = bar->widgetForAction(fileB);
        const QString tipBefore = fileB->toolTip();
        const QImage iconBefore = fileB->icon().pixmap(32).toImage();

        // Typing into a record of list 2 marks the window, and file 2's button only.
        w.clickRow(w.list(SlotId::B), 1);
        w.click(w.edit);
        w.type(QStringLiteral("x"));
        QTRY_VERIFY(w.window->isWindowModified());
        QCOMPARE(fileB->toolTip(), QStringLiteral("taglines.txt, changed"));
        QVERIFY(
            fileButtonB->accessibleDescription().contains(QStringLiteral("taglines.txt, changed")));
        QVERIFY(fileB->icon().pixmap(32).toImage() != iconBefore);
        QVERIFY(!w.action("fileA")->toolTip().contains(QStringLiteral("changed")));

        // The Actions menu names the file that Ctrl+Shift+S saves; the focus stays put.
        QMenu* actions = w.window->findChild<QMenu*>(QStringLiteral("mnuActions"));
        QAction* save = w.action("mnuSave");
        QCOMPARE(actions->actions().last(), save);
        QCOMPARE(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        Q_EMIT actions->aboutToShow();
        QCOMPARE(save->text(), QStringLiteral("Sa&ve taglines.txt"));
        w.key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(readBytes(w.file(2)), QByteArray("Zed\r\nAlx\r\nMo\r\n"));
        QCOMPARE(readBytes(w.file(1)), kPhones);
        QTRY_VERIFY(!w.window->isWindowModified());
        QCOMPARE(fileB->toolTip(), tipBefore);
        QCOMPARE(w.focus(), w.edit);
    }

    void deleteNewAndSortFromTheKeys() {
        Window w;
        // The Delete key in a list deletes its selected record, one step that Ctrl+Z takes back.
        w.clickRow(w.list(SlotId::A), 1);
        w.key(Qt::Key_Delete);
        QCOMPARE(w.rows(SlotId::A), 1);
        QCOMPARE(w.focus(), w.list(SlotId::A));
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.rows(SlotId::A), 2);
        QCOMPARE(w.focus(), w.list(SlotId::A));

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
        Window w;
        // Passing through lists 2 and 3 with Tab leaves list 1 the list with focus.
        w.clickRow(w.list(SlotId::A), 0);
        QVERIFY(w.tabTo(w.list(SlotId::C)));
        w.key(Qt::Key_R, Qt::AltModifier);
        QCOMPARE(w.focus(), w.list(SlotId::A));

        w.window->findChild<QAction*>(QStringLiteral("mnuBackup"))->trigger();
        QCOMPARE(w.window->statusBar()->currentMessage(),
                 QStringLiteral("Backed up 3 files as *.old"));
        QCOMPARE(readBytes(w.file(1) + QStringLiteral(".old")), kPhones);
    }
};

QTEST_MAIN(TestEverydayKeys)
#include "test_everyday_keys.moc"
