// What the user has not saved, kept safe: changes kept in recovery files and offered back at the
// next start, also across real child processes killed with SIGKILL and ended with SIGTERM or
// SIGHUP; and files another program changes while Trovix holds them, through a watcher whose
// clock and changes the test drives. The core over real files.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "app/event_handlers.h"
#include "app/file_changes.h"
#include "app/file_commands.h"
#include "app/file_merge.h"
#include "app/search_commands.h"
#include "app/settings.h"
#include "app/shutdown.h"
#include "app/undo_commands.h"
#include "app/unsaved_edits.h"
#include "platform/fake/fake_file_watcher.h"
#include "platform/fake/fake_services.h"
#include "platform/path_info.h"
#include "records/slot_procedures.h"
#include "state/main_state.h"
#include "store/recovery_file.h"
#include "support/files.h"
#include "support/small_disk.h"
#include "support/state_fixture.h"

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

// A window's state over three data files in `dir`, read as start-up reads them, its handlers
// connected. With `folder`, its unsaved changes are kept there; with `answers` too, the start
// offers what a run that did not close left, answered so.
struct Window {
    platform::FakeServices fakes;
    platform::FakeMessageBoxes& messages = fakes.messages;
    platform::FakeFileWatcher watcher;
    MainState state{fakes.services()};
    std::unique_ptr<app::UnsavedEditsWatch> watch;
    QList<QPair<qint64, QString>> told;  // every status bar message, with the watcher's time

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
        QObject::connect(&state.statusBar, &StatusBar::changed, [this](StatusBar::Aspect aspect) {
            if (aspect == StatusBar::Aspect::Message) {
                told.append({watcher.now(), state.statusBar.message()});
            }
        });
        if (!folder.isEmpty()) {
            watch = std::make_unique<app::UnsavedEditsWatch>(state, folder, kDelayMs);
        }
        if (answers) {
            messages.choiceAnswers = *answers;
            watch->offer(std::nullopt);
        }
    }
    QString file() const { return state.slot(kA).fileName; }
    void edit(int row, const QString& text) {
        state.slot(kA).list.setListIndex(row);
        state.editBox.setText(text);
    }
    // Slot A's records, but the empty one after the file's last line break.
    QStringList records() const {
        QStringList out = state.slot(kA).records.toStringList();
        if (!out.isEmpty() && out.last().isEmpty()) {
            out.removeLast();
        }
        return out;
    }
    QStringList rows() const { return rowsOf(state.slot(kA).list); }  // "record|text"
    QString lastTold() const { return told.isEmpty() ? QString() : told.last().second; }
    QString recoveryFile() const { return watch->writer().pathOf(0); }
    // What slot A's recovery file holds, empty when there is none.
    QStringList kept() const {
        const platform::Result<store::RecoveredEdits> read =
            store::readRecoveryFile(recoveryFile());
        return read ? read->records.toStringList() : QStringList();
    }
};

// Slot A's file holding the bytes given and the other two "x", dated long ago so that any
// write shows.
struct WrittenFiles {
    QTemporaryDir dir;
    explicit WrittenFiles(const QByteArray& phoneNumbers) {
        for (const char* name : {"phone_numbers.txt", "taglines.txt", "area_codes.txt"}) {
            const QString path = dir.filePath(QString::fromLatin1(name));
            QVERIFY(writeBytes(path, *name == 'p' ? phoneNumbers : QByteArray("x\n")) && age(path));
        }
    }
};

// Those files read into a window's state that follows what another program does to them.
struct Watched : WrittenFiles, Window {
    app::FileChangeWatch changes{state, watcher};
    explicit Watched(const QByteArray& phoneNumbers)
        : WrittenFiles(phoneNumbers), Window(dir, QString()) {}
    // Another program writes the file in place (or only touches it), the watcher hears of it,
    // and `ms` pass.
    void otherProgramWrites(const QByteArray& bytes, int ms) {
        QVERIFY(writeBytes(file(), bytes));
        heard(ms);
    }
    void heard(int ms) {
        watcher.touch(file());
        watcher.advance(ms);
    }
};

QStringList recoveryFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.recovery")}, QDir::Files);
}

// The questions among the boxes shown.
QList<platform::ShownMessage> questionsOf(const platform::FakeMessageBoxes& messages) {
    QList<platform::ShownMessage> questions = messages.shown;
    questions.removeIf([](const platform::ShownMessage& shown) { return shown.choices.isEmpty(); });
    return questions;
}

// A run that did not close: an edit of slot A's second record kept in `folder`, and the file.
QString crashedRun(const QTemporaryDir& dir, const QString& folder, const QString& edit) {
    Window crashed(dir, folder);
    crashed.edit(1, edit);
    crashed.watch->keepNow();
    return crashed.recoveryFile();  // the watch ends without a close, and its files stay
}

// Memory room as the system gives it, but asking for it, which a read does between taking the
// file's stamp and reading its bytes, lets another program write the file `writes` more times:
// a write in the middle of a read.
class WritingDuringReads : public platform::MemoryLimits {
  public:
    platform::MemoryRoom room() const override {
        if (writes > 0) {
            --writes;
            written += "busy\n";
            failed = failed || !writeBytes(file, written);
        }
        return platform::systemMemoryLimits().room();
    }
    QString file;
    mutable QByteArray written;
    mutable int writes = 0;
    mutable bool failed = false;  // a write that did not take: the test checks it
};

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
        QCOMPARE(read->records.toStringList(), texts);
        QVERIFY(read->header.dataFile == header.dataFile && read->header.slot == 2 &&
                read->header.changedAt == header.changedAt &&
                read->header.loaded == header.loaded && read->header.format == header.format);

        // Any byte changed, the header's and the records' alike, or the file cut anywhere.
        const auto refused = [&](const QByteArray& written) {
            return writeBytes(path, written) && !store::readRecoveryFile(path);
        };
        for (qsizetype at = 0; at < bytes.size(); ++at) {
            QByteArray changed = bytes;
            changed[at] = static_cast<char>(changed[at] ^ 0x01);
            QVERIFY2(refused(changed) && refused(bytes.first(at)), qPrintable(QString::number(at)));
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

    // The system ends the program, asking nothing: with AutoSave the file is saved and nothing
    // is kept; a file AutoSave cannot save, and every file without it, keeps its newest change
    // on the disk, even one made a moment before. The settings are stored, and the notes name
    // what was not saved and why, and promise what was done: a recovery folder that cannot be
    // used keeps nothing, and they say the changes are lost.
    void aTerminationKeepsTheNewestChangesAndSaysWhatItDid_data() {
        QTest::addColumn<QString>("meanwhile");  // what happened to the file since it was read
        QTest::addColumn<bool>("autoSave");
        QTest::addColumn<bool>("folderUsable");
        QTest::addColumn<QString>("why");  // what the note says, none when it was saved
        QTest::newRow("kept") << "" << false << true << "AutoSave is off";
        QTest::newRow("saved") << "" << true << true << "";
        QTest::newRow("changed, kept") << "changed" << true << true << "another program";
        QTest::newRow("folder gone, kept") << "gone" << true << true << "gone/phone_numbers.txt";
        QTest::newRow("lost") << "" << false << false << "AutoSave is off";
    }
    void aTerminationKeepsTheNewestChangesAndSaysWhatItDid() {
        QFETCH(QString, meanwhile);
        QFETCH(bool, autoSave);
        QFETCH(bool, folderUsable);
        QFETCH(QString, why);
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
        if (meanwhile == "changed") {
            QVERIFY(writeBytes(data, "Ann Brown\n"));
        } else if (meanwhile == "gone") {
            w.state.slot(kA).fileName = dir.filePath("gone/phone_numbers.txt");
            w.state.slot(kA).disk().stamp = platform::fileStamp(w.state.slot(kA).fileName);
        }
        const QStringList notes = app::closeWithoutAsking(w.state);
        const bool saved = why.isEmpty();
        QCOMPARE(readBytes(data), QByteArray(saved                    ? "Ann Smith\n"
                                             : meanwhile == "changed" ? "Ann Brown\n"
                                                                      : "Ann\n"));
        QCOMPARE(w.state.slot(kA).changed, !saved);
        QCOMPARE(w.kept(), saved || !folderUsable ? QStringList() : QStringList({"Ann Smith", ""}));
        QCOMPARE(notes.size(), saved ? 0 : 1);
        const QString told = notes.join(u'\n');
        QVERIFY2(
            told.contains(why) &&
                told.contains("The next start offers them back.") == (!saved && folderUsable) &&
                told.contains("so they are lost") == !folderUsable,
            qPrintable(told));
        QVERIFY(w.messages.shown.isEmpty() && !QFileInfo::exists(dir.filePath("nowhere")) &&
                w.fakes.settings.syncCount == 1);
        QCOMPARE(w.fakes.settings.value("Settings", "AutoSave").value_or(""),
                 app::booleanText(autoSave));
    }

    // The next start asks for each recovery file of a file it loads, and does what the answer
    // says; a damaged file is kept and named, a file no slot holds waits for a later start, and
    // the files a running copy holds are not touched.
    void theNextStartOffersTheChangesBack_data() {
        QTest::addColumn<QString>("meanwhile");  // what happened to the file since the crash
        QTest::addColumn<bool>("recover");
        QTest::addColumn<QString>("since");  // what the question says of it
        QTest::newRow("Recover") << "" << true << "";
        QTest::newRow("Discard") << "" << false << "";
        QTest::newRow("Recover, the file changed since")
            << "changed" << true << " phone_numbers.txt has been changed on disk since then.";
        QTest::newRow("Recover, the file deleted since")
            << "deleted" << true << " phone_numbers.txt has been deleted or moved away since then.";
    }
    void theNextStartOffersTheChangesBack() {
        QFETCH(QString, meanwhile);
        QFETCH(bool, recover);
        QFETCH(QString, since);
        QTemporaryDir dir;
        const QString folder = dir.filePath("recovery");
        const QString data = dir.filePath("phone_numbers.txt");
        QVERIFY(writeBytes(data, "Ann\r\nBob\r\n"));
        const QString kept = crashedRun(dir, folder, QStringLiteral("Bob Jones"));
        const qint64 changedAt = store::readRecoveryFile(kept)->header.changedAt;
        // Left by runs for a file this start does not hold, and a damaged one.
        store::RecoveryHeader other;
        other.dataFile = dir.filePath("elsewhere.txt");
        QVERIFY(
            writeBytes(folder + "/other.recovery",
                       store::recoveryFileBytes(other, store::RecordArray::fromStrings({"x"}))) &&
            writeBytes(folder + "/damaged.recovery", "Trovix recovery file 1\nfile="));
        if (meanwhile == "changed") {
            QVERIFY(writeBytes(data, "Ann\r\nBob\r\nCarl\r\n"));
        } else if (meanwhile == "deleted") {
            QVERIFY(QFile::remove(data));
        }
        const QByteArray onDisk = readBytes(data);

        // A copy running meanwhile keeps its own files, unoffered.
        Window running(dir, folder);
        running.edit(0, QStringLiteral("running"));
        running.watch->keepNow();
        Window w(dir, folder, QList<int>{recover ? 1 : 0});

        const QList<platform::ShownMessage> questions = questionsOf(w.messages);
        QCOMPARE(questions.size(), 1);
        QCOMPARE(questions[0].choices, QStringList({"Discard", "Recover"}));
        QCOMPARE(questions[0].text,
                 QStringLiteral("Trovix was not closed properly. phone_numbers.txt has changes "
                                "from %1 that were never saved.%2 Recover them?")
                     .arg(QLocale().toString(QDateTime::fromMSecsSinceEpoch(changedAt),
                                             QLocale::ShortFormat),
                          since));
        QCOMPARE(w.messages.shown.size(), 2);  // and the damaged file, told
        const QString told = w.messages.shown[w.messages.shown[0].choices.isEmpty() ? 0 : 1].text;
        QVERIFY(told.contains("damaged.recovery") && told.contains("The file is kept."));
        QVERIFY(QFile::exists(folder + "/damaged.recovery") &&
                QFile::exists(folder + "/other.recovery") &&
                QFile::exists(running.recoveryFile()) && !QFile::exists(kept));
        // Nothing is written to the data file until the user saves.
        QCOMPARE(readBytes(data), onDisk);

        QCOMPARE(w.records(), QStringList({"Ann", recover ? "Bob Jones" : "Bob"}));
        QCOMPARE(w.state.slot(kA).changed, recover);
        // Recovered, this run keeps them now, in the file it took over.
        QCOMPARE(w.kept(), recover ? w.records() << QString() : QStringList());
        if (!recover) {
            return;
        }
        QCOMPARE(w.state.edits.undoName(), QStringLiteral("Recovery of phone_numbers.txt"));
        if (meanwhile.isEmpty()) {
            // Undo gives back the file's records, unchanged; redo the recovered ones.
            app::undoCommand(w.state);
            QVERIFY(w.records() == QStringList({"Ann", "Bob"}) && !w.state.slot(kA).changed);
            app::redoCommand(w.state);
            app::saveSelectedFile(w.state);
            QCOMPARE(readBytes(data), QByteArray("Ann\r\nBob Jones\r\n"));
            QVERIFY(!QFile::exists(w.recoveryFile()));
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
        QVERIFY(disk.fill());
        Window w(dir, folder, QList<int>{1});
        QCOMPARE(w.records(), QStringList({"Ann", "Bob Jones"}));
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
        w.fakes.files.result = dir.filePath("phone_numbers.txt");
        w.messages.choiceAnswers = {1};
        app::selectFile(w.state);
        QCOMPARE(questionsOf(w.messages).size(), 1);
        QCOMPARE(w.records(), QStringList({"Ann", "Bob Jones"}));
        QCOMPARE(w.state.edits.undoName(), QStringLiteral("Recovery of phone_numbers.txt"));
#endif
    }

    // Real processes: killed at a random moment at least five delays after their last edit, or
    // ended by SIGTERM or SIGHUP right after a random one, long before the recovery file's delay
    // is up, the next start gets every edit back.
    void everyEditComesBackAfterARealKillOrTermination() {
#ifndef Q_OS_UNIX
        QSKIP("the kill and termination signals are Unix's");
#else
        constexpr int kChildDelayMs = 100;
        for (const int signalNumber : {SIGKILL, SIGKILL, SIGTERM, SIGHUP}) {
            QTemporaryDir dir;
            const QString data = dir.filePath("phone_numbers.txt");
            QVERIFY(writeBytes(data, "Ann\nBob\n"));
            QProcess child;
            child.start(QStringLiteral(RECOVERY_KILL_CHILD),
                        {data, dir.filePath("recovery"), "8", QString::number(kChildDelayMs)});
            const bool kill = signalNumber == SIGKILL;
            // The child says each edit on a line, and "done" after the eighth.
            const int linesBefore = kill ? 9 : QRandomGenerator::global()->bounded(1, 8);
            QStringList lines;
            while (lines.size() < linesBefore) {
                QVERIFY(child.waitForReadyRead(20000));
                while (child.canReadLine()) {
                    lines << QString::fromUtf8(child.readLine()).trimmed();
                }
            }
            if (kill) {
                QTest::qWait(5 * kChildDelayMs +
                             QRandomGenerator::global()->bounded(2 * kChildDelayMs));
            }
            QVERIFY(::kill(static_cast<pid_t>(child.processId()), signalNumber) == 0);
            QVERIFY(child.waitForFinished(20000));
            QCOMPARE(child.exitStatus() == QProcess::NormalExit, !kill);
            // And those made before the signal was handled.
            lines << QString::fromUtf8(child.readAllStandardOutput())
                         .split(u'\n', Qt::SkipEmptyParts);
            lines.removeAll(QStringLiteral("done"));

            Window next(dir, dir.filePath("recovery"), QList<int>{1});
            QCOMPARE(next.messages.shown.size(), 1);
            QCOMPARE(next.records(), QStringList({lines.last(), "Bob"}));
            QCOMPARE(readBytes(data), QByteArray("Ann\nBob\n"));
        }
#endif
    }

    // The slots' files are watched, and a file chosen later too. A list without changes reads
    // its changed file once the change settles, keeping the search and the selection.
    void aCleanSlotReloadsOnceTheChangeSettlesKeepingSearchAndSelection() {
        Watched w("Ann Smith\nBob Smith\nCarl Jones\n");
        QCOMPARE(w.watcher.watched, QStringList({w.file(), w.state.slot(lists::SlotId::B).fileName,
                                                 w.state.slot(lists::SlotId::C).fileName}));
        w.state.slot(lists::SlotId::C).fileName = w.dir.filePath("other.txt");
        w.state.changeNotice.fileNamesChanged();
        QCOMPARE(w.watcher.watched.last(), w.dir.filePath("other.txt"));
        w.state.searchBox.userTyped(QStringLiteral("smith"));
        app::search(w.state);
        w.state.slot(kA).list.setListIndex(1);  // Bob Smith
        QCOMPARE(w.state.editBox.text(), QStringLiteral("Bob Smith"));

        // A new first record that matches, one that does not, and Bob moved down.
        w.otherProgramWrites("Dora Smith\nAnn Smith\nEve Brown\nBob Smith\n", 150);
        w.heard(199);  // a second notice of the same save
        QCOMPARE(w.rows(), QStringList({"0|Ann Smith", "1|Bob Smith"}));  // still settling
        w.watcher.advance(1);
        QCOMPARE(w.rows(), QStringList({"0|Dora Smith", "1|Ann Smith", "3|Bob Smith"}));
        QVERIFY(w.state.slot(kA).list.listIndex() == 2 && w.state.editBox.text() == "Bob Smith");
        QCOMPARE(w.lastTold(),
                 QStringLiteral("phone_numbers.txt was changed on disk and has been read again"));
        QVERIFY(w.told.size() == 1 && !w.state.slot(kA).changed && w.messages.shown.isEmpty());

        // The selected record is gone: nothing is selected and the edit box no longer shows it.
        w.otherProgramWrites("Dora Smith\n", 1000);
        QCOMPARE(w.rows(), QStringList({"0|Dora Smith"}));
        QVERIFY(w.state.slot(kA).list.listIndex() == -1 && w.state.editBox.text().isEmpty());

        w.otherProgramWrites("Dora Smith\nFred Black\n", 1000);

        // Each reload is one step back: undone, the slot holds what it held before, which its
        // file no longer holds; redone, the file's content again, unchanged.
        QCOMPARE(w.state.edits.undoName(), QStringLiteral("Reload of phone_numbers.txt"));
        app::undoCommand(w.state);
        QVERIFY(w.records() == QStringList({"Dora Smith"}) && w.state.slot(kA).changed);
        app::redoCommand(w.state);
        QVERIFY(w.records() == QStringList({"Dora Smith", "Fred Black"}) &&
                !w.state.slot(kA).changed);
    }

    void aSlotWithUnsavedChangesIsNeverReloadedButTheNoticeAsks() {
        Watched w("Ann\nBob\n");
        w.edit(0, QStringLiteral("Ann edited"));
        QVERIFY(w.state.slot(kA).changed);

        w.otherProgramWrites("Ann\nBob\nCarl\n", 300);
        QCOMPARE(w.records(), QStringList({"Ann edited", "Bob"}));
        QVERIFY(w.state.changeNotice.isShown() && w.state.changeNotice.slot() == kA);
        QCOMPARE(w.state.changeNotice.text(),
                 QStringLiteral("phone_numbers.txt was changed on disk."));

        // Keep Mine keeps the edit; the save still asks before it replaces the other program's
        // file, and Cancel leaves that file alone.
        w.state.changeNotice.answer(ChangeNotice::Answer::KeepMine);
        QVERIFY(!w.state.changeNotice.isShown() && w.state.slot(kA).changed);
        QCOMPARE(w.records(), QStringList({"Ann edited", "Bob"}));
        w.messages.choiceAnswers = {-1};
        QVERIFY(!records::saveFile(w.state.files(), kA));
        QVERIFY(w.messages.shown.size() == 1 &&
                w.messages.shown[0].text.contains("was changed by another program"));
        QCOMPARE(readBytes(w.file()), QByteArray("Ann\nBob\nCarl\n"));

        // The same change heard of again does not ask again; a further change does, and Reload
        // takes the file and drops the edit.
        w.heard(300);
        QVERIFY(!w.state.changeNotice.isShown());
        w.otherProgramWrites("Ann\nBob\nCarl\nDora\n", 300);
        QVERIFY(w.state.changeNotice.isShown());
        w.state.changeNotice.answer(ChangeNotice::Answer::Reload);
        QVERIFY(!w.state.changeNotice.isShown() && !w.state.slot(kA).changed);
        QCOMPARE(w.records(), QStringList({"Ann", "Bob", "Carl", "Dora"}));

        // An edit undone while the notice asks leaves nothing unsaved: the notice goes, and the
        // list reads the changed file as a list without changes does.
        w.edit(0, QStringLiteral("Ann again"));
        w.otherProgramWrites("Ann\nEve\n", 300);
        QVERIFY(w.state.changeNotice.isShown());
        app::undoCommand(w.state);
        QVERIFY(!w.state.changeNotice.isShown() && !w.state.slot(kA).changed);
        QCOMPARE(w.records(), QStringList({"Ann", "Eve"}));
    }

    // Merge, offered by the notice and by the save's question, keeps both sides and writes
    // nothing; it is one step back, and undone, the save asks again before it replaces the file
    // the merge took in.
    void aMergeKeepsBothSidesAndItsUndoAsksBeforeASave() {
        Watched w("Ann\nBob\nCarl\n");
        w.edit(1, QStringLiteral("Bob mine"));
        w.otherProgramWrites("Ann theirs\nBob\nCarl\nDora\n", 300);
        w.state.changeNotice.answer(ChangeNotice::Answer::Merge);
        QCOMPARE(w.records(), QStringList({"Ann theirs", "Bob mine", "Carl", "Dora"}));
        QVERIFY(!w.state.changeNotice.isShown() && w.state.slot(kA).changed);
        QCOMPARE(readBytes(w.file()), QByteArray("Ann theirs\nBob\nCarl\nDora\n"));
        QCOMPARE(w.lastTold(),
                 QStringLiteral("phone_numbers.txt: 1 of your changes and 2 from disk merged"));
        QCOMPARE(w.state.edits.undoName(), QStringLiteral("Merge of phone_numbers.txt"));
        w.heard(300);  // the merged file is not news
        QVERIFY(!w.state.changeNotice.isShown());

        app::undoCommand(w.state);
        QCOMPARE(w.records(), QStringList({"Ann", "Bob mine", "Carl"}));
        w.messages.choiceAnswers = {-1};  // Cancel
        QVERIFY(!records::saveFile(w.state.files(), kA) && w.messages.shown.size() == 1);
        app::redoCommand(w.state);
        QVERIFY(records::saveFile(w.state.files(), kA) && w.messages.shown.size() == 1);
        QCOMPARE(readBytes(w.file()), QByteArray("Ann theirs\nBob mine\nCarl\nDora\n"));

        // Both sides change one record: the save's question merges, and both versions stay,
        // the user's shown first.
        w.edit(0, QStringLiteral("Ann mine"));
        QVERIFY(writeBytes(w.file(), "Ann other\nBob mine\nCarl\nDora\n"));
        w.messages.choiceAnswers = {0};  // Merge
        app::saveSelectedFile(w.state);
        QCOMPARE(w.messages.shown.last().choices, QStringList({"Merge", "Save Anyway", "Cancel"}));
        QCOMPARE(w.records(), QStringList({"Ann mine", "Ann other", "Bob mine", "Carl", "Dora"}));
        QVERIFY(w.lastTold().endsWith(
                    QStringLiteral("; 1 record changed on both sides is kept twice")) &&
                w.state.editBox.text() == QStringLiteral("Ann mine"));
        app::saveSelectedFile(w.state);
        QCOMPARE(readBytes(w.file()), QByteArray("Ann mine\nAnn other\nBob mine\nCarl\nDora\n"));

        // The list keeps what its file held only while it holds that file: after another file
        // was chosen and the choice undone, a merge has nothing to compare with and keeps every
        // record of both sides.
        const QString phone = w.file();
        w.fakes.files.result = QFileInfo(phone).dir().filePath(QStringLiteral("taglines.txt"));
        app::selectFile(w.state);
        app::undoCommand(w.state);
        w.edit(0, QStringLiteral("Ann again"));
        QVERIFY(w.file() == phone &&
                writeBytes(phone, "Ann mine\nAnn other\nBob mine\nCarl\nDora\nEve\n"));
        w.messages.choiceAnswers = {0};  // Merge
        app::saveSelectedFile(w.state);
        QStringList merged = w.records();
        merged.sort();
        QCOMPARE(merged, QStringList({"Ann again", "Ann mine", "Ann other", "Bob mine", "Carl",
                                      "Dora", "Eve"}));
    }

    // Sync tools' conflict copies are told by their names; one the user ignores is not offered
    // again until it changes.
    void conflictCopiesAreKnownByNameAndIgnoredUntilTheyChange() {
        for (const auto& [name, copy] : std::initializer_list<std::pair<const char*, bool>>{
                 {"phone_numbers.sync-conflict-20261207-101500-ABCDEFG.txt", true},
                 {"phone_numbers (conflicted copy 2026-12-07 101500).txt", true},
                 {"phone_numbers (Ann's conflicted copy 2026-12-07).txt", true},
                 {"phone_numbers.sync-conflict-2026127-101500-ABCDEFG.txt", false},
                 {"phone_numbers (1).txt", false},
                 {"phone.sync-conflict-20261207-101500-ABCDEFG.txt", false},
                 {"phone_numbers (conflicted copy).txt.bak", false}}) {
            QVERIFY2(app::isConflictCopyName(QString::fromUtf8(name),
                                             QStringLiteral("phone_numbers.txt")) == copy,
                     name);
        }
        Watched w("Ann\n");
        const QString copy = QFileInfo(w.file()).dir().filePath(
            QStringLiteral("phone_numbers (conflicted copy 2026-12-07 101500).txt"));
        QVERIFY(writeBytes(copy, "Ann\nBea\n"));
        w.heard(300);
        QCOMPARE(w.state.changeNotice.text(),
                 QStringLiteral("A conflict copy of phone_numbers.txt was found"));
        w.state.changeNotice.answer(ChangeNotice::Answer::Ignore);
        w.heard(300);
        QVERIFY(!w.state.changeNotice.isShown() && w.records() == QStringList({"Ann"}));
        {
            platform::FakeFileWatcher nextRun;  // the settings keep the answer
            const app::FileChangeWatch again(w.state, nextRun);
            QVERIFY(!w.state.changeNotice.isShown());
        }
        QVERIFY(writeBytes(copy, "Ann\nBea\nCy\n"));
        w.heard(300);
        QVERIFY(w.state.changeNotice.isShown());
        w.state.changeNotice.answer(ChangeNotice::Answer::Merge);
        QCOMPARE(w.records(), QStringList({"Ann", "Bea", "Cy"}));
        // Undone, the copy is offered again, and nothing goes to the trash.
        app::undoCommand(w.state);
        QVERIFY(w.state.changeNotice.isShown() && w.records() == QStringList({"Ann"}));
    }

    void ownSavesDeletionsAndTheOptionTurnedOffReadNothing() {
        Watched w("Ann\nBob\n");
        w.edit(0, QStringLiteral("Ann saved"));
        QVERIFY(records::saveFile(w.state.files(), kA));
        w.state.slot(kA).changed = false;
        w.state.editBox.setText(QStringLiteral("Ann unsaved"));
        w.heard(2000);
        QVERIFY(w.told.isEmpty() && !w.state.changeNotice.isShown());
        QCOMPARE(w.records(), QStringList({"Ann unsaved", "Bob"}));

        // Deleted, or renamed away: the records stay and the user is told once.
        w.state.slot(kA).changed = false;
        QVERIFY(QFile::rename(w.file(), w.file() + ".moved"));
        w.heard(300);
        w.heard(2000);
        QVERIFY(w.records() == QStringList({"Ann unsaved", "Bob"}) && w.told.size() == 1);
        QCOMPARE(w.lastTold(),
                 QStringLiteral("phone_numbers.txt was deleted or renamed on disk; list 1 keeps "
                                "its records"));

        // With "Reload Changed Files" off nothing is read; on again, the next change is.
        w.state.options.setChecked(Option::ReloadChangedFiles, false);
        w.otherProgramWrites("Carl\n", 2000);
        QVERIFY(w.records() == QStringList({"Ann unsaved", "Bob"}) && w.told.size() == 1);
        w.state.options.setChecked(Option::ReloadChangedFiles, true);
        w.otherProgramWrites("Carl\nDora\n", 300);
        QCOMPARE(w.records(), QStringList({"Carl", "Dora"}));
    }

    void aFileWrittenWhileItIsReadIsReadAgainNeverHalfWay() {
        Watched w("Ann\n");
        WritingDuringReads writer;
        writer.file = w.file();
        writer.written = "Ann\n";
        w.state.services.memory = writer;

        // Written during the first read: the second read takes the file as it then is.
        writer.writes = 1;
        w.otherProgramWrites("Ann\n", 300);
        QVERIFY(w.records() == QStringList({"Ann", "busy"}) && writer.writes == 0);

        // Written during every read: nothing is taken, and the file is tried again later.
        writer.writes = 1000;
        w.otherProgramWrites(writer.written, 1000);
        QVERIFY(w.records() == QStringList({"Ann", "busy"}) && w.watcher.callPending());
        writer.writes = 0;
        w.watcher.advance(2000);
        QVERIFY(w.records().size() == writer.written.count('\n') && w.records().size() > 3 &&
                !writer.failed);
    }

    void aFileThatKeepsChangingIsReadAtMostOnceASecond() {
        Watched w("line 0\n");
        QByteArray log = "line 0\n";
        const qint64 start = w.watcher.now();
        for (int n = 1; n <= 70; ++n) {  // an appending log, every 50 ms for 3.5 s
            log += "line " + QByteArray::number(n) + '\n';
            w.otherProgramWrites(log, 50);
        }
        w.watcher.advance(1000);
        QVERIFY2(w.told.size() >= 3 && w.told.size() <= 5,
                 qPrintable(QString::number(w.told.size())));
        QVERIFY(w.told.first().first - start <= 1000);  // not held back until the writing stops
        for (qsizetype i = 1; i < w.told.size(); ++i) {
            QVERIFY(w.told[i].first - w.told[i - 1].first >= 1000);
        }
        QCOMPARE(w.records().size(), 71);  // the last state is read once it settles
        QVERIFY(!w.watcher.callPending());
    }
};

QTEST_GUILESS_MAIN(TestUnsavedEdits)
#include "test_unsaved_edits.moc"
