#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "about/about_box.h"
#include "app/commands.h"
#include "app/event_handlers.h"
#include "links/outside_links.h"
#include "state/build_info.h"
#include "support/files.h"
#include "support/state_fixture.h"
#include "view/layout.h"
#include "view/splitter.h"

using namespace trovix;
using platform::MessageAnswer;
using testing::StateFixture;

class TestOutputAndLinks : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void printingAsksAboveFiftyRowsAndCopyingEmptiesTheClipboardFirst() {
        QStringList numbered;
        for (int i = 0; i < 51; ++i) {
            numbered << QStringLiteral("record %1").arg(i);
        }
        StateFixture f(numbered, {"b1", "b2"}, {});
        f.state.listWithFocus = lists::SlotId::A;
        f.messages.answers = {MessageAnswer::Cancel};
        app::toolbarButtonPressed(f.state, Command::Print);
        QVERIFY(f.services.printer.jobs.isEmpty());
        QCOMPARE(f.messages.shown.last().title + ": " + f.messages.shown.last().text,
                 "Print List: Printed list will contain 51 lines of data!\r\n\r\nContinue "
                 "printing?");
        QCOMPARE(f.messages.shown.last().buttons, platform::MessageButtons::OkCancel);

        app::menuCommand(f.state, MenuCommand::PrintList);  // answered OK
        const QStringList& lines = f.services.printer.jobs.last().lines;
        QCOMPARE(lines.size(), 5 + 51);
        QCOMPARE(lines.mid(0, 6), QStringList(5, QString()) << "          record 0");
        QCOMPARE(f.services.printer.jobs.last().font.family, f.state.frame.font().name);

        // Fifty rows print at once; with no list with focus, only the five empty lines.
        f.list(1).removeRow(50);
        const qsizetype asked = f.messages.shown.size();
        app::menuCommand(f.state, MenuCommand::PrintList);
        QCOMPARE(f.messages.shown.size(), asked);
        f.state.listWithFocus = std::nullopt;
        app::menuCommand(f.state, MenuCommand::PrintList);
        app::menuCommand(f.state, MenuCommand::PrintSelection);
        QCOMPARE(f.services.printer.jobs[2].lines + f.services.printer.jobs[3].lines,
                 QStringList(10, QString()));

        // The selected row alone, as the list shows it; a failed job says why.
        f.list(2).setListIndex(1);
        app::menuCommand(f.state, MenuCommand::PrintSelection);
        QCOMPARE(f.services.printer.jobs.last().lines.last(), QStringLiteral("          b2"));
        f.services.printer.outcome = platform::fail(QStringLiteral("Jammed"));
        app::menuCommand(f.state, MenuCommand::PrintForm);
        QVERIFY(f.messages.shown.last().text.contains("Jammed"));

        // Copying empties the clipboard first, and copies a row's whole first line, however
        // much of it the list shows.
        const QString longLine(lists::ResultList::kShownChars + 500, u'x');
        StateFixture copy({"alpha-----more", "beta", "gamma", longLine}, {}, {});
        app::menuCommand(copy.state, MenuCommand::CopyList);  // no list with focus
        QVERIFY(copy.services.clipboard.calls.size() == 1 &&
                copy.services.clipboard.text.isEmpty());
        copy.list(1).setListIndex(1);
        app::menuCommand(copy.state, MenuCommand::CopyList);
        QCOMPARE(copy.services.clipboard.text, QStringLiteral("alpha\nbeta\ngamma\n") + longLine);
        QCOMPARE(copy.services.clipboard.calls.last().kind, platform::ClipboardCall::Kind::SetText);
        app::toolbarButtonPressed(copy.state, Command::Copy);
        QCOMPARE(copy.services.clipboard.text, QStringLiteral("beta"));
        copy.list(1).setListIndex(-1);
        copy.state.listWithFocus = lists::SlotId::A;
        app::menuCommand(copy.state, MenuCommand::CopySelection);
        QCOMPARE(copy.services.clipboard.text, QString());

        // A long list is put into words in parts at once: the same text, row for row, in plain
        // ASCII and beyond, in the full data view with its continuation rows too.
        QStringList many, firstLines, allLines;
        for (int i = 0; i < 120000; ++i) {
            firstLines << (i % 3 == 0 ? QStringLiteral("Zoë %1") : QStringLiteral("row %1")).arg(i);
            const QString more = i % 2 == 0 ? QStringLiteral("-----line %1").arg(i) : QString();
            many << firstLines.last() + more;
            allLines << firstLines.last() << more;
        }
        allLines.removeAll(QString());
        StateFixture large(many, {}, {});
        large.state.listWithFocus = lists::SlotId::A;
        app::menuCommand(large.state, MenuCommand::CopyList);
        QVERIFY(large.services.clipboard.text == firstLines.join(u'\n'));
        app::toolbarButtonPressed(large.state, Command::Data);
        large.state.listWithFocus = lists::SlotId::A;
        app::menuCommand(large.state, MenuCommand::CopyList);
        QVERIFY(large.services.clipboard.text == allLines.join(u'\n'));
    }

    void theSplitterStaysThreeThousandTwipsFromBothEdges() {
        StateFixture f({"a"}, {"b"}, {"c"});
        // The window's height, the mouse buttons held, where the pointer goes below the bar's
        // top, and where the bar's top ends.
        const struct {
            double height;
            int buttons;
            double y, top;
        } drags[] = {
            {9000, 1, -400, 5900},   // follows the pointer
            {9000, 1, 5000, 6000},   // stops 3000 above the bottom edge
            {9000, 1, -9000, 3000},  // and 3000 below the top
            {6400, 1, 300, 3400},    // in the smallest window only 3000 to 3400
            {6400, 1, -900, 3000},  {5900, 1, 100, 3000},  // lower than 6000: the top edge wins
            {9000, 2, 400, 6300},                          // not with the right button
            {9000, 3, 400, 6300},                          // nor with both
        };
        for (const auto& d : drags) {
            f.state.frame.setLayoutSize(8000, d.height);
            f.state.gap = 2700;
            view::formResize(f.state.frame, f.state.toolbar, f.state.gap, f.state.busy);
            app::splitterMoved(f.state, d.buttons, d.y);
            const QString what = QStringLiteral("%1 %2 %3").arg(d.height).arg(d.buttons).arg(d.y);
            QVERIFY2(
                f.state.frame.geometry().picture1.top == d.top && f.state.gap == d.height - d.top,
                qPrintable(what));
        }
    }

    void theAboutWindowIsCentredAndActivatesTheMainWindowAfter() {
        QCOMPARE(about::aboutPlacement({1000, 2000, 9000, 6001}, 6465, 2000),
                 (TwipRect{2267.5, 4000.5, 6465, 2000}));
        StateFixture f({"a1", "a2"}, {"b"}, {"c"});
        f.list(1).setListIndex(1);
        app::menuCommand(f.state, MenuCommand::About);
        QCOMPARE(f.services.window.aboutCaptions.size(), 1);
        QVERIFY(f.services.window.aboutCaptions[0].endsWith(QStringLiteral("    Version: ") +
                                                            QLatin1String(kVersionText)));
        QCOMPARE(f.list(1).listIndex(), 0);  // the list display applied again
    }

    void mailWebAndUpdateGoThroughTheShell() {
        StateFixture f({"a"}, {}, {});
        platform::FakeShell& shell = f.services.shell;
        QTemporaryDir dir;
        f.state.programFolder = dir.path();
        const int& closes = f.services.window.closes;
        app::toolbarButtonPressed(f.state, Command::Email);
        QCOMPARE(shell.calls.last().target, QStringLiteral("mailto:") + kAuthorEmail +
                                                QStringLiteral("?subject=Trovix7&body=Comments:"));
        QCOMPARE(QDir::currentPath(), QDir(dir.path()).absolutePath());
        shell.succeed = false;
        app::menuCommand(f.state, MenuCommand::EmailAuthor);
        // A failure says why, after the message's first words.
        QCOMPARE(f.messages.shown.last().title + ": " + f.messages.shown.last().text,
                 "Send Email to Author: Error sending email!\n\nnothing opens mailto here.");
        const qsizetype before = shell.calls.size();
        app::menuCommand(f.state, MenuCommand::WebSite);
        const QString site = QString::fromUtf8(kWebSite);
        QCOMPARE(
            f.messages.shown.last().text,
            "Could not locate web site!  Error: " +
                (site.isEmpty() ? QString("this copy of Trovix names none")
                                : "nothing opens https here, so " + site + " could not be opened"));
        QCOMPARE(shell.calls.size(), before + (site.isEmpty() ? 0 : 1));

        // A copy the package manager installed cannot update itself, and stays open.
        f.state.programFolder = dir.filePath(QStringLiteral("not/writable/bin"));
        app::menuCommand(f.state, MenuCommand::OnlineUpdate);
        QVERIFY(f.messages.shown.last().text.contains(QStringLiteral("package manager")));
        QVERIFY(closes == 0 && shell.calls.size() == before + (site.isEmpty() ? 0 : 1));
        f.state.programFolder = dir.path();

        // Cancel touches nothing; a newer updater without the old one is an error that keeps
        // the program running and the newer updater under its name.
        const QString updater = dir.filePath(QStringLiteral("Patchlet"));
        const QString newer = dir.filePath(QStringLiteral("Update"));
        QVERIFY(testing::writeBytes(newer, "new updater"));
        shell.succeed = true;
        const qsizetype calls = shell.calls.size();
        f.messages.answers = {MessageAnswer::Cancel};
        app::menuCommand(f.state, MenuCommand::OnlineUpdate);
        f.messages.answers = {MessageAnswer::Ok};
        app::menuCommand(f.state, MenuCommand::OnlineUpdate);
        QCOMPARE(f.messages.shown.last().title, QStringLiteral("Patchlet"));
        QVERIFY(QFile::exists(newer) && closes == 0 && shell.calls.size() == calls);
        // With the old updater there, the newer one takes its place; it starts and we close.
        QVERIFY(testing::writeBytes(updater, "old updater"));
        app::menuCommand(f.state, MenuCommand::OnlineUpdate);
        QVERIFY(testing::readBytes(updater) == "new updater" && !QFile::exists(newer) &&
                closes == 1);
        QCOMPARE(shell.calls.last().target + '|' + shell.calls.last().workingFolder,
                 updater + '|' + dir.path());
    }
};

QTEST_GUILESS_MAIN(TestOutputAndLinks)
#include "test_output_and_links.moc"
