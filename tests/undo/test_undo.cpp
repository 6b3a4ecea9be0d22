#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <random>

#include "app/commands.h"
#include "app/file_commands.h"
#include "app/search_commands.h"
#include "app/undo_commands.h"
#include "platform/fake/fake_file_dialog.h"
#include "records/file_maintenance.h"
#include "support/files.h"
#include "support/state_fixture.h"

using namespace trovix;
using testing::StateFixture;

namespace {

// The records of the three slots and their changed flags, in one line.
QString snapshot(StateFixture& f) {
    QString out;
    for (int n = 1; n <= 3; ++n) {
        out += f.slot(n).records.toStringList().join(u'/') +
               (f.slot(n).changed ? QStringLiteral(" *| ") : QStringLiteral(" | "));
    }
    return out;
}

void press(MainState& state, Command command) {
    app::toolbarButtonPressed(state, command);
}

// The user types `text` at the end of the record shown in the edit box.
void typeInto(MainState& state, const QString& text) {
    for (const QChar c : text) {
        state.editBox.setText(state.editBox.text() + c);
    }
}

}  // namespace

class TestUndo : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // Every kind of step, undone one by one back to the start and redone to the end, puts back
    // the records, their order and the changed flags exactly.
    void everyStepGoesBackAndForthExactly() {
        StateFixture f({"pear", "Apple", " ", "fig", ""}, {"one", "", "two"}, {"x"});
        QStringList seen{snapshot(f)};
        QStringList names;
        const auto step = [&](const std::function<void()>& change) {
            change();
            seen << snapshot(f);
            names << f.state.edits.undoName();
        };
        step([&] {
            f.list(1).setListIndex(0);
            typeInto(f.state, QStringLiteral("s!"));
        });
        step([&] { press(f.state, Command::New); });  // takes the empty last element
        step([&] {
            f.list(1).setListIndex(1);
            press(f.state, Command::Delete);
        });
        step([&] { press(f.state, Command::Sort); });
        step([&] { app::menuCommand(f.state, MenuCommand::Compact); });
        step([&] { press(f.state, Command::New); });  // no empty last element: appends one
        QCOMPARE(names, QStringList({"Typing", "New", "Delete", "Sort of phone_numbers.txt",
                                     "Compact", "New"}));
        QCOMPARE(seen.last(), "fig/New Item/pears!/New Item *| one/two *| x *| ");

        for (qsizetype k = seen.size() - 1; k > 0; --k) {
            QCOMPARE(f.state.edits.undoName(), names[k - 1]);
            app::undoCommand(f.state);
            QCOMPARE(snapshot(f), seen[k - 1]);
        }
        QVERIFY(!f.state.edits.canUndo() && f.state.edits.undoName().isEmpty());
        app::undoCommand(f.state);  // nothing left: nothing changes
        QCOMPARE(snapshot(f), seen.first());
        for (qsizetype k = 1; k < seen.size(); ++k) {
            app::redoCommand(f.state);
            QCOMPARE(snapshot(f), seen[k]);
        }
        QVERIFY(!f.state.edits.canRedo());

        // A new step after two undos drops both steps that could have been redone: undoing it
        // goes back to the step before them.
        app::undoCommand(f.state);
        app::undoCommand(f.state);
        f.list(2).setListIndex(0);
        press(f.state, Command::Delete);
        QVERIFY(!f.state.edits.canRedo());
        QCOMPARE(f.state.edits.undoName(), QStringLiteral("Delete"));
        app::undoCommand(f.state);
        QCOMPARE(snapshot(f) + f.state.edits.undoName(), seen[4] + names[3]);
    }

    // The undone record is listed and selected, in the edit box; a search shown is run again.
    void anUndoShowsTheRestoredRecord() {
        StateFixture f({"Smith, Ann", "Jones, Bo", "Smithers, Al"}, {"Smith St"}, {"x"});
        f.state.searchBox.userTyped(QStringLiteral("smith"));
        app::search(f.state);
        QCOMPARE(f.rows(1), QStringList({"0|Smith, Ann", "2|Smithers, Al"}));
        f.list(1).setListIndex(1);
        press(f.state, Command::Delete);
        QCOMPARE(f.rows(1), QStringList({"0|Smith, Ann"}));
        f.list(2).setListIndex(0);  // another list has the focus meanwhile
        app::undoCommand(f.state);
        QCOMPARE(f.rows(1), QStringList({"0|Smith, Ann", "2|Smithers, Al"}));
        QCOMPARE(f.seen(), "focus 1: 1* -1 -1 | Smithers, Al");

        // Typing undone shows the text before the burst in the edit box and the row.
        typeInto(f.state, QStringLiteral(" Jr"));
        QCOMPARE(f.rows(1).at(1), QStringLiteral("2|Smithers, Al Jr"));
        app::undoCommand(f.state);
        QCOMPARE(f.seen(), "focus 1: 1* -1 -1 | Smithers, Al");
        QCOMPARE(f.rows(1).at(1), QStringLiteral("2|Smithers, Al"));
        app::redoCommand(f.state);
        QCOMPARE(f.seen(), "focus 1: 1* -1 -1 | Smithers, Al Jr");

        // A list that shows every record shows every record again.
        press(f.state, Command::Sort);
        QCOMPARE(f.rows(1), QStringList({"0|Jones, Bo", "1|Smith, Ann", "2|Smithers, Al Jr"}));
        app::undoCommand(f.state);
        QCOMPARE(f.rows(1), QStringList({"0|Smith, Ann", "1|Jones, Bo", "2|Smithers, Al Jr"}));
        QCOMPARE(f.seen(), "focus 1: 2* -1 -1 | Smithers, Al Jr");
    }

    // A burst of typing in one record is one step; a pause, another record or a command ends it.
    void aBurstOfTypingIsOneStep() {
        StateFixture f({"a", "b"}, {}, {});
        qint64 now = 0;
        f.state.edits.startOver([&] { return now; });
        f.list(1).setListIndex(0);
        const auto typeAt = [&](qint64 at, const QString& text) {
            now = at;
            typeInto(f.state, text);
        };
        typeAt(0, QStringLiteral("1"));
        typeAt(900, QStringLiteral("2"));
        typeAt(1800, QStringLiteral("3"));  // 900 ms after the last key: the same burst
        QCOMPARE(f.state.edits.stepCount(), std::size_t{1});
        typeAt(2800, QStringLiteral("4"));  // after a pause of a second
        QCOMPARE(f.state.edits.stepCount(), std::size_t{2});
        f.list(1).setListIndex(1);
        typeAt(2900, QStringLiteral("5"));  // another record
        f.list(1).setListIndex(0);
        typeAt(3000, QStringLiteral("6"));  // back again: the record was left
        QCOMPARE(f.state.edits.stepCount(), std::size_t{4});
        press(f.state, Command::Find);  // any command
        typeAt(3100, QStringLiteral("7"));
        QCOMPARE(f.state.edits.stepCount(), std::size_t{5});
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"a123467", "b5"}));
        const QStringList back[] = {
            {"a12346", "b5"}, {"a1234", "b5"}, {"a1234", "b"}, {"a123", "b"}, {"a", "b"}};
        for (const QStringList& records : back) {
            app::undoCommand(f.state);
            QCOMPARE(f.slot(1).records.toStringList(), records);
        }
        QVERIFY(!f.slot(1).changed);
    }

    // Undoing back to what was last saved clears the changed flag; undoing past a save sets it.
    // Replacing a slot's content (a file read again) is a step too.
    void theChangedFlagFollowsTheSavedState() {
        QTemporaryDir dir;
        StateFixture f({"a", "b"}, {}, {});
        f.slot(1).fileName = dir.filePath(QStringLiteral("a.txt"));
        f.list(1).setListIndex(1);
        press(f.state, Command::Delete);
        QVERIFY(f.slot(1).changed);
        app::undoCommand(f.state);
        QVERIFY(!f.slot(1).changed);  // as it was read: closing asks nothing
        app::redoCommand(f.state);
        press(f.state, Command::Save);
        QVERIFY(!f.slot(1).changed);
        app::undoCommand(f.state);  // after the save
        QVERIFY(f.slot(1).changed);
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"a", "b"}));
        app::redoCommand(f.state);
        QVERIFY(!f.slot(1).changed);

        // Reading the file again drops the undone delete's record as one step.
        app::undoCommand(f.state);
        f.list(1).setListIndex(0);
        press(f.state, Command::Refresh);
        QCOMPARE(f.state.edits.undoName(), QStringLiteral("Reload of a.txt"));
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"a", ""}));
        app::undoCommand(f.state);
        QCOMPARE(f.slot(1).records.toStringList(), QStringList({"a", "b"}));
        QVERIFY(f.slot(1).changed);
        QCOMPARE(f.rows(1), QStringList({"0|a", "1|b"}));

        // Choosing another file, undone, gives the list its file, records and tool tip back.
        platform::FakeFileDialog dialog;
        f.state.services.files = dialog;
        dialog.result = dir.filePath(QStringLiteral("other.txt"));
        QVERIFY(testing::writeBytes(dialog.result, "z\r\n"));
        press(f.state, Command::Select);
        QCOMPARE(f.state.edits.undoName(), QStringLiteral("Choice of other.txt"));
        QVERIFY(f.state.toolbar.button(Command::FileA).toolTip.contains("other.txt"));
        app::undoCommand(f.state);
        QCOMPARE(f.slot(1).fileName, dir.filePath(QStringLiteral("a.txt")));
        QCOMPARE(f.rows(1), QStringList({"0|a", "1|b"}));
        QVERIFY(f.state.toolbar.button(Command::FileA).toolTip.contains("a.txt"));
        app::redoCommand(f.state);
        QCOMPARE(f.rows(1), QStringList({"0|z"}));
    }

    // Random runs of typing, New, Delete, Sort, saves, reloads, choices of another file, undos
    // and redos over real files: a save asks about its file only when another program wrote it
    // since the list last read or saved it; an undo or a redo never makes it ask.
    void aSaveAsksOnlyWhenAnotherProgramWrote() {
        for (unsigned seed = 1; seed <= 40; ++seed) {
            QTemporaryDir dir;
            StateFixture f({}, {}, {});
            platform::FakeFileDialog dialog;
            f.state.services.files = dialog;
            const QString names[] = {dir.filePath("a.txt"), dir.filePath("b.txt")};
            for (const QString& name : names) {
                QVERIFY(testing::writeBytes(name, "one\r\ntwo\r\nthree\r\n"));
            }
            f.slot(1).fileName = names[0];
            records::loadFile(f.state.files(), lists::SlotId::A);
            f.list(1).setListIndex(0);
            // Whether another program wrote each file since the list last read or saved it.
            std::map<QString, bool> writtenByAnother;
            std::mt19937 random(seed);
            for (int action = 0; action < 60; ++action) {
                const QString file = f.slot(1).fileName;
                const auto what = static_cast<unsigned>(random() % 10);
                if (what < 2) {
                    f.list(1).setListIndex(0);
                    typeInto(f.state, QStringLiteral("x"));
                    f.state.edits.endTyping();
                } else if (what == 2) {
                    f.list(1).setListIndex(0);
                    press(f.state,
                          std::array{Command::New, Command::Delete, Command::Sort}[random() % 3]);
                } else if (what == 3) {
                    const qsizetype shown = f.messages.shown.size();
                    const bool asks = writtenByAnother[file];
                    f.messages.choiceAnswers = {-2};  // Save Anyway
                    press(f.state, Command::Save);
                    const auto questions =
                        std::count_if(f.messages.shown.begin() + shown, f.messages.shown.end(),
                                      [](const auto& box) { return !box.choices.isEmpty(); });
                    QVERIFY2(
                        questions == (asks ? 1 : 0) && !f.slot(1).changed,
                        qPrintable(QStringLiteral("seed %1, action %2").arg(seed).arg(action)));
                    writtenByAnother[file] = false;
                } else if (what == 4) {
                    press(f.state, Command::Refresh);
                    writtenByAnother[file] = false;
                } else if (what == 5) {
                    dialog.result = names[file == names[0] ? 1 : 0];
                    press(f.state, Command::Select);
                    writtenByAnother[dialog.result] = false;
                } else if (what < 9) {
                    (what < 8 ? app::undoCommand : app::redoCommand)(f.state);
                } else {
                    const QString other = names[random() % 2];
                    QFile appended(other);
                    QVERIFY(appended.open(QIODevice::Append) && appended.write("more\r\n"));
                    writtenByAnother[other] = true;
                }
                f.messages.choiceAnswers.clear();
            }
        }
    }

    // The oldest steps go first, by count and by memory; the newest stays however large.
    void theHistoryIsBounded() {
        StateFixture f({"0", "1", "2", "3", "4", "5", "6", "7"}, {}, {});
        f.state.edits.startOver({}, 5, 1 << 20);
        for (int deleted = 0; deleted < 7; ++deleted) {
            f.list(1).setListIndex(0);
            press(f.state, Command::Delete);
        }
        QCOMPARE(f.state.edits.stepCount(), std::size_t{5});
        int undone = 0;
        for (; f.state.edits.canUndo(); ++undone) {
            app::undoCommand(f.state);
        }
        QCOMPARE(undone, 5);
        QCOMPARE(f.slot(1).records.toStringList(),
                 QStringList({"", "", "2", "3", "4", "5", "6", "7"}));
        QVERIFY(f.slot(1).changed);  // not back to what was read

        // Typing into a record of 400 KB holds it: three such steps pass 1 MB.
        const std::string big(400 << 10, 'x');
        StateFixture g({"a"}, {}, {});
        g.state.edits.startOver({}, 200, 1 << 20);
        g.list(1).setListIndex(0);
        const auto typeOverBig = [&](const QString& typed) {
            g.slot(1).records.set(0, big);
            g.state.editBox.setText(typed);
            g.state.edits.endTyping();
        };
        for (int k = 0; k < 4; ++k) {
            typeOverBig(QStringLiteral("short %1").arg(k));
        }
        QCOMPARE(g.state.edits.stepCount(), std::size_t{2});
        QVERIFY(g.state.edits.bytes() <= std::size_t{1} << 20);
        g.state.edits.startOver({}, 200, 1000);
        typeOverBig(QStringLiteral("short"));
        QCOMPARE(g.state.edits.stepCount(), std::size_t{1});
        app::undoCommand(g.state);
        QCOMPARE(g.slot(1).records.utf8(0), std::string_view(big));
    }
};

QTEST_GUILESS_MAIN(TestUndo)
#include "test_undo.moc"
