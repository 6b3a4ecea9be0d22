// Files another program changes while Trovix holds them: the core on a watcher whose clock and
// changes the test drives, over real files.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/event_handlers.h"
#include "app/file_changes.h"
#include "app/search_commands.h"
#include "app/undo_commands.h"
#include "platform/fake/fake_file_watcher.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_services.h"
#include "records/slot_procedures.h"
#include "search/search_engine.h"
#include "state/main_state.h"
#include "support/files.h"

using namespace trovix;
using namespace trovix::testing;

namespace {

constexpr lists::SlotId kA = lists::SlotId::A;

// Three data files read into a window's state, watched through a fake watcher.
struct Watched {
    QTemporaryDir dir;
    platform::FakeServices fakes;
    platform::FakeMessageBoxes& messages = fakes.messages;
    platform::FakeFileWatcher watcher;
    MainState state{fakes.services()};
    std::unique_ptr<app::FileChangeWatch> watch;
    // Every status bar message with the watcher's time it came at.
    QList<QPair<qint64, QString>> told;

    explicit Watched(const QByteArray& phoneNumbers) {
        app::connectEventHandlers(state);
        const char* const names[] = {"phone_numbers.txt", "taglines.txt", "area_codes.txt"};
        for (const lists::SlotId id : lists::kAllSlots) {
            const QString name = dir.filePath(QString::fromLatin1(names[static_cast<int>(id)]));
            QVERIFY(writeBytes(name, id == kA ? phoneNumbers : QByteArray("x\n")));
            QVERIFY(age(name));
            state.slot(id).fileName = name;
            records::loadFile(state.files(), id);
        }
        state.listWithFocus = lists::SlotId::A;
        QObject::connect(&state.statusBar, &StatusBar::changed, [this](StatusBar::Aspect aspect) {
            if (aspect == StatusBar::Aspect::Message) {
                told.append({watcher.now(), state.statusBar.message()});
            }
        });
        watch = std::make_unique<app::FileChangeWatch>(state, watcher);
    }
    QString file() const { return state.slot(kA).fileName; }
    // Another program writes the file in place and the watcher hears of it.
    void otherProgramWrites(const QByteArray& bytes) {
        QVERIFY(writeBytes(file(), bytes));
        watcher.touch(file());
    }
    // The records of slot A, but the empty one after the file's last line break.
    QStringList records() const {
        QStringList out;
        const store::RecordArray& records = state.slot(kA).records;
        for (qsizetype i = 0; i < records.size(); ++i) {
            out.append(records.text(i));
        }
        if (!out.isEmpty() && out.last().isEmpty()) {
            out.removeLast();
        }
        return out;
    }
    QStringList rows() const {
        QStringList out;
        const lists::ResultList& list = state.slot(kA).list;
        for (int row = 0; row < list.count(); ++row) {
            out.append(list.text(row));
        }
        return out;
    }
    QString lastTold() const { return told.isEmpty() ? QString() : told.last().second; }
};

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

class TestFileChanges : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void watchesTheSlotsFilesAndAFileChosenLater() {
        Watched w("Ann\n");
        QCOMPARE(w.watcher.watched, QStringList({w.file(), w.state.slot(lists::SlotId::B).fileName,
                                                 w.state.slot(lists::SlotId::C).fileName}));
        w.state.slot(lists::SlotId::C).fileName = w.dir.filePath("other.txt");
        w.state.changeNotice.fileNamesChanged();
        QCOMPARE(w.watcher.watched.last(), w.dir.filePath("other.txt"));
    }

    void aCleanSlotReloadsOnceTheChangeSettlesKeepingSearchAndSelection() {
        Watched w("Ann Smith\nBob Smith\nCarl Jones\n");
        w.state.searchBox.userTyped(QStringLiteral("smith"));
        app::search(w.state);
        w.state.slot(kA).list.setListIndex(1);  // Bob Smith
        QCOMPARE(w.state.editBox.text(), QStringLiteral("Bob Smith"));

        // A new first record that matches, one that does not, and Bob moved down.
        w.otherProgramWrites("Dora Smith\nAnn Smith\nEve Brown\nBob Smith\n");
        w.watcher.advance(150);
        w.watcher.touch(w.file());  // a second notice of the same save
        w.watcher.advance(199);
        QCOMPARE(w.rows(), QStringList({"Ann Smith", "Bob Smith"}));  // still settling
        w.watcher.advance(1);
        QCOMPARE(w.rows(), QStringList({"Dora Smith", "Ann Smith", "Bob Smith"}));
        QCOMPARE(w.state.slot(kA).list.listIndex(), 2);
        QCOMPARE(w.state.editBox.text(), QStringLiteral("Bob Smith"));
        QCOMPARE(w.lastTold(),
                 QStringLiteral("phone_numbers.txt was changed on disk and has been read again"));
        QCOMPARE(w.told.size(), 1);
        QVERIFY(!w.state.slot(kA).changed);
        QVERIFY(w.messages.shown.isEmpty());

        // The selected record is gone: nothing is selected and the edit box no longer shows it.
        w.otherProgramWrites("Dora Smith\n");
        w.watcher.advance(1000);
        QCOMPARE(w.rows(), QStringList({"Dora Smith"}));
        QCOMPARE(w.state.slot(kA).list.listIndex(), -1);
        QCOMPARE(w.state.editBox.text(), QString());

        // A list that shows every record shows every record again.
        records::loadArray(w.state.slot(kA), w.state.listingOptions());
        w.otherProgramWrites("Dora Smith\nFred Black\n");
        w.watcher.advance(1000);
        QCOMPARE(w.rows(), QStringList({"Dora Smith", "Fred Black"}));
        QCOMPARE(w.told.size(), 3);

        // Each reload is one step back: undone, the slot holds what it held before, which its
        // file no longer holds; redone, the file's content again, unchanged.
        QCOMPARE(w.state.edits.undoName(), QStringLiteral("Reload of phone_numbers.txt"));
        app::undoCommand(w.state);
        QCOMPARE(w.records(), QStringList({"Dora Smith"}));
        QVERIFY(w.state.slot(kA).changed);
        app::redoCommand(w.state);
        QCOMPARE(w.records(), QStringList({"Dora Smith", "Fred Black"}));
        QVERIFY(!w.state.slot(kA).changed);
    }

    void aSlotWithUnsavedChangesIsNeverReloadedButTheNoticeAsks() {
        Watched w("Ann\nBob\n");
        w.state.slot(kA).list.setListIndex(0);
        w.state.editBox.setText(QStringLiteral("Ann edited"));
        QVERIFY(w.state.slot(kA).changed);

        w.otherProgramWrites("Ann\nBob\nCarl\n");
        w.watcher.advance(300);
        QCOMPARE(w.records(), QStringList({"Ann edited", "Bob"}));
        QVERIFY(w.state.changeNotice.isShown());
        QCOMPARE(w.state.changeNotice.text(),
                 QStringLiteral("phone_numbers.txt was changed on disk."));
        QCOMPARE(w.state.changeNotice.slot(), std::optional(kA));

        // Keep Mine keeps the edit; the save still asks before it replaces the other program's
        // file, and Cancel leaves that file alone.
        w.state.changeNotice.answer(ChangeNotice::Answer::KeepMine);
        QVERIFY(!w.state.changeNotice.isShown());
        QCOMPARE(w.records(), QStringList({"Ann edited", "Bob"}));
        QVERIFY(w.state.slot(kA).changed);
        w.messages.choiceAnswers = {1};
        QVERIFY(!records::saveFile(w.state.files(), kA));
        QCOMPARE(w.messages.shown.size(), 1);
        QVERIFY(w.messages.shown[0].text.contains("was changed by another program"));
        QCOMPARE(readBytes(w.file()), QByteArray("Ann\nBob\nCarl\n"));

        // The same change heard of again does not ask again; a further change does, and Reload
        // takes the file and drops the edit.
        w.watcher.touch(w.file());
        w.watcher.advance(300);
        QVERIFY(!w.state.changeNotice.isShown());
        w.otherProgramWrites("Ann\nBob\nCarl\nDora\n");
        w.watcher.advance(300);
        QVERIFY(w.state.changeNotice.isShown());
        w.state.changeNotice.answer(ChangeNotice::Answer::Reload);
        QVERIFY(!w.state.changeNotice.isShown());
        QCOMPARE(w.records(), QStringList({"Ann", "Bob", "Carl", "Dora"}));
        QVERIFY(!w.state.slot(kA).changed);
        QCOMPARE(w.lastTold(),
                 QStringLiteral("phone_numbers.txt was changed on disk and has been read again"));

        // An edit undone while the notice asks leaves nothing unsaved: the notice goes, and the
        // list reads the changed file as a list without changes does.
        w.state.slot(kA).list.setListIndex(0);
        w.state.editBox.setText(QStringLiteral("Ann again"));
        w.otherProgramWrites("Ann\nEve\n");
        w.watcher.advance(300);
        QVERIFY(w.state.changeNotice.isShown());
        app::undoCommand(w.state);
        QVERIFY(!w.state.changeNotice.isShown() && !w.state.slot(kA).changed);
        QCOMPARE(w.records(), QStringList({"Ann", "Eve"}));
    }

    void ownSavesDeletionsAndTheOptionTurnedOffReadNothing() {
        Watched w("Ann\nBob\n");
        w.state.slot(kA).list.setListIndex(0);
        w.state.editBox.setText(QStringLiteral("Ann saved"));
        QVERIFY(records::saveFile(w.state.files(), kA));
        w.state.slot(kA).changed = false;
        w.state.editBox.setText(QStringLiteral("Ann unsaved"));
        w.watcher.touch(w.file());
        w.watcher.advance(2000);
        QVERIFY(w.told.isEmpty());
        QVERIFY(!w.state.changeNotice.isShown());
        QCOMPARE(w.records(), QStringList({"Ann unsaved", "Bob"}));

        // Deleted, or renamed away: the records stay and the user is told once.
        w.state.slot(kA).changed = false;
        QVERIFY(QFile::rename(w.file(), w.file() + ".moved"));
        w.watcher.touch(w.file());
        w.watcher.advance(300);
        w.watcher.touch(w.file());
        w.watcher.advance(2000);
        QCOMPARE(w.records(), QStringList({"Ann unsaved", "Bob"}));
        QCOMPARE(w.told.size(), 1);
        QCOMPARE(w.lastTold(),
                 QStringLiteral("phone_numbers.txt was deleted or renamed on disk; list 1 keeps "
                                "its records"));

        // With "Reload Changed Files" off nothing is read; on again, the next change is.
        w.state.options.setChecked(Option::ReloadChangedFiles, false);
        w.otherProgramWrites("Carl\n");
        w.watcher.advance(2000);
        QCOMPARE(w.records(), QStringList({"Ann unsaved", "Bob"}));
        QCOMPARE(w.told.size(), 1);
        w.state.options.setChecked(Option::ReloadChangedFiles, true);
        w.otherProgramWrites("Carl\nDora\n");
        w.watcher.advance(300);
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
        w.otherProgramWrites("Ann\n");
        w.watcher.advance(300);
        QCOMPARE(w.records(), QStringList({"Ann", "busy"}));
        QCOMPARE(writer.writes, 0);

        // Written during every read: nothing is taken, and the file is tried again later.
        writer.writes = 1000;
        w.otherProgramWrites(writer.written);
        w.watcher.advance(1000);
        QCOMPARE(w.records(), QStringList({"Ann", "busy"}));
        QVERIFY(w.watcher.callPending());
        writer.writes = 0;
        w.watcher.advance(2000);
        QCOMPARE(w.records().size(), writer.written.count('\n'));
        QVERIFY(w.records().size() > 3 && !writer.failed);
    }

    void aFileThatKeepsChangingIsReadAtMostOnceASecond() {
        Watched w("line 0\n");
        QByteArray log = "line 0\n";
        const qint64 start = w.watcher.now();
        for (int n = 1; n <= 70; ++n) {  // an appending log, every 50 ms for 3.5 s
            log += "line " + QByteArray::number(n) + '\n';
            w.otherProgramWrites(log);
            w.watcher.advance(50);
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

QTEST_GUILESS_MAIN(TestFileChanges)
#include "test_file_changes.moc"
