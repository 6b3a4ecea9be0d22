#include <QMenu>
#include <QStatusBar>
#include <QTest>

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
        Window w;
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
        Window w;
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

QTEST_MAIN(TestEverydayKeys)
#include "test_everyday_keys.moc"
