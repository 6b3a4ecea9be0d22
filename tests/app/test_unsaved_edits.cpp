// Unsaved changes kept in recovery files and offered back at the next start: the core over real
// files, and real child processes killed with SIGKILL and ended with SIGTERM.
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "app/event_handlers.h"
#include "app/file_commands.h"
#include "app/shutdown.h"
#include "app/undo_commands.h"
#include "app/unsaved_edits.h"
#include "platform/fake/fake_file_dialog.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_services.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"
#include "store/recovery_file.h"
#include "support/files.h"
#include "support/small_disk.h"

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace trovix;
using namespace trovix::testing;

namespace {

constexpr lists::SlotId kA = lists::SlotId::A;
constexpr int kDelayMs = 60;

QStringList textsOf(const store::RecordArray& records) {
    QStringList out;
    for (qsizetype i = 0; i < records.size(); ++i) {
        out.append(records.text(i));
    }
    return out;
}

// A window's state over three real data files, its unsaved changes kept in `folder`.
struct Window {
    platform::FakeServices fakes;
    platform::FakeMessageBoxes& messages = fakes.messages;
    MainState state{fakes.services()};
    std::unique_ptr<app::UnsavedEditsWatch> watch;

    // With `answers`, the start offers what a run that did not close left, answered so.
    Window(const QTemporaryDir& dir, const QString& folder,
           std::optional<QList<int>> answers = std::nullopt,
           const char* fileA = "phone_numbers.txt") {
        app::connectEventHandlers(state);
        const char* const names[] = {fileA, "taglines.txt", "area_codes.txt"};
        for (const lists::SlotId id : lists::kAllSlots) {
            state.slot(id).fileName =
                dir.filePath(QString::fromLatin1(names[static_cast<int>(id)]));
            records::loadFile(state.files(), id);
        }
        state.listWithFocus = kA;
        watch = std::make_unique<app::UnsavedEditsWatch>(state, folder, kDelayMs);
        if (answers) {
            messages.choiceAnswers = *answers;
            watch->offer(std::nullopt);
        }
    }
    void edit(int row, const QString& text) {
        state.slot(kA).list.setListIndex(row);
        state.editBox.setText(text);
    }
    QStringList records() const { return textsOf(state.slot(kA).records); }
    QString recoveryFile() const { return watch->writer().pathOf(0); }
    // What slot A's recovery file holds, empty when there is none.
    QStringList kept() const {
        const platform::Result<store::RecoveredEdits> read =
            store::readRecoveryFile(recoveryFile());
        return read ? textsOf(read->records) : QStringList();
    }
};

QStringList recoveryFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.recovery")}, QDir::Files);
}

// The questions among the boxes shown.
QList<platform::ShownMessage> questionsOf(const platform::FakeMessageBoxes& messages) {
    QList<platform::ShownMessage> questions;
    for (const platform::ShownMessage& shown : messages.shown) {
        if (!shown.choices.isEmpty()) {
            questions << shown;
        }
    }
    return questions;
}

// A run that did not close: an edit of slot A's second record kept in `folder`, and the file.
QString crashedRun(const QTemporaryDir& dir, const QString& folder, const QString& edit) {
    Window crashed(dir, folder);
    crashed.edit(1, edit);
    crashed.watch->keepNow();
    return crashed.recoveryFile();  // the watch ends without a close, and its files stay
}

}  // namespace

class TestUnsavedEdits : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // Records of any text, in any of the file formats, come back exactly; a file cut short or
    // changed anywhere is never taken.
    void aRecoveryFileGivesBackExactlyWhatItKeptOrNothing() {
        QTemporaryDir dir;
        const QStringList texts = {"Ann-----12 Elm St", "", "tab\there\r", "Zoë 😀", ""};
        store::RecoveryHeader header;
        header.dataFile = dir.filePath("a b%c.txt");
        header.slot = 2;
        header.changedAt = 1'765'000'000'123;
        header.loaded = {true, 42, 1'700'000'000'000'000'001, 7, 9, 5};
        header.format = {store::Encoding::Windows1252, store::LineBreak::CrLf, true};
        const QByteArray bytes =
            store::recoveryFileBytes(header, store::RecordArray::fromStrings(texts));
        const QString path = dir.filePath("x.recovery");
        QVERIFY(writeBytes(path, bytes));
        const platform::Result<store::RecoveredEdits> read = store::readRecoveryFile(path);
        QVERIFY(read);
        QCOMPARE(textsOf(read->records), texts);
        QCOMPARE(read->header.dataFile, header.dataFile);
        QCOMPARE(read->header.slot, 2);
        QCOMPARE(read->header.changedAt, header.changedAt);
        QVERIFY(read->header.loaded == header.loaded);
        QVERIFY(read->header.format == header.format);

        // Any byte changed, the header's and the records' alike, or the file cut anywhere.
        for (qsizetype at = 0; at < bytes.size(); ++at) {
            QByteArray changed = bytes;
            changed[at] = static_cast<char>(changed[at] ^ 0x01);
            QVERIFY(writeBytes(path, changed));
            QVERIFY2(!store::readRecoveryFile(path), qPrintable(QString::number(at)));
            QVERIFY(writeBytes(path, bytes.first(at)));
            QVERIFY2(!store::readRecoveryFile(path), qPrintable(QString::number(at)));
        }
    }

    // A change is kept within the delay, in the background; the file goes when the slot holds
    // what its data file holds again: saved, undone back to it, or closed without saving.
    void changesAreKeptUntilTheSlotIsCleanAgain() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("state/recovery");
        QVERIFY(writeBytes(dir.filePath("phone_numbers.txt"), "Ann\nBob\n"));
        Window w(dir, folder);

        w.edit(0, QStringLiteral("Ann Smith"));
        QVERIFY(!QFile::exists(w.recoveryFile()));  // not while typing
        QTRY_COMPARE(w.kept(), QStringList({"Ann Smith", "Bob", ""}));
        QCOMPARE(QFile::permissions(folder) & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
        w.edit(1, QStringLiteral("Bob Jones"));
        QTRY_COMPARE(w.kept(), QStringList({"Ann Smith", "Bob Jones", ""}));
        // Steady typing, keys far faster than the delay for far longer than the longest wait,
        // is still kept while it goes on: a key's text is on the disk before typing ends.
        const int keys = 10 * 8 * app::UnsavedEditsWatch::kLongestWait;
        QStringList seen;
        for (int key = 1; key <= keys; ++key) {
            w.state.editBox.setText("Bob " + QString::number(key));
            QTest::qWait(kDelayMs / 10);
            seen << w.kept().value(1);
        }
        seen.removeAll(QStringLiteral("Bob Jones"));
        QVERIFY2(!seen.filter(QStringLiteral("Bob ")).isEmpty(), "nothing kept while typing");
        w.edit(1, QStringLiteral("Bob Jones"));
        QTRY_COMPARE(w.kept(), QStringList({"Ann Smith", "Bob Jones", ""}));

        app::saveSelectedFile(w.state);
        QVERIFY(!QFile::exists(w.recoveryFile()));
        QCOMPARE(readBytes(dir.filePath("phone_numbers.txt")),
                 QByteArray("Ann Smith\nBob Jones\n"));

        // Undone back to the saved records: nothing is left unsaved.
        w.edit(0, QStringLiteral("Ann Brown"));
        QTRY_VERIFY(QFile::exists(w.recoveryFile()));
        app::undoCommand(w.state);
        QVERIFY(!w.state.slot(kA).changed);
        QTRY_VERIFY(!QFile::exists(w.recoveryFile()));

        // Closed and answered No: the user chose not to keep them.
        app::redoCommand(w.state);
        QTRY_VERIFY(QFile::exists(w.recoveryFile()));
        w.messages.answers = {platform::MessageAnswer::No};
        QVERIFY(app::closeRequested(w.state));
        QVERIFY(recoveryFiles(folder).isEmpty());
        QCOMPARE(readBytes(dir.filePath("phone_numbers.txt")),
                 QByteArray("Ann Smith\nBob Jones\n"));
    }

    // The system ends the program: without AutoSave the newest change is on the disk before it
    // ends, even one made a moment before; with AutoSave the file is saved and nothing is kept.
    // What the notes promise is what was done: a recovery folder that cannot be used keeps
    // nothing, and they say the changes are lost.
    void aTerminationKeepsTheNewestChangesAndSaysWhatItDid_data() {
        QTest::addColumn<bool>("autoSave");
        QTest::addColumn<bool>("folderUsable");
        QTest::addColumn<bool>("fileChanged");  // by another program: AutoSave cannot ask
        QTest::newRow("kept") << false << true << false;
        QTest::newRow("saved") << true << true << false;
        QTest::newRow("not saved, kept") << true << true << true;
        QTest::newRow("lost") << false << false << false;
    }
    void aTerminationKeepsTheNewestChangesAndSaysWhatItDid() {
        QFETCH(bool, autoSave);
        QFETCH(bool, folderUsable);
        QFETCH(bool, fileChanged);
        QTemporaryDir dir;
        QString folder = dir.filePath("recovery");
        if (!folderUsable) {
            // A dangling link where the state folder would be: nothing is written through it.
            QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("state")));
            folder = dir.filePath("state/recovery");
        }
        const QString data = dir.filePath("phone_numbers.txt");
        QVERIFY(writeBytes(data, "Ann\n"));
        Window w(dir, folder);
        w.state.options.setChecked(Option::AutoSave, autoSave);
        w.edit(0, QStringLiteral("Ann Smith"));
        if (fileChanged) {
            QVERIFY(writeBytes(data, "Ann Brown\n"));
        }
        const QString notes = app::closeWithoutAsking(w.state).join(u'\n');
        const bool saved = autoSave && !fileChanged;
        QCOMPARE(readBytes(data), QByteArray(saved         ? "Ann Smith\n"
                                             : fileChanged ? "Ann Brown\n"
                                                           : "Ann\n"));
        QCOMPARE(w.kept(), saved || !folderUsable ? QStringList() : QStringList({"Ann Smith", ""}));
        QCOMPARE(notes.contains("The next start offers them back."), !saved && folderUsable);
        QCOMPARE(notes.contains("so they are lost"), !folderUsable);
        QCOMPARE(notes.isEmpty(), saved);
        QVERIFY(!QFileInfo::exists(dir.filePath("nowhere")));
    }

    // The next start asks for each recovery file of a file it loads, and does what the answer
    // says; a damaged file is kept and named, a file no slot holds waits for a later start, and
    // the files a running copy holds are not touched.
    void theNextStartOffersTheChangesBack_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Recover") << "Recover";
        QTest::newRow("Discard") << "Discard";
        QTest::newRow("Recover, the file changed since") << "Recover changed";
        QTest::newRow("Recover, the file deleted since") << "Recover deleted";
    }
    void theNextStartOffersTheChangesBack() {
        QFETCH(QString, answer);
        QTemporaryDir dir;
        const QString folder = dir.filePath("recovery");
        const QString data = dir.filePath("phone_numbers.txt");
        QVERIFY(writeBytes(data, "Ann\r\nBob\r\n"));
        const QString kept = crashedRun(dir, folder, QStringLiteral("Bob Jones"));
        QVERIFY(QFile::exists(kept));
        const qint64 changedAt = store::readRecoveryFile(kept)->header.changedAt;
        // Left by runs for a file this start does not hold, and a damaged one.
        store::RecoveryHeader other;
        other.dataFile = dir.filePath("elsewhere.txt");
        QVERIFY(
            writeBytes(dir.filePath("recovery/other.recovery"),
                       store::recoveryFileBytes(other, store::RecordArray::fromStrings({"x"}))));
        QVERIFY(
            writeBytes(dir.filePath("recovery/damaged.recovery"), "Trovix recovery file 1\nfile="));
        if (answer.endsWith("changed")) {
            QVERIFY(writeBytes(data, "Ann\r\nBob\r\nCarl\r\n"));
        } else if (answer.endsWith("deleted")) {
            QVERIFY(QFile::remove(data));
        }
        const QByteArray onDisk = QFile::exists(data) ? readBytes(data) : QByteArray();

        // A copy running meanwhile keeps its own files, unoffered.
        Window running(dir, folder);
        running.edit(0, QStringLiteral("running"));
        running.watch->keepNow();
        Window w(dir, folder, QList<int>{answer.startsWith("Recover") ? 1 : 0});

        const QList<platform::ShownMessage> questions = questionsOf(w.messages);
        QStringList told;
        for (const platform::ShownMessage& shown : w.messages.shown) {
            if (shown.choices.isEmpty()) {
                told << shown.text;
            }
        }
        QCOMPARE(questions.size(), 1);
        QCOMPARE(questions[0].choices, QStringList({"Discard", "Recover"}));
        QString question =
            QStringLiteral(
                "Trovix was not closed properly. phone_numbers.txt has changes from %1 "
                "that were never saved.")
                .arg(QDateTime::fromMSecsSinceEpoch(changedAt).toString("yyyy-MM-dd HH:mm"));
        if (answer.endsWith("changed")) {
            question += " phone_numbers.txt has been changed on disk since then.";
        } else if (answer.endsWith("deleted")) {
            question += " phone_numbers.txt has been deleted or moved away since then.";
        }
        QCOMPARE(questions[0].text, question + " Recover them?");
        QCOMPARE(told.size(), 1);
        QVERIFY(told[0].contains("damaged.recovery") && told[0].contains("The file is kept."));
        QVERIFY(QFile::exists(dir.filePath("recovery/damaged.recovery")));
        QVERIFY(QFile::exists(dir.filePath("recovery/other.recovery")));
        QVERIFY(QFile::exists(running.recoveryFile()));
        QVERIFY(!QFile::exists(kept));
        // Nothing is written to the data file until the user saves.
        QCOMPARE(QFile::exists(data) ? readBytes(data) : QByteArray(), onDisk);

        if (answer == "Discard") {
            QCOMPARE(w.records(), QStringList({"Ann", "Bob", ""}));
            QVERIFY(!w.state.slot(kA).changed);
            QVERIFY(!QFile::exists(w.recoveryFile()));
            return;
        }
        QCOMPARE(w.records(), QStringList({"Ann", "Bob Jones", ""}));
        QVERIFY(w.state.slot(kA).changed);
        QCOMPARE(w.state.slot(kA).list.count(), 2);
        QCOMPARE(w.kept(), w.records());  // this run keeps them now, in the file it took over
        QCOMPARE(w.state.edits.undoName(), QStringLiteral("Recovery of phone_numbers.txt"));
        if (answer == "Recover") {
            // Undo gives back the file's records, unchanged; redo the recovered ones.
            app::undoCommand(w.state);
            QCOMPARE(w.records(), QStringList({"Ann", "Bob", ""}));
            QVERIFY(!w.state.slot(kA).changed);
            app::redoCommand(w.state);
            app::saveSelectedFile(w.state);
            QCOMPARE(readBytes(data), QByteArray("Ann\r\nBob Jones\r\n"));
            QVERIFY(!QFile::exists(w.recoveryFile()));
        } else if (answer.endsWith("changed")) {
            // The save asks before it writes over the other program's change.
            w.messages.choiceAnswers = {1};
            app::saveSelectedFile(w.state);
            QVERIFY(w.messages.shown.last().text.contains("was changed by another program"));
            QCOMPARE(readBytes(data), onDisk);
            QVERIFY(w.state.slot(kA).changed);
        }
    }

    // The records an earlier run left are never removed before this run has kept them: the file
    // becomes this run's own, and on a full disk, where this run cannot write its own, it stays;
    // the status bar says, once, that a crash would lose the changes.
    void recoveredRecordsStayOnTheDiskUntilKeptAgain() {
        testing::SmallDisk disk;
        if (!disk.mounted()) {
            QSKIP("a small file system of its own needs root");
        }
        QTemporaryDir dir;
        const QString folder = disk.filePath("recovery");
        QVERIFY(writeBytes(dir.filePath("phone_numbers.txt"), "Ann\nBob\n"));
        crashedRun(dir, folder, QStringLiteral("Bob Jones"));
        disk.fill();
        Window w(dir, folder, QList<int>{1});
        QCOMPARE(w.records(), QStringList({"Ann", "Bob Jones", ""}));
        w.edit(0, QStringLiteral("Ann Smith"));
        QTRY_VERIFY(w.state.statusBar.message().contains("cannot be kept for a crash"));
        const QString told = w.state.statusBar.message();
        w.edit(0, QStringLiteral("Ann Smithe"));
        w.watch->keepNow();
        QCOMPARE(w.kept(), QStringList({"Ann", "Bob Jones", ""}));  // the earlier run's file
        QCOMPARE(recoveryFiles(folder).size(), 1);
        w.state.statusBar.showMessage(QString());
        QTest::qWait(3 * kDelayMs);
        QVERIFY(w.state.statusBar.message().isEmpty());  // told once
        QVERIFY(told.contains("No space left on device"));
    }

    // Only a private folder of this user's is used: made readable by the user alone, never a
    // link to somewhere else, and only the user's own recovery files in it are offered or
    // removed. A file chosen for a list later is offered what an earlier run left for it, and
    // writes an earlier run left unfinished are cleared away unless a running copy makes them.
    void onlyTheUsersOwnPrivateFolderIsUsed() {
#ifndef Q_OS_UNIX
        QSKIP("folder modes and owners are Unix's");
#else
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("phone_numbers.txt"), "Ann\nBob\n"));
        QVERIFY(writeBytes(dir.filePath("other.txt"), "Zed\n"));
        const QString folder = dir.filePath("state/Trovix/recovery");
        crashedRun(dir, folder, QStringLiteral("Bob Jones"));
        const auto mode = [](const QString& path) {
            struct stat st {};
            return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
        };
        for (const char* made : {"state", "state/Trovix", "state/Trovix/recovery"}) {
            QCOMPARE(mode(dir.filePath(made)), 0700U);
        }
        // Unfinished writes: one left by a run that ended, one a running copy still makes.
        const QString left = folder + "/.x.recovery.trovix-0123abcd";
        const QString making = folder + "/.y.recovery.trovix-89abcdef";
        QVERIFY(writeBytes(left, "half"));
        QVERIFY(writeBytes(making, "half"));
        QFile held(making);
        QVERIFY(held.open(QIODevice::ReadOnly) && ::flock(held.handle(), LOCK_EX) == 0);

        // The same folder behind a link: it is not used, and what it leads to stays as it is.
        const QString linked = dir.filePath("linked");
        QVERIFY(QFile::link(dir.filePath("state/Trovix"), linked));
        QVERIFY(::chmod(QFile::encodeName(dir.filePath("state/Trovix")).constData(), 0755) == 0);
        Window throughLink(dir, linked + "/recovery", QList<int>{1});
        QVERIFY(questionsOf(throughLink.messages).isEmpty());
        throughLink.edit(0, QStringLiteral("Ann Smith"));
        QTRY_VERIFY(throughLink.state.statusBar.message().contains("symbolic link"));
        QCOMPARE(recoveryFiles(folder).size(), 1);
        QCOMPARE(mode(dir.filePath("state/Trovix")), 0755U);

        // Another user's recovery file is neither offered nor removed.
        if (::geteuid() == 0) {
            const QString theirs = QDir(folder).filePath(recoveryFiles(folder)[0]);
            QVERIFY(::chown(QFile::encodeName(theirs).constData(), 65534, 65534) == 0);
            Window other(dir, folder, QList<int>{1});
            QVERIFY(questionsOf(other.messages).isEmpty() && QFile::exists(theirs));
            QVERIFY(::chown(QFile::encodeName(theirs).constData(), 0, 0) == 0);
        }

        // The list starts with another file; choosing the file offers what was left for it.
        Window w(dir, folder, QList<int>{1}, "other.txt");
        QVERIFY(questionsOf(w.messages).isEmpty());
        QVERIFY(!QFile::exists(left) && QFile::exists(making));
        platform::FakeFileDialog dialog;
        w.state.services.files = dialog;
        dialog.result = dir.filePath("phone_numbers.txt");
        w.messages.choiceAnswers = {1};
        app::selectFile(w.state);
        QCOMPARE(questionsOf(w.messages).size(), 1);
        QCOMPARE(w.records(), QStringList({"Ann", "Bob Jones", ""}));
        QCOMPARE(w.state.edits.undoName(), QStringLiteral("Recovery of phone_numbers.txt"));
#endif
    }

    // Real processes: killed at a random moment at least five delays after their last edit, or
    // ended by SIGTERM right after one, the next start gets every edit back.
    void everyEditComesBackAfterARealKillOrTermination() {
#ifndef Q_OS_UNIX
        QSKIP("the kill and termination signals are Unix's");
#else
        constexpr int kChildDelayMs = 100;
        for (const int signalNumber : {SIGKILL, SIGKILL, SIGTERM, SIGHUP}) {
            QTemporaryDir dir;
            const QString folder = dir.filePath("recovery");
            const QString data = dir.filePath("phone_numbers.txt");
            QVERIFY(writeBytes(data, "Ann\nBob\n"));
            QProcess child;
            child.start(QStringLiteral(RECOVERY_KILL_CHILD),
                        {data, folder, QStringLiteral("8"), QString::number(kChildDelayMs)});
            QVERIFY(child.waitForStarted());
            const bool kill = signalNumber == SIGKILL;
            // SIGTERM comes after a random edit, long before the recovery file's delay is up.
            const int termAfter = QRandomGenerator::global()->bounded(1, 8);
            QString lastEdit;
            bool done = false;
            int edits = 0;
            const auto readEdits = [&] {
                while (child.canReadLine()) {
                    const QString line = QString::fromUtf8(child.readLine()).trimmed();
                    done = done || line == "done";
                    if (line != "done") {
                        ++edits;
                        lastEdit = line;
                    }
                }
            };
            while (kill ? !done : edits < termAfter) {
                QVERIFY(child.waitForReadyRead(20000));
                readEdits();
            }
            if (kill) {
                QTest::qWait(5 * kChildDelayMs +
                             QRandomGenerator::global()->bounded(2 * kChildDelayMs));
            }
            QVERIFY(::kill(static_cast<pid_t>(child.processId()), signalNumber) == 0);
            QVERIFY(child.waitForFinished(20000));
            QCOMPARE(child.exitStatus() == QProcess::NormalExit, !kill);
            readEdits();  // those made before the signal was handled

            Window next(dir, folder, QList<int>{1});
            QCOMPARE(next.messages.shown.size(), 1);
            QCOMPARE(next.records(), QStringList({lastEdit, "Bob", ""}));
            QCOMPARE(readBytes(data), QByteArray("Ann\nBob\n"));
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestUnsavedEdits)
#include "test_unsaved_edits.moc"
