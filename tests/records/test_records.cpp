#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>
#include <random>

#include "app/commands.h"
#include "app/search_commands.h"
#include "app/shutdown.h"
#include "platform/fake/fake_file_dialog.h"
#include "platform/fake/fake_memory_limits.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_shell.h"
#include "platform/safe_file.h"
#include "platform/save_journal.h"
#include "records/record_display.h"
#include "records/record_editing.h"
#include "records/record_order.h"
#include "search/search_engine.h"
#include "support/files.h"
#include "support/state_fixture.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace trovix;
using lists::SlotId;
using testing::readBytes;
using testing::StateFixture;
using testing::writeBytes;

namespace {

void press(MainState& state, Command command) {
    app::toolbarButtonPressed(state, command);
}

// The exchange sort as it is written: lower-case forms compared by code point.
QStringList exchangeSorted(QStringList d) {
    const auto key = [](const QString& s) {
        QList<char32_t> points;
        for (const char32_t c : s.toUcs4()) {
            points << QChar::toLower(c);
        }
        return points;
    };
    for (qsizetype i = 0; i + 1 < d.size(); ++i) {
        for (qsizetype j = i + 1; j < d.size(); ++j) {
            if (key(d[i]) > key(d[j])) {
                d.swapItemsAt(i, j);
            }
        }
    }
    return d;
}

// Three data files in a folder, read into a started state.
struct Files : StateFixture {
    QTemporaryDir dir;
    explicit Files(const QList<QByteArray>& contents) : StateFixture({}, {}, {}) {
        for (int n = 1; n <= 3; ++n) {
            slot(n).fileName = dir.filePath(QStringLiteral("file%1.txt").arg(n - 1));
            QVERIFY(writeBytes(slot(n).fileName, contents[n - 1]));
            records::loadFile(state.files(), static_cast<SlotId>(n - 1));
        }
    }
    QString file(int n) { return slot(n).fileName; }
    bool save(int n) { return records::saveFile(state.files(), static_cast<SlotId>(n - 1)); }
    // The text of the last message shown.
    QString told() const {
        return messages.shown.isEmpty() ? QString() : messages.shown.last().text;
    }
};

// A path that exists as a regular file but fails when read.
const QString kUnreadableFile = QStringLiteral("/proc/self/mem");

#ifdef Q_OS_UNIX
// The time the file's inode last changed, in nanoseconds.
qint64 statusChangeTime(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return -1;
    }
    return qint64{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
}

#endif

// The boxes shown since `from` that asked a question (had buttons of their own words).
qsizetype questionsSince(const platform::FakeMessageBoxes& messages, qsizetype from) {
    qsizetype asked = 0;
    for (qsizetype i = from; i < messages.shown.size(); ++i) {
        asked += messages.shown[i].choices.isEmpty() ? 0 : 1;
    }
    return asked;
}

}  // namespace

class TestRecords : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void selectingARowShowsItsRecordAndAMouseDownOnlyColours() {
        StateFixture f({"a"}, {"Bob-----1 Main St-----Springfield", "a----------b"}, {"c"});
        f.list(1).setListIndex(0);
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   0   0"));
        f.list(2).setListIndex(0);
        QCOMPARE(f.seen(), QStringLiteral("focus 2: -1 0* -1 | Bob|1 Main St|Springfield"));
        // Two markers in a row show an empty line; lists B and C leave the row panel alone;
        // showing a record is not an edit.
        f.list(2).setListIndex(1);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("a\r\n\r\nb"));
        QCOMPARE(f.state.statusBar.panel(4), QStringLiteral("   0   0"));
        QVERIFY(!f.slot(2).changed && !f.state.busy);

        // A mouse-down colours a list without changing the focus. The list with focus lost its
        // selection: the record still shown takes no typing, which would reach no record.
        f.list(1).setListIndex(0);
        QVERIFY(f.state.editBox.isEnabled());
        f.list(3).userMouseDown();
        QCOMPARE(f.seen(), QStringLiteral("focus 1: -1 -1 -1* | a (off)"));
        // A hidden list is never coloured, and the others keep their colours.
        f.state.toolbar.setPressed(Command::FileB, false);
        f.list(2).userMouseDown();
        QCOMPARE(f.seen(), QStringLiteral("focus 1: -1 -1 -1* | a (off)"));
        f.list(3).setListIndex(0);
        QVERIFY(f.state.editBox.isEnabled());

        // While busy, a selection change shows nothing; busy sections nest.
        {
            const BusySection outer(f.state);
            { const BusySection inner(f.state); }
            f.list(2).setListIndex(0);
        }
        QVERIFY(!f.state.busy);
        QCOMPARE(f.seen(), QStringLiteral("focus 3: -1 0 0* | c"));
    }

    void rowsThatAreNoRecordsShowDisabled() {
        StateFixture f({"x-----y", "z"}, {"b"}, {"c"});
        f.state.options.setChecked(Option::DisplayFileNames, true);
        f.state.toolbar.setPressed(Command::Data, true);
        records::loadArray(f.state.slot(lists::SlotId::A), f.state.listingOptions());
        f.list(1).setListIndex(0);  // the header row
        QCOMPARE(f.seen() + f.state.statusBar.panel(4),
                 "focus 1: 0* -1 -1 | <disabled> (off)   0   0");
        f.list(1).setListIndex(1);  // a record row
        f.list(1).setListIndex(2);  // its continuation row
        QCOMPARE(f.seen() + f.state.statusBar.panel(4),
                 "focus 1: 2* -1 -1 | <disabled> (off)   2   -1");

        // A list showing "no match found" shows disabled whatever row is chosen.
        f.list(2).clear();
        f.list(2).addNoMatchRow();
        f.list(2).insertHeaderRow(QStringLiteral("... b ..."));
        f.list(2).setListIndex(1);
        QCOMPARE(f.seen(), QStringLiteral("focus 2: -1 1* -1 | <disabled> (off)"));
    }

    void aRecordTooLongToEditIsShownAsAnExcerpt() {
        const std::string sep = "-----";
        // Up to 100,000 bytes a line and 4 MB in all the record is shown whole.
        const std::string longLine(records::kEditableLineBytes, 'x');
        QVERIFY(records::editBoxText("a" + sep + longLine).whole);
        std::string big;
        while (big.size() + sep.size() + 1000 < records::kEditableBytes) {
            big += (big.empty() ? "" : sep) + std::string(1000, 'a');
        }
        big += sep + std::string(records::kEditableBytes - big.size() - sep.size(), 'b');
        QCOMPARE(big.size(), records::kEditableBytes);
        const records::BoxText whole = records::editBoxText(big);
        QVERIFY(whole.whole && whole.text == records::displayText(big));

        // One byte more, in a line or in all: its first 200 lines, each cut after 2,000
        // characters, and a line "…" for the rest.
        const records::BoxText tooLong = records::editBoxText(big + "c");
        QVERIFY(!tooLong.whole);
        QCOMPARE(tooLong.text.split(QStringLiteral("\r\n")), QStringList(200, QString(1000, u'a'))
                                                                 << QStringLiteral("\u2026"));
        const QString wide = QString(60000, u'\u00E9');  // 120,000 bytes
        const records::BoxText cut =
            records::editBoxText("a" + sep + longLine + "y" + sep + wide.toStdString() + sep + "z");
        QVERIFY(!cut.whole);
        QCOMPARE(cut.text, QStringLiteral("a\r\n") + QString(2000, u'x') + QChar(0x2026) +
                               QStringLiteral("\r\n") + QString(2000, u'\u00E9') + QChar(0x2026) +
                               QStringLiteral("\r\nz"));
    }

    void everyChangeFlowsBackIntoTheRecord() {
        StateFixture f({"alpha-----beta", "gamma"}, {"one"}, {"two"});
        f.list(1).setListIndex(0);
        const struct {
            const char *typed, *record, *row;
        } cases[] = {
            {"alphax\r\nbeta", "alphax-----beta", "0|alphax"},
            {"alphax\r\nbeta\r\n", "alphax-----beta-----", "0|alphax"},  // an empty last line
            {"al-----pha", "al-----pha", "0|al-----pha"},  // the row shows the marker as typed
            {"", "al-----pha", "0|al-----pha"},            // blank texts are ignored
            {"   ", "al-----pha", "0|al-----pha"},
            {"\r\n", "-----", "0|"},  // a single empty line is not blank
            // A lone LF and CR inside a line are characters of the record.
            {"top\nline\r\nsecond\rhalf", "top\nline-----second\rhalf", "0|top\nline"},
        };
        for (const auto& c : cases) {
            f.state.editBox.setText(QString::fromLatin1(c.typed));
            QCOMPARE(f.slot(1).records.text(0) + " / " + f.rows(1).first(),
                     QString::fromLatin1(c.record) + " / " + QString::fromLatin1(c.row));
        }
        QVERIFY(f.slot(1).changed && !f.slot(2).changed);
        // Shown again, the record has its lines back and keeps the stray characters.
        f.list(1).setListIndex(1);
        f.list(1).setListIndex(0);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("top\nline\r\nsecond\rhalf"));

        // A search sees the edited text at once, ignoring case too.
        f.state.editBox.setText(QStringLiteral("Zebra crossing"));
        f.state.searchBox.userTyped(QStringLiteral("ZEBRA"));
        app::search(f.state);
        QCOMPARE(f.rows(1), QStringList({"0|Zebra crossing"}));
        f.state.editBox.setText(QStringLiteral("Horse"));
        app::search(f.state);
        QCOMPARE(f.rows(1), QStringList({"0|no match found"}));
    }

    void editsGoToTheListWithFocus() {
        StateFixture f({"a"}, {"b"}, {"c"});
        f.state.options.setChecked(Option::DisplayFileNames, true);
        for (lists::SlotId id : lists::kAllSlots) {
            records::loadArray(f.state.slot(id), f.state.listingOptions());
        }
        // The header row is never written back.
        f.list(2).setListIndex(0);
        f.state.busy = false;
        f.state.editBox.setEnabled(true);
        f.state.editBox.setText(QStringLiteral("typed on the header"));
        QCOMPARE(f.rows(2), QStringList({"0|... /data/taglines.txt ...", "0|b"}));
        QCOMPARE(f.slot(2).records.text(0), QStringLiteral("b"));

        f.list(3).setListIndex(1);
        f.state.editBox.setText(QStringLiteral("C"));
        f.list(1).setListIndex(1);
        f.state.editBox.setText(QStringLiteral("A"));
        QCOMPARE(f.slot(1).records.text(0) + f.slot(3).records.text(0), QStringLiteral("AC"));
        QVERIFY(f.slot(1).changed && !f.slot(2).changed && f.slot(3).changed);

        // Typing before anything is selected changes no record but marks the slot.
        StateFixture fresh({"x"}, {}, {});
        fresh.state.listWithFocus = lists::SlotId::A;
        fresh.state.editBox.setText(QStringLiteral("Name\r\nchanged"));
        QVERIFY(fresh.slot(1).records.text(0) == "x" && fresh.slot(1).changed);
        // No list with focus: nothing at all.
        StateFixture none({"x"}, {}, {});
        none.state.editBox.setText(QStringLiteral("y"));
        QVERIFY(!none.slot(1).changed);
    }

    // A new record never takes an element that holds a record: after a final line break, in an
    // empty file, without a final line break, in a missing file, after blanks sorted first, after
    // a last element of spaces only.
    void newItemKeepsEveryRecord() {
        const QStringList cases[][2] = {
            {{"alpha", "beta", ""}, {"alpha", "beta", "New Item", ""}},
            {{}, {"New Item"}},
            {{"alpha", "beta"}, {"alpha", "beta", "New Item"}},
            {{"<file not found>"}, {"<file not found>", "New Item"}},
            {{"", "  ", "alpha"}, {"", "  ", "alpha", "New Item"}},
            {{"alpha", "   "}, {"alpha", "   ", "New Item"}},
        };
        for (const auto& [before, after] : cases) {
            StateFixture f(before, {"b"}, {"c"});
            f.state.listWithFocus = lists::SlotId::A;
            press(f.state, Command::New);
            QCOMPARE(f.slot(1).records.toStringList(), after);
            const int last = f.list(1).count() - 1;
            QCOMPARE(f.rows(1).last(),
                     QStringLiteral("%1|New Item").arg(after.indexOf("New Item")));
            QCOMPARE(f.seen(), QStringLiteral("focus 1: %1* -1 -1 | New Item").arg(last));
            QVERIFY(f.slot(1).changed &&
                    f.state.statusBar.panel(1).endsWith(QStringLiteral("(%1)").arg(last + 1)));
        }
    }

    void deleteBlanksTheRecordAndSelectsTheNextRow() {
        StateFixture f({"alpha", "beta", "gamma"}, {"only"}, {"c"});
        f.list(1).setListIndex(1);
        press(f.state, Command::Delete);
        QCOMPARE(f.slot(1).records.toStringList() + f.rows(1),
                 QStringList({"alpha", "", "gamma", "0|alpha", "2|gamma"}));
        QCOMPARE(f.seen(), "focus 1: 1* -1 -1 | gamma");  // the row below
        press(f.state, Command::Delete);
        QCOMPARE(f.seen(), "focus 1: 0* -1 -1 | alpha");  // the last row: the one above
        QVERIFY(f.slot(1).changed);
        // A list's last row stays; with the header row shown, its one record can go.
        press(f.state, Command::Delete);
        QCOMPARE(f.rows(1), QStringList({"0|alpha"}));
        f.list(2).setListIndex(0);
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        f.list(2).setListIndex(1);
        press(f.state, Command::Delete);
        QVERIFY(f.list(2).count() == 1 && f.state.editBox.text() == "<disabled>");
        QVERIFY(!f.slot(3).changed);
    }

    void sortGivesTheExchangeSortsOrder() {
        std::mt19937 random(11);
        const QStringList pool = {"Bob", "bob",       "BOB",       "al",    "Al",    "",
                                  "  ",  "Ann-----x", "ann-----X", "École", "école", "b",
                                  "Zoë", "zoë",       "ab",        "a"};
        for (int round = 0; round < 20000; ++round) {
            QStringList d;
            for (int n = static_cast<int>(random() % 10); n > 0; --n) {
                d << pool[static_cast<qsizetype>(random() % static_cast<std::size_t>(pool.size()))];
            }
            const std::vector<qint32> order =
                records::exchangeSortOrder(store::RecordArray::fromStrings(d));
            QStringList sorted;
            for (const qint32 i : order) {
                sorted << d[i];
            }
            QVERIFY2(sorted == exchangeSorted(d), qPrintable(d.join(u'|')));
        }
        // A large array is prepared in parts at once. Distinct lower-case forms leave the sort one
        // order: ascending, every record once.
        QStringList many;
        for (int i = 0; i < 150000; ++i) {
            const int key = static_cast<int>((i * 7919LL) % 150000);
            many << (i % 3 == 0 ? QStringLiteral("NAME %1") : QStringLiteral("name %1"))
                        .arg(key, 6, 10, QLatin1Char('0'));
        }
        const std::vector<qint32> order =
            records::exchangeSortOrder(store::RecordArray::fromStrings(many));
        QCOMPARE(order.size(), std::size_t{150000});
        for (std::size_t k = 0; k < order.size(); ++k) {
            QCOMPARE(many[order[k]].toLower(),
                     QStringLiteral("name %1").arg(k, 6, 10, QLatin1Char('0')));
        }
        // Sorted in parts and merged: equal texts keep the order they had, across the parts.
        QStringList repeated;
        for (int i = 0; i < 150000; ++i) {
            repeated << QStringLiteral("key %1").arg((i * 7919LL) % 5000, 4, 10, QLatin1Char('0'));
        }
        const std::vector<qint32> stable =
            records::exchangeSortOrder(store::RecordArray::fromStrings(repeated));
        QCOMPARE(stable.size(), std::size_t{150000});
        for (std::size_t k = 1; k < stable.size(); ++k) {
            const int c = repeated[stable[k - 1]].compare(repeated[stable[k]]);
            QVERIFY2(c < 0 || (c == 0 && stable[k - 1] < stable[k]),
                     qPrintable(QString::number(k)));
        }

        platform::FakeScreen screen;
        StateFixture f({"delta", "Bob", "", "bob", "al"}, {"b"}, {"c"});
        f.state.services.screen = screen;
        f.list(1).setListIndex(1);  // "Bob"
        f.state.searchBox.userTyped(QStringLiteral("b"));
        press(f.state, Command::Sort);
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"", "al", "bob", "Bob", "delta"}));
        // Listed again whole, and the first row showing "Bob" selected; the busy pointer shown
        // and taken back.
        QCOMPARE(f.rows(1), QStringList({"1|al", "2|bob", "3|Bob", "4|delta"}));
        QCOMPARE(f.seen(), "focus 1: 2* -1 -1 | Bob");
        QVERIFY(f.slot(1).changed && screen.busyPointers == 0);

        // A sort the memory left cannot hold leaves the records and says why.
        platform::FakeMemoryLimits memory;
        memory.given = {records::exchangeSortMemory(5) - 1, QStringLiteral("the test's limit")};
        StateFixture small({"b", "a", "c", "B", "A"}, {"b"}, {"c"});
        small.state.services.memory = memory;
        small.list(1).setListIndex(0);
        press(small.state, Command::Sort);
        QVERIFY(!small.slot(1).changed &&
                small.slot(1).records.toStringList() == QStringList({"b", "a", "c", "B", "A"}));
        QVERIFY2(small.messages.shown.last().text.startsWith(
                     QStringLiteral("The records of \"/data/phone_numbers.txt\" were not sorted:"
                                    "\nSorting its 5 records would take about")),
                 qPrintable(small.messages.shown.last().text));
    }

    void compactingKeepsEveryRowOnItsRecord() {
        StateFixture f({"alpha", "", "   ", "beta", ""}, {"", ""}, {"c"});
        f.list(1).setListIndex(1);  // beta, typed into before the compaction
        f.state.editBox.setText(QStringLiteral("beta 1"));
        app::menuCommand(f.state, MenuCommand::Compact);
        QCOMPARE(f.slot(1).records.toStringList() + f.slot(2).records.toStringList() + f.rows(1),
                 QStringList({"alpha", "beta 1", "", "0|alpha", "1|beta 1"}));
        QVERIFY(f.slot(1).changed && f.slot(2).changed && f.slot(3).changed);
        // Editing the selected row still reaches its own record.
        f.state.editBox.setText(QStringLiteral("beta 2"));
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"alpha", "beta 2", ""}));
    }

    // Compact takes out blank records and nothing else: a file's final line break stays, and a
    // record New adds afterwards ends with the file's line break too.
    void compactingKeepsTheFilesLineEnds() {
        const struct {
            QByteArray before, compacted, withNew;
        } files[] = {
            {"a\r\nb\r\n", "a\r\nb\r\n", "a\r\nb\r\nNew Item\r\n"},
            {"a\r\n\r\n  \r\nb\r\n\r\n", "a\r\nb\r\n", "a\r\nb\r\nNew Item\r\n"},
            {"a\nb", "a\nb", "a\nb\nNew Item"},
            {"\r\n\r\n", "", "New Item"},
        };
        for (const auto& file : files) {
            Files w({file.before, "x\r\n", "y"});
            app::menuCommand(w.state, MenuCommand::Compact);
            QVERIFY(w.save(1));
            QCOMPARE(readBytes(w.file(1)), file.compacted);
            w.state.listWithFocus = SlotId::A;
            press(w.state, Command::New);
            QVERIFY(w.save(1));
            QCOMPARE(readBytes(w.file(1)), file.withNew);
        }
    }

    void backupAndRestoreAreAllOrNothing() {
        Files w({"one\r\n", "two\r\n", "three\r\n"});
        app::menuCommand(w.state, MenuCommand::Backup);
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(readBytes(w.file(n) + ".old"), readBytes(w.file(n)));
        }
        // Saved edits are undone by a restore; the changed flag stays, so closing still asks.
        w.slot(2).records.set(0, QStringLiteral("changed"));
        w.slot(2).changed = true;
        QVERIFY(records::saveFile(w.state.files(), SlotId::B));
        app::menuCommand(w.state, MenuCommand::Restore);
        QCOMPARE(readBytes(w.file(2)), QByteArray("two\r\n"));
        QCOMPARE(w.slot(2).records.text(0), QStringLiteral("two"));
        QVERIFY(w.slot(2).changed);

        // A missing source, or a copy that fails anywhere, changes no file at all.
        QFile::remove(w.file(3) + ".old");
        QVERIFY(writeBytes(w.file(1), "one edited\r\n"));
        app::menuCommand(w.state, MenuCommand::Restore);
        QCOMPARE(readBytes(w.file(1)), QByteArray("one edited\r\n"));
        QVERIFY(w.messages.shown.last().text.contains(w.file(3) + ".old"));
        const auto files = [&](const char* suffix) {
            QList<QByteArray> out;
            for (int n = 1; n <= 3; ++n) {
                out << readBytes(w.file(n) + suffix);
            }
            return out;
        };
        const auto put = [&](const char* suffix, const QList<QByteArray>& bytes) {
            for (int n = 1; n <= 3; ++n) {
                QVERIFY(writeBytes(w.file(n) + suffix, bytes[n - 1]));
            }
        };
        w.services.disk.plan({});
        app::menuCommand(w.state, MenuCommand::Backup);
        const int steps = w.services.disk.steps();
        const QList<QByteArray> made = files(".old"), stale(3, "stale");
        // Whatever step fails, or is the last before a kill (the next start then undoes what
        // was done), a backup leaves every old backup as it was or writes every one; a restore
        // leaves every data file or makes every one its backup.
        for (const char* target : {".old", ""}) {
            const bool backup = *target != '\0';
            const MenuCommand command = backup ? MenuCommand::Backup : MenuCommand::Restore;
            for (int step = 0; step < steps; ++step) {
                const QString where = QStringLiteral("%1 %2").arg(target).arg(step);
                put(target, stale);
                put(backup ? "" : ".old", made);
                w.services.disk.plan({{step}, -1});
                app::menuCommand(w.state, command);
                w.services.disk.plan({});
                QVERIFY2(files(target) == made || files(target) == stale, qPrintable(where));
#ifdef Q_OS_UNIX
                put(target, stale);
                const pid_t child = ::fork();
                if (child == 0) {
                    w.services.disk.beforeEachStep([step](int at) {
                        if (at == step) {
                            ::_exit(0);
                        }
                    });
                    app::menuCommand(w.state, command);
                    ::_exit(0);
                }
                int status = 0;
                QVERIFY(::waitpid(child, &status, 0) == child);
                (void)platform::recoverInterruptedSaves(w.services.disk);
                QVERIFY2(files(target) == made || files(target) == stale, qPrintable(where));
#endif
            }
        }
        // No temporary file is left.
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 6);
    }

    void anUnreadableFileIsNeverSavedOver() {
        if (!QFile(kUnreadableFile).open(QIODevice::ReadOnly) ||
            QFile(kUnreadableFile).read(1).size() != 0) {
            QSKIP("this system has no file that fails on reading");
        }
        StateFixture f({"kept"}, {}, {});
        f.slot(1).changed = true;
        f.slot(1).fileName = kUnreadableFile;
        records::loadFile(f.state.files(), SlotId::A);
        QCOMPARE(f.slot(1).records.toStringList() + f.rows(1), QStringList({"kept", "0|kept"}));
        QVERIFY(f.slot(1).changed);
        QVERIFY(!records::saveFile(f.state.files(), SlotId::A));
        QCOMPARE(f.messages.shown.size(), 2);  // the failed read and the refused save
        QVERIFY(f.messages.shown[0].text.contains(kUnreadableFile) &&
                f.messages.shown[1].text.contains(kUnreadableFile));
    }

    void savingKeepsTheFormatAndAsksBeforeOverwritingWhatItDidNotRead() {
        Files w({"mine\r\n", "caf\xE9\r\n", ""});
        lists::FileSlot& tagged = w.slot(2);
        tagged.records.set(0, QStringLiteral("café-----crème"));
        QVERIFY(records::saveFile(w.state.files(), SlotId::B));
        QCOMPARE(readBytes(tagged.fileName), QByteArray("caf\xE9\r\n-----cr\xE8me\r\n"));

        // A failed save tells the user which file, and keeps the changes.
        tagged.fileName = w.dir.filePath(QStringLiteral("gone/taglines.txt"));
        tagged.disk().stamp = {};
        tagged.changed = true;
        QVERIFY(!records::saveFile(w.state.files(), SlotId::B));
        QCOMPARE(w.messages.shown.size(), 1);
        QVERIFY(w.messages.shown[0].text.contains(tagged.fileName) && tagged.changed);
        QCOMPARE(tagged.records.toStringList(), QStringList({"café-----crème", ""}));
    }

    void aCharacterTheEncodingLacksIsAskedAboutBeforeTheFileBecomesUtf8() {
        Files w({"caf\xE9\r\n-----cr\xE8me\r\nna\xEFve\r\n", "plain\r\n", "\xA0x\r\n"});
        lists::FileSlot& slot = w.slot(1);
        platform::FakeMessageBoxes& messages = w.messages;
        QCOMPARE(slot.format.encoding, store::Encoding::Windows1252);
        const QByteArray before = readBytes(slot.fileName);
        slot.records.set(1, QStringLiteral("naïve ω and 😀"));
        slot.changed = true;

        // Cancel (what Enter and Escape choose) writes nothing and keeps the edit; the first
        // character the code page lacks is named.
        QVERIFY(!records::saveFile(w.state.files(), SlotId::A));
        QCOMPARE(messages.shown.size(), 1);  // the question, and no failure told
        QCOMPARE(messages.shown[0].text,
                 slot.fileName + QStringLiteral(" is saved in Windows-1252, which cannot hold "
                                                "'ω'. Save the whole file as UTF-8?"));
        QCOMPARE(messages.shown[0].choices, QStringList({"Save as UTF-8", "Cancel"}));
        QCOMPARE(readBytes(slot.fileName), before);

        // The save at close asks too, with AutoSave: Cancel keeps the window open and the edit.
        w.state.options.setChecked(Option::AutoSave, true);
        QVERIFY(!app::queryClose(w.state));
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(readBytes(slot.fileName), before);

        // Save as UTF-8 writes every record in UTF-8, and the file asks no more.
        messages.choiceAnswers = {0};
        QVERIFY(app::queryClose(w.state));
        QCOMPARE(readBytes(slot.fileName),
                 QStringLiteral("café\r\n-----crème\r\nnaïve ω and 😀\r\n").toUtf8());
        QVERIFY(slot.format.encoding == store::Encoding::Utf8 && !slot.changed);
        QVERIFY(records::saveFile(w.state.files(), SlotId::A));
        QCOMPARE(messages.shown.size(), 3);

        // A character that shows no mark of its own is named by its code.
        w.slot(3).records.set(0, QStringLiteral("\u00A0zero\u200Bwidth"));
        QVERIFY(!records::saveFile(w.state.files(), SlotId::C));
        QVERIFY(messages.shown.last().text.contains("cannot hold the character U+200B."));
        QCOMPARE(readBytes(w.file(3)), QByteArray("\xA0x\r\n"));
    }

    void nothingButARegularFileIsReplaced() {
#ifndef Q_OS_UNIX
        QSKIP("named pipes and device nodes are Unix's");
#else
        Files w({"a\r\n", "b\r\n", "c\r\n"});
        platform::FakeMessageBoxes& messages = w.messages;
        lists::FileSlot& slot = w.slot(1);
        QTemporaryDir elsewhere;
        const QString pipe = elsewhere.filePath("pipe");
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
        const QString pipeHere = w.dir.filePath("pipe.txt");
        QVERIFY(::mkfifo(QFile::encodeName(pipeHere).constData(), 0644) == 0);
        const QString folder = w.dir.filePath("folder.txt");
        QVERIFY(QDir(w.dir.path()).mkdir("folder.txt"));
        struct Case {
            QString name, target;  // the name, and what stands behind it
            const char* said;
        };
        QList<Case> cases = {{w.dir.filePath("a.txt"), pipe, "a named pipe"},
                             {pipeHere, pipeHere, "a named pipe"},
                             {folder, folder, "a folder"}};
        // A device node where this user may make one (root may); a link to it above all.
        const QString device = elsewhere.filePath("null");
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
            cases.append({w.dir.filePath("b.txt"), device, "a device"});
        }
        for (const Case& c : cases) {
            if (c.name != c.target) {
                QVERIFY(QFile::link(c.target, c.name));
            }
            const platform::PathKind kind = platform::pathKind(c.target);
            slot.fileName = c.name;
            records::loadFile(w.state.files(), SlotId::A);
            QVERIFY(messages.shown.last().text.contains(c.said));
            slot.records.set(0, QStringLiteral("edited"));
            const qsizetype from = messages.shown.size();
            messages.choiceAnswers = {0, 0};  // yes to anything that might be asked
            QVERIFY2(!records::saveFile(w.state.files(), SlotId::A), qPrintable(c.name));
            messages.choiceAnswers.clear();
            // Refused with the reason, naming what stands behind a link; nothing is asked.
            QCOMPARE(questionsSince(messages, from), 0);
            const QString told = messages.shown.last().text;
            QVERIFY2(told.contains(c.name) && told.contains(c.target) && told.contains(c.said) &&
                         told.contains("not a regular file"),
                     qPrintable(told));
            QCOMPARE(platform::pathKind(c.target), kind);
            QCOMPARE(QFileInfo(c.name).isSymLink(), c.name != c.target);
        }

        // A question about a link names the file behind it, the one a save writes.
        const QString target = elsewhere.filePath("target.txt");
        const QString link = w.dir.filePath("link.txt");
        QVERIFY(writeBytes(target, "linked\r\n"));
        QVERIFY(QFile::link(target, link));
        slot.fileName = link;
        records::loadFile(w.state.files(), SlotId::A);
        QVERIFY(writeBytes(target, "theirs, longer\r\n"));
        QVERIFY(!records::saveFile(w.state.files(), SlotId::A));  // Cancel
        QCOMPARE(messages.shown.last().text,
                 QStringLiteral("The data file \"%1\" (a symbolic link to \"%2\") was changed by "
                                "another program after Trovix read it.\n\nSaving replaces it "
                                "with the records shown here.")
                     .arg(link, target));
        QCOMPARE(readBytes(target), QByteArray("theirs, longer\r\n"));
#endif
    }

    // Another program's write, rename, append, removal or new file, before a save or at any step
    // of it, is never replaced unasked: the save asks, Cancel leaves the other program's file,
    // and Save Anyway writes the records once, with no question after.
    void anotherProgramsWriteIsNeverReplacedUnasked() {
#ifndef Q_OS_UNIX
        QSKIP("the status-change time that tells such writes apart is kept on Unix only");
#else
        Files w({"mine\r\n", "b\r\n", "c\r\n"});
        lists::FileSlot& slot = w.slot(1);
        const QString file = slot.fileName;
        struct Change {
            const char *what, *said;
            std::function<void()> make;
            bool whileWrittenInPlace;  // told apart even in the middle of an in-place write
            bool fromNothing = false;  // the list found no file there
        };
        const auto sameSizeTimeSetBack = [&] {
            const qint64 before = statusChangeTime(file);
            for (int tries = 0; tries < 100 && statusChangeTime(file) == before; ++tries) {
                QThread::msleep(10);
                QVERIFY(writeBytes(file, "MINE\r\n"));
                QVERIFY(testing::age(file));
            }
        };
        const Change changes[] = {
            {"changed", "changed", [&] { QVERIFY(writeBytes(file, "theirs, longer\r\n")); }, false},
            {"same size, time set back", "changed", sameSizeTimeSetBack, false},
            {"appended", "changed",
             [&] {
                 QFile f(file);
                 QVERIFY(f.open(QIODevice::Append) && f.write("x\r\n") == 3);
             },
             false},
            {"deleted", "deleted", [&] { QFile::remove(file); }, true},
            {"renamed over", "changed",
             [&] {
                 QVERIFY(writeBytes(file + ".new", "mine\r\n"));
                 QVERIFY(::rename(QFile::encodeName(file + ".new").constData(),
                                  QFile::encodeName(file).constData()) == 0);
             },
             true},
            {"made", "made", [&] { QVERIFY(writeBytes(file, "theirs\r\n")); }, true, true},
        };
        // The steps of a save on the disk; -1: the change comes before the save starts.
        int steps[2] = {};
        for (const bool inPlace : {false, true}) {
            QVERIFY(writeBytes(file, "mine\r\n"));
            records::loadFile(w.state.files(), SlotId::A);
            w.services.disk.plan({inPlace ? QList<int>{0} : QList<int>{}, -1});
            QVERIFY(w.save(1));
            steps[inPlace] = w.services.disk.steps();
        }
        for (const Change& change : changes) {
            for (const bool inPlace : {false, true}) {
                for (int step = -1; step < steps[inPlace]; ++step) {
                    // An in-place write of another program into the same file at the same time
                    // is told apart only until Trovix opens the file (its second step).
                    if (inPlace && step > 1 && !change.whileWrittenInPlace) {
                        continue;
                    }
                    // In place, step 0 is the file that cannot be made beside it; a list that
                    // found no file has none to write in place.
                    if (inPlace && (step == 0 || (step > 0 && change.fromNothing))) {
                        continue;
                    }
                    const QString where = QStringLiteral("%1, %2, step %3")
                                              .arg(change.what, inPlace ? "in place" : "beside")
                                              .arg(step);
                    QFile::remove(file);
                    if (!change.fromNothing) {
                        QVERIFY(writeBytes(file, "mine\r\n"));
                        QVERIFY(testing::age(file));
                    }
                    records::loadFile(w.state.files(), SlotId::A);
                    slot.records.set(0, QStringLiteral("edited"));
                    QByteArray theirs;
                    const auto makeChange = [&] {
                        change.make();
                        theirs = readBytes(file);
                    };
                    if (step < 0) {
                        makeChange();
                    }
                    w.services.disk.plan({inPlace ? QList<int>{0} : QList<int>{}, -1});
                    w.services.disk.beforeEachStep([&](int at) {
                        if (at == step) {
                            makeChange();
                        }
                    });
                    const qsizetype from = w.messages.shown.size();
                    w.messages.choiceAnswers = {1};  // Cancel: their file stays
                    const bool saved = w.save(1);
                    w.services.disk.beforeEachStep({});
                    w.services.disk.plan({});
                    QVERIFY2(!saved && readBytes(file) == theirs &&
                                 questionsSince(w.messages, from) == 1 &&
                                 w.told().contains(change.said),
                             qPrintable(where + ": " + w.told()));
                    w.messages.choiceAnswers = {0};  // Save Anyway
                    QVERIFY2(w.save(1) && readBytes(file).startsWith("edited"), qPrintable(where));
                    // Saved, the file is the list's own again: no question next time.
                    const qsizetype asked = w.messages.shown.size();
                    QVERIFY2(w.save(1) && w.messages.shown.size() == asked, qPrintable(where));
                }
            }
        }
        // No temporary file of a save is left beside the file.
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"file0.txt", "file1.txt", "file2.txt"}));
#endif
    }

    void questionsSayWhatStoodThereAndWhichListSavedTheFile() {
        Files w({"a\r\n", "b\r\n", "c\r\n"});
        const QString after = QStringLiteral("\n\nSaving replaces it with the records shown here.");
        // A folder when the list read its name.
        const QString folder = w.dir.filePath("was a folder");
        w.slot(1).fileName = folder;
        QVERIFY(QDir(w.dir.path()).mkdir("was a folder"));
        records::loadFile(w.state.files(), SlotId::A);
        w.slot(1).records.set(0, QStringLiteral("mine"));
        QVERIFY(QDir(w.dir.path()).rmdir("was a folder"));
        QVERIFY(writeBytes(folder, "theirs\r\n"));
        QVERIFY(!w.save(1));  // Cancel
        QCOMPARE(w.told(), QStringLiteral("When Trovix read \"%1\", it was a folder. Another "
                                          "program has put a file there since.")
                                   .arg(folder) +
                               after);
        QCOMPARE(readBytes(folder), QByteArray("theirs\r\n"));

        // The same file in lists 2 and 3: the second save names the first, not another program.
        w.slot(3).fileName = w.file(2);
        records::loadFile(w.state.files(), SlotId::C);
        w.slot(2).records.set(0, QStringLiteral("from list 2"));
        QVERIFY(w.save(2));
        w.slot(3).records.set(0, QStringLiteral("from list 3"));
        QVERIFY(!w.save(3));  // Cancel
        QCOMPARE(w.told(), QStringLiteral("The data file \"%1\" was saved from list 2 of this "
                                          "window after list 3 read it.")
                                   .arg(w.file(2)) +
                               after);
        QCOMPARE(readBytes(w.file(2)), QByteArray("from list 2\r\n"));
        // A change by another program after that save is still told as one.
        QVERIFY(writeBytes(w.file(2), "another program's\r\n"));
        QVERIFY(!w.save(3));
        QVERIFY(w.told().contains("changed by another program"));
    }

    void aNameThatIsNotValidUtf8IsRefusedNotGuessed() {
#ifndef Q_OS_UNIX
        QSKIP("file names of any bytes are Unix's");
#else
        Files w({"a\r\n", "b\r\n", "c\r\n"});
        platform::FakeFileDialog files;
        w.state.services.files = files;
        w.state.listWithFocus = lists::SlotId::A;
        const QString kept = w.file(1);
        const QByteArray bytes = QFile::encodeName(w.dir.path()) + "/\xFF\xFE.txt";
        QVERIFY(testing::writeByName(bytes, "theirs\r\n"));
        // Qt reads the bytes as "\uFFFD\uFFFD.txt", typed so into the dialog: another file.
        files.result = QFile::decodeName(bytes);
        QVERIFY(files.result.endsWith(QStringLiteral("/\uFFFD\uFFFD.txt")));
        press(w.state, Command::Select);
        QCOMPARE(w.file(1), kept);
        QVERIFY(w.told().contains(files.result) && w.told().contains("not valid UTF-8"));
        w.slot(1).changed = true;
        press(w.state, Command::Save);
        QVERIFY(readBytes(kept) == "a\r\n" && !QFileInfo::exists(files.result));

        // A list that holds such a name (from older settings) neither reads nor saves by it.
        w.slot(1).fileName = files.result;
        records::loadFile(w.state.files(), SlotId::A);
        QVERIFY(w.rows(1) == QStringList({"0|<file not found>"}) && w.told().contains("UTF-8"));
        QVERIFY(!w.save(1));
        QVERIFY(w.told().contains("could not be saved") && !QFileInfo::exists(files.result));

        // A name that really holds the character (its bytes are valid UTF-8) is a name like any.
        const QString real = w.dir.filePath(QStringLiteral("\uFFFD.txt"));
        QVERIFY(writeBytes(real, "real\r\n"));
        files.result = real;
        press(w.state, Command::Select);
        QCOMPARE(w.rows(1), QStringList({"0|real"}));
        w.slot(1).records.set(0, QStringLiteral("saved"));
        press(w.state, Command::Save);
        QCOMPARE(readBytes(real), QByteArray("saved\r\n"));
        QCOMPARE(::unlink(bytes.constData()), 0);  // a name the folder's removal cannot reach
#endif
    }

    void fileCommandsWorkOnTheListWithFocus() {
        Files w({"a\r\n", "b\r\n", "c\r\n"});
        platform::FakeFileDialog files;
        platform::FakeShell shell;
        w.state.services.files = files;
        w.state.services.shell = shell;
        w.state.programFolder = w.dir.path();

        // With no list in focus nothing runs but the status bar refresh.
        w.state.listWithFocus = std::nullopt;
        for (const Command c : {Command::Select, Command::Save, Command::Open, Command::Refresh}) {
            press(w.state, c);
        }
        QVERIFY(files.calls.isEmpty() && shell.calls.isEmpty());

        w.state.listWithFocus = lists::SlotId::B;
        files.result = w.dir.filePath("new name.txt");  // need not exist
        press(w.state, Command::Select);
        QCOMPARE(files.calls.last().title + files.calls.last().startFolder,
                 "Select Text Data FileB" + w.dir.path());
        QCOMPARE(files.calls.last().filterLabel, QStringLiteral("Text Files (*.*)"));
        QVERIFY(w.file(2) == files.result && w.rows(2) == QStringList({"0|<file not found>"}));
        QCOMPARE(w.state.toolbar.button(Command::FileB).toolTip, QStringLiteral("new name.txt"));

        // Save writes even without changes and clears the flag.
        w.slot(2).changed = true;
        press(w.state, Command::Save);
        QVERIFY(readBytes(files.result) == "<file not found>" && !w.slot(2).changed);

        // Open hands the name to the editor as it is; a failure is told.
        w.slot(2).fileName = w.dir.filePath("no folder/x.txt");
        press(w.state, Command::Open);
        QCOMPARE(shell.calls.last().target, w.dir.filePath("no folder/x.txt"));
        shell.succeed = false;
        press(w.state, Command::Open);
        QVERIFY(w.told().contains("No text editor"));

        // Refresh reads the file again (edits of the slot dropped, flag kept) and selects the
        // first record; an empty file selects nothing.
        w.state.listWithFocus = lists::SlotId::A;
        w.slot(1).records.set(0, QStringLiteral("unsaved"));
        w.slot(1).changed = true;
        press(w.state, Command::Refresh);
        QVERIFY(w.state.editBox.text() == "a" && w.slot(1).changed);
        QVERIFY(writeBytes(w.file(1), ""));
        press(w.state, Command::Refresh);
        QCOMPARE(w.list(1).listIndex(), -1);
    }

    void fullDataViewSwitchesTheThreeLists() {
        StateFixture f({"a-----a2", "b"}, {}, {"c-----c2-----c3"});
        QList<bool> busyDuringChange;
        QObject::connect(&f.state.editBox, &EditBox::changed,
                         [&] { busyDuringChange << f.state.busy; });
        const auto buttons = [&] {
            QString out;
            for (const Command command : {Command::New, Command::Delete, Command::Sort}) {
                out += f.state.toolbar.button(command).enabled ? u'1' : u'0';
            }
            return out;
        };
        f.state.toolbar.setPressed(Command::Data, true);
        app::toolbarButtonClick(f.state, Command::Data);
        QCOMPARE(f.rows(1) + f.rows(3),
                 QStringList({"0|a", "-1|-----a2", "1|b", "0|c", "-1|-----c2", "-1|-----c3"}));
        QCOMPARE(f.seen() + buttons(), "focus 0: -1 -1 -1 | <disabled> (off)000");

        f.state.toolbar.setPressed(Command::Data, false);
        app::toolbarButtonClick(f.state, Command::Data);
        QCOMPARE(f.rows(1) + f.rows(3), QStringList({"0|a", "1|b", "0|c"}));
        QCOMPARE(f.seen() + buttons(), "focus 0: -1 -1 -1 | 111");
        // The program's own writes to the edit box happened while it was busy.
        QCOMPARE(busyDuringChange, QList<bool>({true, true}));
        QVERIFY(!f.state.busy);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
