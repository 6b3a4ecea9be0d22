// The window over real files that another process changes, watched by the system's change
// notices as the program runs.
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

#include <QElapsedTimer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "app/file_changes.h"
#include "app/shutdown.h"
#include "platform/qt/qt_file_watcher.h"
#include "platform/qt/qt_load_progress.h"
#include "store/recovery_file.h"
#include "support/window_fixture.h"

using namespace trovix;
using namespace trovix::testing;

namespace {

constexpr int kPatience = 15000;  // ms; a busy machine delivers change notices late

// Runs a shell command as another program would, and waits for it to end.
bool shell(const QString& command) {
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    return process.waitForFinished(kPatience) && process.exitCode() == 0;
}

QString quoted(const QString& path) {
    return u'\'' + path + u'\'';
}

QStringList rowsShown(QListView* view) {
    QStringList out;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        out.append(view->model()->index(row, 0).data().toString());
    }
    return out;
}

// A slow disk under the window's own progress display: every piece of a reading takes this
// long to come in.
class SlowReading : public platform::LoadProgress {
  public:
    SlowReading(platform::LoadProgress& shown, int msPerPiece)
        : shown_(shown), msPerPiece_(msPerPiece) {}
    void started(const QString& fileName) override {
        clock.start();
        shown_.started(fileName);
    }
    bool at(qint64 done, qint64 total) override {
        QThread::msleep(static_cast<unsigned long>(msPerPiece_));
        return shown_.at(done, total);
    }
    void ended() override { shown_.ended(); }
    QElapsedTimer clock;

  private:
    platform::LoadProgress& shown_;
    int msPerPiece_;
};

QProgressDialog* shownProgress() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

}  // namespace

class TestReloadWindow : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void aLongReadingShowsItsProgressAndCancelLeavesTheFileUnreadAndForgotten() {
        WindowFixture w("Ann\nBob\n", "tag\n", "212\n");
        platform::OwnerWindow owner;
        owner.set(w.window.get());
        platform::QtLoadProgress shown(owner);
        SlowReading slow(shown, 150);
        w.state.services.loading = slow;
        // 24 MB of records: six pieces, each slow, so the reading runs past half a second.
        const QString big = w.dir.filePath(QStringLiteral("big.txt"));
        QByteArray line = QByteArray("Record with a line of ordinary length, number ");
        QByteArray bytes;
        for (int i = 0; bytes.size() < (24 << 20); ++i) {
            bytes += line + QByteArray::number(i) + '\n';
        }
        QVERIFY(writeBytes(big, bytes));
        w.services.files.result = big;
        w.clickRow(w.list("lstA"), 0);

        // While the reading runs, the window handles events: the progress shows, and the user
        // clicks its Cancel button where it is drawn.
        qint64 shownAfterMs = -1;
        int valueShown = -1;
        QString nameRead;
        QTimer user;
        user.setInterval(10);
        connect(&user, &QTimer::timeout, [&] {
            QProgressDialog* dialog = shownProgress();
            if (dialog == nullptr || shownAfterMs >= 0) {
                return;
            }
            shownAfterMs = slow.clock.elapsed();
            valueShown = dialog->value();
            nameRead = dialog->accessibleName();
            auto* cancel = dialog->findChild<QPushButton*>();
            QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              cancel->mapTo(dialog, cancel->rect().center()));
        });
        user.start();
        w.click(w.button("select"));
        user.stop();

        QVERIFY2(shownAfterMs >= platform::QtLoadProgress::kShownAfterMs,
                 qPrintable(QString::number(shownAfterMs)));
        QVERIFY2(valueShown > 0 && valueShown < 1000, qPrintable(QString::number(valueShown)));
        QCOMPARE(nameRead, QStringLiteral("Reading big.txt"));
        QCOMPARE(shownProgress(), nullptr);
        // The list shows the file as not found and is never saved over it.
        QCOMPARE(rowsShown(w.list("lstA")), QStringList({"<file not found>"}));
        QCOMPARE(w.list("lstA")->model()->index(0, 0).data().toString(),
                 QStringLiteral("<file not found>"));
        w.click(w.button("save"));
        QCOMPARE(readBytes(big), bytes);
        // The next start reads the list's earlier file, not the cancelled one.
        app::unload(w.state);
        QCOMPARE(w.services.settings.sections[QStringLiteral("Settings")][QStringLiteral("FileA")],
                 w.file(1));

        // A quick reading shows nothing and is kept.
        w.services.files.result = w.file(2);
        w.click(w.button("select"));
        QCOMPARE(shownProgress(), nullptr);
        QCOMPARE(rowsShown(w.list("lstA")), QStringList({"tag"}));
        app::unload(w.state);
        QCOMPARE(w.services.settings.sections[QStringLiteral("Settings")][QStringLiteral("FileA")],
                 w.file(2));
    }

    void ownSavesAreNotReadBackButAnotherProgramsWritesAre() {
        WindowFixture w("Ann Smith\nBob Smith\nCarl Jones\n", "tag\n", "212\n");
        platform::QtFileWatcher watcher;
        const app::FileChangeWatch changes(w.state, watcher);
        QSignalSpy told(w.window->statusBar(), &QStatusBar::messageChanged);
        QListView* list = w.list("lstA");
        w.typeSearch(QStringLiteral("smith"));
        QCOMPARE(rowsShown(list), QStringList({"Ann Smith", "Bob Smith"}));
        w.clickRow(list, 1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Bob Smith"));

        // The window's own save of list 1 is not read back. File 2 changed afterwards is, and
        // by then any notice of the save has been acted on.
        w.click(w.edit);
        w.key(Qt::Key_End);
        w.type(QStringLiteral(" Jr"));
        w.click(w.button("save"));
        QVERIFY(!w.state.slot(lists::SlotId::A).changed);
        QVERIFY(shell(QStringLiteral("printf 'new tag\\n' > %1").arg(quoted(w.file(2)))));
        QTRY_VERIFY_WITH_TIMEOUT(
            told.contains({QStringLiteral("taglines.txt was changed on disk and has been read "
                                          "again")}),
            kPatience);
        for (const QList<QVariant>& message : told) {
            QVERIFY2(!message[0].toString().startsWith("phone_numbers.txt"),
                     qPrintable(message[0].toString()));
        }
        QCOMPARE(rowsShown(list), QStringList({"Ann Smith", "Bob Smith Jr"}));
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Bob Smith Jr"));

        // Written beside the file and renamed over it: the search is run again on the new
        // records and Bob stays selected.
        QVERIFY(shell(QStringLiteral("printf 'Dora Smith\\nBob Smith Jr\\nEve Brown\\n' > "
                                     "%1.tmp && mv %1.tmp %1")
                          .arg(quoted(w.file(1)))));
        QTRY_COMPARE_WITH_TIMEOUT(rowsShown(list), QStringList({"Dora Smith", "Bob Smith Jr"}),
                                  kPatience);
        QCOMPARE(list->currentIndex().row(), 1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Bob Smith Jr"));
        QVERIFY(told.contains(
            {QStringLiteral("phone_numbers.txt was changed on disk and has been read again")}));

        // Written in place, after the rename: the new file is watched.
        QVERIFY(shell(QStringLiteral("printf 'Fay Smith\\n' >> %1").arg(quoted(w.file(1)))));
        QTRY_COMPARE_WITH_TIMEOUT(
            rowsShown(list), QStringList({"Dora Smith", "Bob Smith Jr", "Fay Smith"}), kPatience);
    }

    void unsavedChangesBringTheNoticeAndItsButtonsAnswer() {
        WindowFixture w("Ann\nBob\n", "tag\n", "212\n");
        platform::QtFileWatcher watcher;
        const app::FileChangeWatch changes(w.state, watcher);
        auto* bar = w.window->findChild<QToolBar*>(QStringLiteral("barChangedFile"));
        QVERIFY(bar != nullptr && !bar->isVisible());
        // The Options menu's own item, ticked, after the items it always had.
        QAction* option = w.action("mnuReloadChangedFiles");
        QVERIFY(option->isChecked());
        const QList<QAction*> options =
            w.window->findChild<QMenu*>(QStringLiteral("mnuOptions"))->actions();
        QCOMPARE(options.size(), 7);
        QCOMPARE(options[5], option);
        QCOMPARE(options[5]->text(), QStringLiteral("&Reload Changed Files"));
        QListView* list = w.list("lstA");
        w.clickRow(list, 0);
        w.click(w.edit);
        w.key(Qt::Key_End);
        w.type(QStringLiteral(" mine"));

        QVERIFY(shell(QStringLiteral("printf 'Ann\\nBob\\nCarl\\n' > %1").arg(quoted(w.file(1)))));
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kPatience);
        const auto* text = bar->findChild<QLabel*>(QStringLiteral("lblChangedFile"));
        QCOMPARE(text->text(), QStringLiteral("phone_numbers.txt was changed on disk."));
        QWidget* keep = bar->findChild<QWidget*>(QStringLiteral("cmdKeepMine"));
        QWidget* reload = bar->findChild<QWidget*>(QStringLiteral("cmdReloadChanged"));
        for (const QWidget* control : QList<const QWidget*>{bar, text, keep, reload}) {
            QVERIFY(!control->accessibleName().isEmpty());
        }
        // Typing goes on while the notice shows.
        QCOMPARE(QApplication::focusWidget(), w.edit);
        w.type(QStringLiteral("!"));
        QCOMPARE(rowsShown(list), QStringList({"Ann mine!", "Bob"}));

        w.click(keep);
        QVERIFY(!bar->isVisible());
        QCOMPARE(rowsShown(list), QStringList({"Ann mine!", "Bob"}));
        QVERIFY(w.state.slot(lists::SlotId::A).changed);

        QVERIFY(shell(
            QStringLiteral("printf 'Ann\\nBob\\nCarl\\nDora\\n' > %1").arg(quoted(w.file(1)))));
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kPatience);
        w.click(reload);
        QVERIFY(!bar->isVisible());
        QCOMPARE(rowsShown(list), QStringList({"Ann", "Bob", "Carl", "Dora"}));
        QVERIFY(!w.state.slot(lists::SlotId::A).changed);
    }

    // Typing that a kill cut off before it was saved comes back in the next window: the
    // question asks, Enter recovers, and Ctrl+Z takes the recovery back, the file untouched.
    void typingCutOffByAKillComesBackInTheNextWindow() {
        QTemporaryDir stateFolder;
        const QString folder = stateFolder.filePath("recovery");
        WindowFixture first("Ann\nBob\n", "tag\n", "212\n", folder);
        first.clickRow(first.list("lstA"), 1);
        first.click(first.edit);
        first.key(Qt::Key_End, Qt::ControlModifier);
        first.type(" Jr");
        const QString kept = first.unsavedEdits->writer().pathOf(0);
        QTRY_VERIFY(store::readRecoveryFile(kept) &&
                    store::readRecoveryFile(kept)->records.text(1) == "Bob Jr");
        first.unsavedEdits.reset();  // killed: nothing closes, the file stays

        WindowFixture next(first.dir.path(), first.services.settings,
                           {first.file(1), first.file(2), first.file(3)}, folder);
        QCOMPARE(next.messages.shown.size(), 1);
        QCOMPARE(next.messages.shown[0].choices, QStringList({"Discard", "Recover"}));
        QVERIFY(next.messages.shown[0].text.startsWith(
            "Trovix was not closed properly. phone_numbers.txt has changes from "));
        QCOMPARE(rowsShown(next.list("lstA")), QStringList({"Ann", "Bob Jr"}));
        QVERIFY(next.state.slot(lists::SlotId::A).changed);
        QCOMPARE(readBytes(first.file(1)), QByteArray("Ann\nBob\n"));
        next.click(next.list("lstA"));
        next.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rowsShown(next.list("lstA")), QStringList({"Ann", "Bob"}));
        QVERIFY(!next.state.slot(lists::SlotId::A).changed);
        QTRY_VERIFY(QDir(folder).isEmpty());
    }
};

QTEST_MAIN(TestReloadWindow)
#include "test_reload_window.moc"
