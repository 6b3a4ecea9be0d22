#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <functional>
#include <numeric>

#include "app/commands.h"
#include "app/search_commands.h"
#include "app/shutdown.h"
#include "platform/fake/fake_file_dialog.h"
#include "platform/fake/fake_memory_limits.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_shell.h"
#include "platform/safe_file.h"
#include "records/record_display.h"
#include "records/record_editing.h"
#include "records/record_order.h"
#include "support/files.h"
#include "support/state_fixture.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
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
    bool save(int n) { return records::saveFile(state.files(), static_cast<SlotId>(n - 1)).ok(); }
    // The text of the last message shown.
    QString told() const {
        return messages.shown.isEmpty() ? QString() : messages.shown.last().text;
    }
};

// A path that exists as a regular file but fails when read.
const QString kUnreadableFile = QStringLiteral("/proc/self/mem");

// The boxes shown since `from` that asked a question (had buttons of their own words).
qsizetype questionsSince(const platform::FakeMessageBoxes& messages, qsizetype from) {
    return std::count_if(messages.shown.begin() + from, messages.shown.end(),
                         [](const auto& box) { return !box.choices.isEmpty(); });
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
        QCOMPARE(f.state.editBox.text() + '|' + f.state.statusBar.panel(4), "a\r\n\r\nb|   0   0");
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
        // A list's last row stays; with the header row shown, its one record can go.
        press(f.state, Command::Delete);
        QCOMPARE(f.rows(1), QStringList({"0|alpha"}));
        f.list(2).setListIndex(0);
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        f.list(2).setListIndex(1);
        press(f.state, Command::Delete);
        QVERIFY(f.list(2).count() == 1 && f.state.editBox.text() == "<disabled>");
        QVERIFY(f.slot(1).changed && !f.slot(3).changed);
    }

    void sortGivesTheExchangeSortsOrder() {
        // Lower-case forms compared by code point, and equal ones in the order the exchange sort
        // the program always used leaves them, which is not always the order they had.
        const QStringList d = {"zoë",       "Bob",   "ab",  "École", "  ", "bob",
                               "Ann-----x", "a",     "BOB", "Zoë",   "",   "al",
                               "ann-----X", "école", "b",   "Al"};
        QStringList sorted;
        for (const qint32 i : records::exchangeSortOrder(store::RecordArray::fromStrings(d))) {
            sorted << d[i];
        }
        QCOMPARE(sorted, QStringList({"", "  ", "a", "ab", "al", "Al", "ann-----X", "Ann-----x",
                                      "b", "BOB", "Bob", "bob", "Zoë", "zoë", "École", "école"}));
        // A large array is sorted in parts at once and merged: ascending, ignoring case, and
        // equal texts in the order they had, across the parts (a text's case follows its key,
        // so that equal lower-case forms are equal texts).
        QStringList many;
        for (int i = 0; i < 150000; ++i) {
            const auto key = static_cast<int>((i * 7919LL) % 5000);
            many << (key % 3 == 0 ? QStringLiteral("KEY %1") : QStringLiteral("key %1"))
                        .arg(key, 4, 10, QLatin1Char('0'));
        }
        std::vector<qint32> expected(150000);
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(),
                         [&](qint32 a, qint32 b) { return many[a].toLower() < many[b].toLower(); });
        QVERIFY(records::exchangeSortOrder(store::RecordArray::fromStrings(many)) == expected);

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
        QVERIFY(readBytes(w.file(2)) == "two\r\n" && w.slot(2).records.text(0) == "two" &&
                w.slot(2).changed);

        // A missing source changes no file at all. (That the copies change all or none at any
        // failed step or kill is checked on the set of files they are, in test_safe_file.)
        QFile::remove(w.file(3) + ".old");
        QVERIFY(writeBytes(w.file(1), "one edited\r\n"));
        app::menuCommand(w.state, MenuCommand::Restore);
        QCOMPARE(readBytes(w.file(1)), QByteArray("one edited\r\n"));
        QVERIFY(w.messages.shown.last().text.contains(w.file(3) + ".old"));
        // No temporary file is left.
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
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
        QVERIFY(f.slot(1).changed && !records::saveFile(f.state.files(), SlotId::A));
        QCOMPARE(f.messages.shown.size(), 2);  // the failed read and the refused save
        QVERIFY(f.messages.shown[0].text.contains(kUnreadableFile) &&
                f.messages.shown[1].text.contains(kUnreadableFile));
    }

    void aCharacterTheEncodingLacksIsAskedAboutBeforeTheFileBecomesUtf8() {
        Files w({"caf\xE9\r\n-----cr\xE8me\r\nna\xEFve\r\n", "plain\r\n", "\xA0x\r\n"});
        lists::FileSlot& slot = w.slot(1);
        platform::FakeMessageBoxes& messages = w.messages;
        QCOMPARE(slot.format.encoding, store::Encoding::Windows1252);
        // A character the code page has is saved in it, with the file's line breaks.
        slot.records.set(1, QStringLiteral("naïve é"));
        QVERIFY(records::saveFile(w.state.files(), SlotId::A));
        const QByteArray before = readBytes(slot.fileName);
        QCOMPARE(before, QByteArray("caf\xE9\r\n-----cr\xE8me\r\nna\xEFve \xE9\r\n"));
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
        QVERIFY(!app::queryClose(w.state) && messages.shown.size() == 2 &&
                readBytes(slot.fileName) == before);

        // Save as UTF-8 writes every record in UTF-8, and the file asks no more.
        messages.choiceAnswers = {0};
        QVERIFY(app::queryClose(w.state));
        QCOMPARE(readBytes(slot.fileName),
                 QStringLiteral("café\r\n-----crème\r\nnaïve ω and 😀\r\n").toUtf8());
        QVERIFY(slot.format.encoding == store::Encoding::Utf8 && !slot.changed &&
                records::saveFile(w.state.files(), SlotId::A) && messages.shown.size() == 3);

        // A character that shows no mark of its own is named by its code.
        w.slot(3).records.set(0, QStringLiteral("\u00A0zero\u200Bwidth"));
        QVERIFY(!records::saveFile(w.state.files(), SlotId::C) &&
                messages.shown.last().text.contains("cannot hold the character U+200B.") &&
                readBytes(w.file(3)) == "\xA0x\r\n");
    }

    // What is not a regular file is never saved over (each kind is refused in test_safe_file):
    // the user is told why, naming what stands behind a link, and is asked nothing.
    void nothingButARegularFileIsReplaced() {
#ifndef Q_OS_UNIX
        QSKIP("named pipes are Unix's");
#else
        Files w({"a\r\n", "b\r\n", "c\r\n"});
        QTemporaryDir elsewhere;
        const QString pipe = elsewhere.filePath("pipe");
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
        w.slot(1).fileName = w.dir.filePath("a.txt");
        QVERIFY(QFile::link(pipe, w.file(1)));
        records::loadFile(w.state.files(), SlotId::A);
        QVERIFY(w.told().contains("a named pipe"));
        w.slot(1).records.set(0, QStringLiteral("edited"));
        const qsizetype from = w.messages.shown.size();
        w.messages.choiceAnswers = {0, 0};  // yes to anything that might be asked
        QVERIFY(!w.save(1));
        QCOMPARE(questionsSince(w.messages, from), 0);
        QVERIFY2(w.told().contains(w.file(1)) && w.told().contains(pipe) &&
                     w.told().contains("a named pipe, not a regular file"),
                 qPrintable(w.told()));
        QVERIFY(platform::pathKind(pipe) == platform::PathKind::NamedPipe &&
                QFileInfo(w.file(1)).isSymLink());
#endif
    }

    // Whatever stood at a list's file since it was read, made by another program's write,
    // rename, append, removal or new file, before a save or at any step of it, or by a save from
    // another list, is never replaced unasked: the save asks once, saying what happened, Cancel
    // leaves the file as the other left it, and Save Anyway writes the records, with no question
    // after.
    void whatAnotherWroteIsNeverReplacedUnasked() {
#ifndef Q_OS_UNIX
        QSKIP("the status-change time that tells such writes apart is kept on Unix only");
#else
        Files w({"mine\r\n", "b\r\n", "c\r\n"});
        const QString file = w.file(1);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath("target.txt");
        const QString link = w.dir.filePath("link.txt");
        const QString folder = w.dir.filePath("was a folder");
        QVERIFY(QFile::link(target, link));
        const auto mine = [&](const QString& name) {
            QFile::remove(name);
            QVERIFY(writeBytes(name, "mine\r\n") && testing::age(name));
        };
        const auto sameSizeTimeSetBack = [&] {
            const QDateTime before = QFileInfo(file).metadataChangeTime();
            for (int tries = 0; tries < 100 && QFileInfo(file).metadataChangeTime() == before;
                 ++tries) {
                QThread::msleep(10);
                QVERIFY(writeBytes(file, "MINE\r\n") && testing::age(file));
            }
        };
        const auto sameFileIn2And3 = [&] {
            w.slot(3).fileName = w.file(2);
            records::loadFile(w.state.files(), SlotId::B);
        };
        struct Change {
            const char* what;
            QString said;  // in the question
            std::function<void()> make;
            // Made before the save only, or at each step too: of a save beside the file only
            // (a list that found no file has none to write in place), or in place too as far as
            // it is told apart there (another program writing into the same file at the same
            // time is, until Trovix opens the file: its second step), or always.
            enum { Before, Beside, UpToOpen, Always } steps = Always;
            std::function<void()> setUp = {};  // list 1 reads its file "mine"
            int list = 1;                      // the list that saves
        };
        const Change changes[] = {
            {"changed", "changed", [&] { QVERIFY(writeBytes(file, "theirs, longer\r\n")); },
             Change::UpToOpen},
            {"same size, time set back", "changed", sameSizeTimeSetBack, Change::UpToOpen},
            {"appended", "changed",
             [&] {
                 QFile f(file);
                 QVERIFY(f.open(QIODevice::Append) && f.write("x\r\n") == 3);
             },
             Change::UpToOpen},
            {"deleted", "deleted", [&] { QFile::remove(file); }},
            {"renamed over", "changed",
             [&] {
                 QVERIFY(writeBytes(file + ".new", "mine\r\n") &&
                         ::rename(QFile::encodeName(file + ".new").constData(),
                                  QFile::encodeName(file).constData()) == 0);
             }},
            {"made", "made", [&] { QVERIFY(writeBytes(file, "theirs\r\n")); }, Change::Beside,
             [&] { QFile::remove(file); }},
            // A question about a link names the file behind it, the one a save writes.
            {"behind a link",
             QStringLiteral("The data file \"%1\" (a symbolic link to \"%2\") was changed by "
                            "another program after Trovix read it.\n\nSaving replaces it with "
                            "the records shown here.")
                 .arg(link, target),
             [&] { QVERIFY(writeBytes(target, "theirs, longer\r\n")); }, Change::Before,
             [&] {
                 mine(target);
                 w.slot(1).fileName = link;
             }},
            {"a folder when read",
             QStringLiteral("When Trovix read \"%1\", it was a folder. Another program has put "
                            "a file there since.")
                 .arg(folder),
             [&] { QVERIFY(QDir().rmdir(folder) && writeBytes(folder, "theirs\r\n")); },
             Change::Before,
             [&] {
                 w.slot(1).fileName = folder;
                 QFile::remove(folder);
                 QVERIFY(QDir().mkdir(folder));
             }},
            // The same file in lists 2 and 3: list 3 names list 2, not another program; a
            // change by another program after that save is still told as one.
            {"saved from list 2",
             QStringLiteral("The data file \"%1\" was saved from list 2 of this window after "
                            "list 3 read it.")
                 .arg(w.file(2)),
             [&] { QVERIFY(w.save(2)); }, Change::Before, sameFileIn2And3, 3},
            {"list 2, then another program", "changed by another program",
             [&] { QVERIFY(w.save(2) && writeBytes(w.file(2), "another program's\r\n")); },
             Change::Before, sameFileIn2And3, 3},
        };
        int steps[2] = {};
        for (const bool inPlace : {false, true}) {
            mine(file);
            records::loadFile(w.state.files(), SlotId::A);
            // The steps of a save on the disk, beside the file and in place.
            w.services.disk.plan({inPlace ? QList<int>{0} : QList<int>{}, -1});
            QVERIFY(w.save(1));
            steps[inPlace] = w.services.disk.steps();
        }
        for (const Change& change : changes) {
            for (const bool inPlace : {false, true}) {
                // -1: the change comes before the save starts. In place, step 0 is the file
                // that cannot be made beside it.
                for (int step = -1; step < steps[inPlace]; ++step) {
                    if (step >= 0 &&
                        (change.steps == Change::Before ||
                         (inPlace && (step == 0 || change.steps == Change::Beside ||
                                      (step > 1 && change.steps == Change::UpToOpen))))) {
                        continue;
                    }
                    const QString where =
                        QString::asprintf("%s, in place %d, step %d: ", change.what, inPlace, step);
                    w.slot(1).fileName = file;
                    change.setUp ? change.setUp() : mine(file);
                    const QString written = w.slot(change.list).fileName;
                    records::loadFile(w.state.files(), static_cast<SlotId>(change.list - 1));
                    w.slot(change.list).records.set(0, QStringLiteral("edited"));
                    QByteArray theirs;
                    const auto makeChange = [&] {
                        change.make();
                        theirs = readBytes(written);  // behind a link, the file it leads to
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
                    w.messages.choiceAnswers = {-1};  // Cancel: their file stays
                    const bool saved = w.save(change.list);
                    w.services.disk.beforeEachStep({});
                    w.services.disk.plan({});
                    QVERIFY2(!saved && readBytes(written) == theirs &&
                                 questionsSince(w.messages, from) == 1 &&
                                 w.told().contains(change.said),
                             qPrintable(where + w.told()));
                    w.messages.choiceAnswers = {-2};  // Save Anyway
                    QVERIFY2(w.save(change.list) && readBytes(written).startsWith("edited"),
                             qPrintable(where));
                    // Saved, the file is the list's own again: no question next time.
                    const qsizetype asked = w.messages.shown.size();
                    QVERIFY2(w.save(change.list) && w.messages.shown.size() == asked,
                             qPrintable(where));
                }
            }
        }
        // No temporary file of a save is left beside the files.
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"file0.txt", "file1.txt", "file2.txt", "link.txt", "was a folder"}));
#endif
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
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
