#include <QTest>

#include "app/commands.h"
#include "app/window_events.h"
#include "platform/fake/fake_settings_store.h"
#include "support/state_fixture.h"

using namespace trovix;
using testing::StateFixture;

class TestWindowEvents : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void theCommandTableNamesEveryCommandOnce() {
        int buttons = 0;
        for (const ToolbarEntry& entry : kToolbar) {
            if (entry.style == ButtonStyle::Separator) {
                continue;
            }
            ++buttons;
            QCOMPARE(commandOfKey(QString::fromLatin1(entry.key)), std::optional(entry.command));
            QCOMPARE(&toolbarEntry(entry.command), &entry);
            // Exactly the two-state buttons are stored as settings.
            QCOMPARE(QByteArray(entry.settingsKey).isEmpty(), entry.style != ButtonStyle::Check);
        }
        QCOMPARE(std::size(kToolbar), std::size_t{23});
        QCOMPARE(buttons, static_cast<int>(kCommandCount));
        QCOMPARE(commandOfKey(QStringLiteral("FileA")), std::nullopt);  // keys are exact
    }

    void aButtonPressChangesTwoStateButtonsThenRunsTheCommand() {
        StateFixture f({"a"}, {"b"}, {"c"});
        for (const ToolbarEntry& entry : kToolbar) {
            if (entry.style == ButtonStyle::Push && entry.command != Command::Find &&
                entry.command != Command::ViewAll) {
                const bool before = f.state.toolbar.isPressed(entry.command);
                app::toolbarButtonPressed(f.state, entry.command);
                QVERIFY2(f.state.toolbar.isPressed(entry.command) == before, entry.key);
            }
        }
        // Pressing "fileB" hides list B; the command that follows sees the new state.
        f.list(2).setListIndex(0);
        app::toolbarButtonPressed(f.state, Command::FileB);
        QVERIFY(!f.state.toolbar.isPressed(Command::FileB));
        QVERIFY(!f.list(2).isVisible());
        QCOMPARE(f.state.listWithFocus, 1);
        app::toolbarButtonPressed(f.state, Command::FileB);
        QVERIFY(f.list(2).isVisible());
        QCOMPARE(f.state.listWithFocus, 2);
        // A disabled button does nothing.
        f.state.toolbar.setEnabled(Command::Data, false);
        app::toolbarButtonPressed(f.state, Command::Data);
        QVERIFY(!f.state.fullDataView());
    }

    void onlyTheFirstShowingAndTheProgramsOwnWindowsActivate() {
        StateFixture f({"a1", "a2", "a3"}, {"b"}, {"c"});
        app::windowShown(f.state);
        QCOMPARE(f.list(1).listIndex(), 0);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("a1"));
        // The user goes on to another record; showing the window again (after a dialog, or
        // from another application) keeps it.
        f.list(1).setListIndex(2);
        app::windowShown(f.state);
        QCOMPARE(f.list(1).listIndex(), 2);
        QCOMPARE(f.state.editBox.text(), QStringLiteral("a3"));
        // Coming back from another of the program's windows applies the list display.
        app::formActivate(f.state);
        QCOMPARE(f.list(1).listIndex(), 0);
    }

    void closingAsksFirstAndStoresTheSettingsOnlyWhenItCloses() {
        for (const auto answer : {platform::MessageAnswer::Cancel, platform::MessageAnswer::No}) {
            StateFixture f({"a"}, {"b"}, {"c"});
            platform::FakeSettingsStore store;
            f.state.services.settings = &store;
            f.slot(1).changed = true;
            f.messages.answers = {answer};
            const bool closes = answer == platform::MessageAnswer::No;
            QCOMPARE(app::closeRequested(f.state), closes);
            QCOMPARE(f.messages.shown.size(), 1);
            QCOMPARE(store.sections.contains(QStringLiteral("Settings")), closes);
        }
    }

    void busySectionsNest() {
        StateFixture f({"a1", "a2"}, {"b"}, {"c"});
        {
            const BusySection outer(f.state);
            { const BusySection inner(f.state); }
            // Still busy: a selection made now is not shown.
            QVERIFY(f.state.busy);
            f.list(1).setListIndex(1);
            QCOMPARE(f.state.editBox.text(), EditBox::initialText());
        }
        QVERIFY(!f.state.busy);
    }
};

QTEST_GUILESS_MAIN(TestWindowEvents)
#include "test_window_events.moc"
