// The window over real files that another process changes, watched by the system's change
// notices as the program runs.
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include "app/file_changes.h"
#include "app/shutdown.h"
#include "platform/qt/qt_file_watcher.h"
#include "platform/qt/qt_load_progress.h"
#include "support/window_fixture.h"

using namespace trovix;
using namespace trovix::testing;

namespace {

constexpr int kPatience = 15000;  // ms; a busy machine delivers change notices late

// Runs a shell command on a file ("$1") as another program would, and waits for it to end.
bool shell(const char* command, const QString& file) {
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), {"-c", command, "sh", file});
    return process.waitForFinished(kPatience) && process.exitCode() == 0;
}

// A slow disk under the window's own progress display: every piece of a reading takes 150 ms to
// come in.
struct SlowReading : platform::QtLoadProgress {
    using QtLoadProgress::QtLoadProgress;
    bool at(qint64 done, qint64 total) override {
        QThread::msleep(150);
        return QtLoadProgress::at(done, total);
    }
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
        SlowReading slow(w.owner);
        w.state.services.loading = slow;
        // 24 MB of records: six pieces, each slow, so the reading runs past half a second.
        const QString big = w.dir.filePath(QStringLiteral("big.txt"));
        QByteArray bytes;
        for (int i = 0; bytes.size() < (24 << 20); ++i) {
            bytes += "A line of ordinary length, number " + QByteArray::number(i) + '\n';
        }
        QVERIFY(writeBytes(big, bytes));
        w.services.files.result = big;
        w.clickRow(w.list(lists::SlotId::A), 0);

        // While the reading runs, the window handles events: the progress shows, and the user
        // clicks its Cancel button where it is drawn.
        int valueShown = -1;
        QString nameRead;
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            QProgressDialog* dialog = shownProgress();
            if (dialog == nullptr || valueShown >= 0) {
                return;
            }
            valueShown = dialog->value();
            nameRead = dialog->accessibleName();
            auto* cancel = dialog->findChild<QPushButton*>();
            QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              cancel->mapTo(dialog, cancel->rect().center()));
        });
        user.start(10);
        w.click(w.button("select"));
        user.stop();

        QVERIFY2(valueShown > 0 && valueShown < 1000, qPrintable(QString::number(valueShown)));
        QCOMPARE(nameRead, QStringLiteral("Reading big.txt"));
        // The list shows the file as not found and is never saved over it; the next start reads
        // the list's earlier file, not the cancelled one.
        QCOMPARE(shownProgress(), nullptr);
        QCOMPARE(shownRows(w.list(lists::SlotId::A)), QStringList({"<file not found>"}));
        w.click(w.button("save"));
        QCOMPARE(readBytes(big), bytes);
        const auto remembered = [&] {
            app::unload(w.state);
            return w.services.settings
                .sections[QStringLiteral("Settings")][QStringLiteral("FileA")];
        };
        QCOMPARE(remembered(), w.file(1));

        // A quick reading shows nothing and is kept.
        w.services.files.result = w.file(2);
        w.click(w.button("select"));
        QCOMPARE(shownRows(w.list(lists::SlotId::A)), QStringList({"tag"}));
        QVERIFY(shownProgress() == nullptr && remembered() == w.file(2));
    }

    void anotherProgramsWritesAreReadAgainAfterARenameToo() {
        WindowFixture w("Ann Smith\nBob Smith\nCarl Jones\n", "tag\n", "212\n");
        platform::QtFileWatcher watcher;
        const app::FileChangeWatch changes(w.state, watcher);
        QSignalSpy told(w.window->statusBar(), &QStatusBar::messageChanged);
        QListView* list = w.list(lists::SlotId::A);
        w.typeSearch(QStringLiteral("smith"));
        QCOMPARE(shownRows(list), QStringList({"Ann Smith", "Bob Smith"}));
        w.clickRow(list, 1);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Bob Smith"));

        // (That the window's own saves are not read back is the core's, test_unsaved_edits.)
        // Written beside the file and renamed over it: the search is run again on the new
        // records and Bob stays selected.
        QVERIFY(shell(
            "printf 'Dora Smith\\nBob Smith\\nEve Brown\\n' > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"",
            w.file(1)));
        QTRY_COMPARE_WITH_TIMEOUT(shownRows(list), QStringList({"Dora Smith", "Bob Smith"}),
                                  kPatience);
        QVERIFY(list->currentIndex().row() == 1 && w.edit->toPlainText() == "Bob Smith");
        QVERIFY(told.contains(
            {QStringLiteral("phone_numbers.txt was changed on disk and has been read again")}));

        // Written in place, after the rename: the new file is watched.
        QVERIFY(shell("printf 'Fay Smith\\n' >> \"$1\"", w.file(1)));
        QTRY_COMPARE_WITH_TIMEOUT(shownRows(list),
                                  QStringList({"Dora Smith", "Bob Smith", "Fay Smith"}), kPatience);
    }

    void unsavedChangesBringTheNoticeAndItsButtonsAnswer() {
        WindowFixture w("Ann\nBob\n", "tag\n", "212\n");
        platform::QtFileWatcher watcher;
        const app::FileChangeWatch changes(w.state, watcher);
        auto* bar = w.window->findChild<QToolBar*>(QStringLiteral("barChangedFile"));
        QVERIFY(bar != nullptr && !bar->isVisible() &&
                w.action("mnuReloadChangedFiles")->isChecked());
        QListView* list = w.list(lists::SlotId::A);
        w.clickRow(list, 0);
        w.click(w.edit);
        w.key(Qt::Key_End);
        w.type(QStringLiteral(" mine"));

        QVERIFY(shell("printf 'Ann\\nBob\\nCarl\\n' > \"$1\"", w.file(1)));
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kPatience);
        const auto* text = bar->findChild<QLabel*>(QStringLiteral("lblChangedFile"));
        QCOMPARE(text->text(), QStringLiteral("phone_numbers.txt was changed on disk."));
        QWidget* keep = bar->findChild<QWidget*>(QStringLiteral("cmdKeepMine"));
        QWidget* reload = bar->findChild<QWidget*>(QStringLiteral("cmdReloadChanged"));
        QWidget* merge = bar->findChild<QWidget*>(QStringLiteral("cmdMergeChanged"));
        for (const QWidget* control : QList<const QWidget*>{bar, text, keep, reload, merge}) {
            QVERIFY(!control->accessibleName().isEmpty());
        }
        // Typing goes on while the notice shows.
        QCOMPARE(QApplication::focusWidget(), w.edit);
        w.type(QStringLiteral("!"));
        QCOMPARE(shownRows(list), QStringList({"Ann mine!", "Bob"}));

        // Merge takes the other program's record in with the edit, writes nothing, and the save
        // from the keyboard then writes both, asking nothing.
        w.click(merge);
        QVERIFY(!bar->isVisible() && w.state.slot(lists::SlotId::A).changed);
        QCOMPARE(shownRows(list), QStringList({"Ann mine!", "Bob", "Carl"}));
        QCOMPARE(readBytes(w.file(1)), QByteArray("Ann\nBob\nCarl\n"));
        w.key(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QCOMPARE(readBytes(w.file(1)), QByteArray("Ann mine!\nBob\nCarl\n"));
        QVERIFY(w.messages.shown.isEmpty() && !w.state.slot(lists::SlotId::A).changed);

        w.type(QStringLiteral("?"));
        QVERIFY(shell("printf 'Ann\\nBob\\nCarl\\n' > \"$1\"", w.file(1)));
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kPatience);
        w.click(keep);
        QVERIFY(!bar->isVisible() && w.state.slot(lists::SlotId::A).changed);
        QCOMPARE(shownRows(list), QStringList({"Ann mine!?", "Bob", "Carl"}));

        QVERIFY(shell("printf 'Ann\\nBob\\nCarl\\nDora\\n' > \"$1\"", w.file(1)));
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kPatience);
        w.click(reload);
        QVERIFY(!bar->isVisible() && !w.state.slot(lists::SlotId::A).changed);
        QCOMPARE(shownRows(list), QStringList({"Ann", "Bob", "Carl", "Dora"}));
    }

    // A sync tool's conflict copy beside the file is offered; merged in and saved, the copy is
    // in the desktop's trash, from where the user can take it back.
    void aConflictCopyIsOfferedMergedAndThenTrashed() {
        WindowFixture w("Ann\nBob\nCarl\n", "tag\n", "212\n");
        const QString data = w.dir.filePath(QStringLiteral("data"));
        qputenv("XDG_DATA_HOME", data.toUtf8());  // the trash of this test alone
        platform::QtFileWatcher watcher;
        const app::FileChangeWatch changes(w.state, watcher);
        auto* bar = w.window->findChild<QToolBar*>(QStringLiteral("barChangedFile"));
        const QString copy = w.dir.filePath(
            QStringLiteral("phone_numbers.sync-conflict-20261207-101500-ABCDEFG.txt"));
        QVERIFY(shell("printf 'Ann\\nBeth\\nBob\\nCarl\\n' > \"$1\"", copy));
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kPatience);
        QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("lblChangedFile"))->text(),
                 QStringLiteral("A conflict copy of phone_numbers.txt was found"));
        w.click(bar->findChild<QWidget*>(QStringLiteral("cmdMergeChanged")));
        QCOMPARE(shownRows(w.list(lists::SlotId::A)), QStringList({"Ann", "Beth", "Bob", "Carl"}));
        QVERIFY(!bar->isVisible() && QFile::exists(copy));

        w.click(w.button("save"));
        QCOMPARE(readBytes(w.file(1)), QByteArray("Ann\nBeth\nBob\nCarl\n"));
        QVERIFY2(w.messages.shown.isEmpty(), qPrintable(w.messages.shown.value(0).text));
        QVERIFY(!QFile::exists(copy) &&
                QFile::exists(data + QStringLiteral("/Trash/files/") + QFileInfo(copy).fileName()));
        QVERIFY(!bar->isVisible() && w.messages.shown.isEmpty());
        qunsetenv("XDG_DATA_HOME");
    }
};

QTEST_MAIN(TestReloadWindow)
#include "test_reload_window.moc"
