#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <random>

#include "app/commands.h"
#include "app/options.h"
#include "platform/fake/fake_file_dialog.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_shell.h"
#include "platform/safe_file.h"
#include "records/record_order.h"
#include "support/files.h"
#include "support/state_fixture.h"

using namespace trovix;
using store::SlotId;
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
struct Files {
    QTemporaryDir dir;
    StateFixture f{{}, {}, {}};
    explicit Files(const QList<QByteArray>& contents) {
        for (int i = 0; i < 3; ++i) {
            f.slot(i + 1).fileName = dir.filePath(QStringLiteral("file%1.txt").arg(i));
            writeBytes(f.slot(i + 1).fileName, contents[i]);
            records::loadFile(f.state, static_cast<SlotId>(i));
        }
    }
    QString file(int n) { return f.slot(n).fileName; }
};

}  // namespace

class TestRecordCommands : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // A new record never takes an element that holds a record.
    void newItemKeepsEveryRecord_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("after a final line break")
            << QStringList{"alpha", "beta", ""} << QStringList{"alpha", "beta", "New Item", ""};
        QTest::newRow("empty file") << QStringList{} << QStringList{"New Item"};
        QTest::newRow("no final line break")
            << QStringList{"alpha", "beta"} << QStringList{"alpha", "beta", "New Item"};
        QTest::newRow("missing file")
            << QStringList{"<file not found>"} << QStringList{"<file not found>", "New Item"};
        QTest::newRow("sorted: blanks first")
            << QStringList{"", "  ", "alpha"} << QStringList{"", "  ", "alpha", "New Item"};
        QTest::newRow("last element spaces only")
            << QStringList{"alpha", "   "} << QStringList{"alpha", "   ", "New Item"};
    }
    void newItemKeepsEveryRecord() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        StateFixture f(before, {"b"}, {"c"});
        f.state.listWithFocus = 1;
        press(f.state, Command::New);
        QCOMPARE(f.slot(1).records.toStringList(), after);
        const store::ResultList& list = f.list(1);
        QCOMPARE(list.listIndex(), list.count() - 1);
        QCOMPARE(list.text(list.count() - 1), QStringLiteral("New Item"));
        QCOMPARE(f.slot(1).records.text(list.itemData(list.count() - 1)),
                 QStringLiteral("New Item"));
        QVERIFY(f.state.editBox.isEnabled() && f.state.editBox.text() == "New Item");
        QVERIFY(f.slot(1).changed);
        QVERIFY(f.state.statusBar.panel(1).endsWith(QStringLiteral("(%1)").arg(list.count())));
    }

    void deleteBlanksTheRecordAndSelectsTheNextRow() {
        StateFixture f({"alpha", "beta", "gamma"}, {"only"}, {"c"});
        f.list(1).setListIndex(1);
        press(f.state, Command::Delete);
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"alpha", "", "gamma"}));
        QCOMPARE(f.rows(1), QStringList({"0|alpha", "2|gamma"}));
        QCOMPARE(f.state.editBox.text(), QStringLiteral("gamma"));  // the row below
        press(f.state, Command::Delete);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("alpha"));  // the last row: the one above
        QVERIFY(f.slot(1).changed);
        // A list's last row stays; with the header row shown, its one record can go.
        press(f.state, Command::Delete);
        QCOMPARE(f.rows(1), QStringList({"0|alpha"}));
        f.list(2).setListIndex(0);
        app::optionMenuClick(f.state, Option::DisplayFileNames);
        f.list(2).setListIndex(1);
        press(f.state, Command::Delete);
        QCOMPARE(f.list(2).count(), 1);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("<disabled>"));
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
                d << pool[static_cast<qsizetype>(random() % pool.size())];
            }
            const std::vector<qint32> order =
                records::exchangeSortOrder(store::RecordArray::fromStrings(d));
            QStringList sorted;
            for (const qint32 i : order) {
                sorted << d[i];
            }
            QVERIFY2(sorted == exchangeSorted(d), qPrintable(d.join(u'|')));
        }

        platform::FakeScreen screen;
        StateFixture f({"delta", "Bob", "", "bob", "al"}, {"b"}, {"c"});
        f.state.services.screen = &screen;
        f.list(1).setListIndex(1);  // "Bob"
        f.state.searchBox.userTyped(QStringLiteral("b"));
        press(f.state, Command::Sort);
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"", "al", "bob", "Bob", "delta"}));
        // Listed again whole, and the first row showing "Bob" selected.
        QCOMPARE(f.rows(1), QStringList({"1|al", "2|bob", "3|Bob", "4|delta"}));
        QCOMPARE(f.state.editBox.text(), QStringLiteral("Bob"));
        QVERIFY(f.slot(1).changed);
        QCOMPARE(screen.busyPointers, 0);  // shown and taken back
    }

    void compactingKeepsEveryRowOnItsRecord() {
        StateFixture f({"alpha", "", "   ", "beta", ""}, {"", ""}, {"c"});
        f.list(1).setListIndex(1);  // beta
        app::menuCommand(f.state, MenuCommand::Compact);
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"alpha", "beta"}));
        QCOMPARE(f.slot(2).records.toStringList(), QStringList());
        QCOMPARE(f.rows(1), QStringList({"0|alpha", "1|beta"}));
        QVERIFY(f.slot(1).changed && f.slot(2).changed && f.slot(3).changed);
        // Editing the selected row still reaches its own record.
        f.state.editBox.setText(QStringLiteral("beta 2"));
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"alpha", "beta 2"}));
    }

    void backupAndRestoreAreAllOrNothing() {
        Files w({"one\r\n", "two\r\n", "three\r\n"});
        app::menuCommand(w.f.state, MenuCommand::Backup);
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(readBytes(w.file(n) + ".old"), readBytes(w.file(n)));
        }
        // Saved edits are undone by a restore; the changed flag stays, so closing still asks.
        w.f.slot(2).records.set(0, QStringLiteral("changed"));
        w.f.slot(2).changed = true;
        QVERIFY(records::saveFile(w.f.state, SlotId::B));
        app::menuCommand(w.f.state, MenuCommand::Restore);
        QCOMPARE(readBytes(w.file(2)), QByteArray("two\r\n"));
        QCOMPARE(w.f.slot(2).records.text(0), QStringLiteral("two"));
        QVERIFY(w.f.slot(2).changed);

        // A missing source, or a copy that fails anywhere, changes no file at all.
        QFile::remove(w.file(3) + ".old");
        writeBytes(w.file(1), "one edited\r\n");
        app::menuCommand(w.f.state, MenuCommand::Restore);
        QCOMPARE(readBytes(w.file(1)), QByteArray("one edited\r\n"));
        QVERIFY(w.f.messages.shown.last().text.contains(w.file(3) + ".old"));
        // A backup that fails at any step leaves every old backup as it was.
        const auto backups = [&] {
            return QList<QByteArray>{readBytes(w.file(1) + ".old"), readBytes(w.file(2) + ".old"),
                                     readBytes(w.file(3) + ".old")};
        };
        platform::setWriteFaultForTesting(platform::WriteFault{});
        app::menuCommand(w.f.state, MenuCommand::Backup);
        const int steps = platform::checkedStepsForTesting();
        const QList<QByteArray> made = backups();
        for (int step = 0; step < steps; ++step) {
            for (int n = 1; n <= 3; ++n) {
                writeBytes(w.file(n) + ".old", "old backup");
            }
            platform::setWriteFaultForTesting(platform::WriteFault{{step}, -1});
            app::menuCommand(w.f.state, MenuCommand::Backup);
            platform::setWriteFaultForTesting(std::nullopt);
            const QList<QByteArray> now = backups();
            QVERIFY2(now == made || now == QList<QByteArray>(3, "old backup"),
                     qPrintable(QString::number(step)));
        }
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files).size(), 6);  // no temporary left
    }

    void fileCommandsWorkOnTheListWithFocus() {
        Files w({"a\r\n", "b\r\n", "c\r\n"});
        MainState& state = w.f.state;
        platform::FakeFileDialog files;
        platform::FakeShell shell;
        state.services.files = &files;
        state.services.shell = &shell;
        state.programFolder = w.dir.path();

        // With no list in focus nothing runs but the status bar refresh.
        state.listWithFocus = 0;
        for (const Command c : {Command::Select, Command::Save, Command::Open, Command::Refresh}) {
            press(state, c);
        }
        QVERIFY(files.calls.isEmpty() && shell.calls.isEmpty());

        state.listWithFocus = 2;
        files.result = w.dir.filePath("new name.txt");  // need not exist
        press(state, Command::Select);
        QCOMPARE(files.calls.last().title, QStringLiteral("Select Text Data FileB"));
        QCOMPARE(files.calls.last().startFolder, w.dir.path());
        QCOMPARE(files.calls.last().filterLabel, QStringLiteral("Text Files (*.*)"));
        QCOMPARE(w.f.slot(2).fileName, files.result);
        QCOMPARE(w.f.rows(2), QStringList({"0|<file not found>"}));
        QCOMPARE(state.toolbar.button(Command::FileB).toolTip, QStringLiteral("new name.txt"));

        // Save writes even without changes and clears the flag; a failure keeps it.
        w.f.slot(2).changed = true;
        press(state, Command::Save);
        QCOMPARE(readBytes(files.result), QByteArray("<file not found>"));
        QVERIFY(!w.f.slot(2).changed);
        w.f.slot(2).fileName = w.dir.filePath("no folder/x.txt");
        w.f.slot(2).changed = true;
        press(state, Command::Save);
        QVERIFY(w.f.slot(2).changed);
        QVERIFY(w.f.messages.shown.last().text.contains("no folder/x.txt"));

        // Open hands the name to the editor as it is; a failure is told.
        press(state, Command::Open);
        QCOMPARE(shell.calls.last().target, w.dir.filePath("no folder/x.txt"));
        shell.succeed = false;
        press(state, Command::Open);
        QVERIFY(w.f.messages.shown.last().text.contains("No text editor"));

        // Refresh reads the file again (edits of the slot dropped, flag kept) and selects the
        // first record; an empty file selects nothing.
        state.listWithFocus = 1;
        w.f.slot(1).records.set(0, QStringLiteral("unsaved"));
        w.f.slot(1).changed = true;
        press(state, Command::Refresh);
        QCOMPARE(state.editBox.text(), QStringLiteral("a"));
        QVERIFY(w.f.slot(1).changed);
        writeBytes(w.file(1), "");
        press(state, Command::Refresh);
        QCOMPARE(w.f.list(1).listIndex(), -1);
    }
};

QTEST_GUILESS_MAIN(TestRecordCommands)
#include "test_record_commands.moc"
