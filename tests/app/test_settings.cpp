#include <QDir>
#include <QTest>

#include "app/settings.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_settings_store.h"
#include "state/main_state.h"

using namespace trovix;

namespace {

using Section = QMap<QString, QString>;

const QString kSection = QStringLiteral("Settings");
const QString kWindowKeys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
const Option kOptions[] = {Option::IgnoreCase, Option::SearchWhileTyping, Option::DisplayFileNames,
                           Option::AutoSave, Option::OnTop};
const Command kButtons[] = {Command::Edit, Command::FileA, Command::FileB, Command::FileC,
                            Command::Data};

// A section from "key=value" entries separated by semicolons.
Section section(const char* entries) {
    Section out;
    for (const QString& line : QString::fromUtf8(entries).split(u';')) {
        out.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return out;
}

// Every setting as readable text, a line per group, so that one comparison names the setting
// that differs.
QStringList describe(const MainState& s) {
    QString options;
    QString buttons;
    for (Option o : kOptions) {
        options += s.options.isChecked(o) ? u'1' : u'0';
    }
    for (const Command b : kButtons) {
        buttons += s.toolbar.isPressed(b) ? u'1' : u'0';
    }
    QStringList files;
    for (const store::FileSlot& slot : s.fileSlots) {
        files << slot.fileName;
    }
    const TwipRect& p = s.frame.placement();
    const ListFont& f = s.frame.font();
    const int sizes[] = {s.displaySize, s.listWithFocus, s.gap};
    return {QStringLiteral("place %1,%2 %3x%4").arg(p.left).arg(p.top).arg(p.width).arg(p.height),
            "options " + options,
            "buttons " + buttons,
            QStringLiteral("size %1 focus %2 gap %3").arg(sizes[0]).arg(sizes[1]).arg(sizes[2]),
            "files " + files.join(u'|'),
            "history " + QStringList(s.history.begin(), s.history.end()).join(u'|'),
            QStringLiteral("font %1 %2 %3 %4").arg(f.name).arg(f.size).arg(+f.bold).arg(+f.italic)};
}

// Gives every setting a value other than its default, with fractional and negative twips,
// blanks in a name and unused history entries.
void setNonDefaults(MainState& s) {
    s.frame.setPlacement({-300, 1800.5, 7000, 6015});
    const bool options[] = {false, true, true, true, true};
    const bool buttons[] = {false, false, false, false, true};
    for (int i = 0; i < 5; ++i) {
        s.options.setChecked(kOptions[i], options[i]);
        s.toolbar.setPressed(kButtons[i], buttons[i]);
    }
    s.displaySize = 2;
    s.listWithFocus = 0;
    s.gap = 3333;
    s.fileSlots[0].fileName = QStringLiteral("/home/me/people.txt");
    s.fileSlots[1].fileName = QStringLiteral("sayings with blanks.txt");
    s.fileSlots[2].fileName = QStringLiteral("codes.txt");
    s.history = {"newest", "", "third", "", "", "", "", "", "", "oldest"};
    s.frame.setFont({QStringLiteral("Lucida Console"), 12, true, true});
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void missingOrUnreadableValuesGiveTheDefaults() {
        const QString dir = QStringLiteral("/opt/trovix") + QDir::separator();
        const QStringList defaults = {
            "place 1200,1200 5505x5190",
            "options 10000",
            "buttons 11110",
            "size 1 focus 1 gap 2700",
            "files " + dir + "phone_numbers.txt|" + dir + "taglines.txt|" + dir + "area_codes.txt",
            "history |||||||||",
            "font Courier New 10 0 0"};
        // Text keys always convert, so they still apply beside the broken ones.
        const Section broken = section(
            "MainLeft=left;MainTop=12x;MainWidth=;MainHeight=tall;IgnoreCase=maybe;Typing=maybe;"
            "DisplayFileNames=;AutoSave=sometimes;OnTop=maybe;AllowEdit=yes;ShowA=;ShowB=on;"
            "ShowC=2;FullDataView=pressed;DisplaySize=big;ListWithFocus=second;Gap=wide;"
            "FontSize=1O;FontBold=maybe;FontItalic=slanted;FileA=kept.txt;FontName=Kept Mono");
        QStringList brokenExpected = defaults;
        brokenExpected.replaceInStrings(dir + "phone_numbers.txt", "kept.txt")
            .replaceInStrings("Courier New", "Kept Mono");

        // First run (no section at all), and every key holding text that does not convert.
        for (const bool withSection : {false, true}) {
            platform::FakeSettingsStore store;
            if (withSection) {
                store.sections[kSection] = broken;
            }
            const auto before = store.sections;
            MainState state({.settings = &store});
            state.programFolder = QStringLiteral("/opt/trovix");
            setNonDefaults(state);
            app::settings(state, QStringLiteral("get"));
            QCOMPARE(describe(state), withSection ? brokenExpected : defaults);
            QCOMPARE(store.sections, before);  // reading never writes
        }

        // One broken window measure does not take the others with it.
        platform::FakeSettingsStore store;
        store.sections[kSection] =
            section("MainLeft=3000;MainTop=nope;MainWidth=6000;MainHeight=?");
        MainState state({.settings = &store});
        app::settings(state, QStringLiteral("get"));
        QCOMPARE(state.frame.placement(), (TwipRect{3000, 1200, 6000, 5190}));
    }

    void everyKeySurvivesARoundTripInItsTextForm() {
        platform::FakeSettingsStore store;
        MainState state({.settings = &store});
        setNonDefaults(state);
        app::settings(state, QStringLiteral("save"));

        const Section expected = section(
            "MainLeft=-300;MainTop=1800.5;MainWidth=7000;MainHeight=6015;IgnoreCase=False;"
            "Typing=True;DisplayFileNames=True;AutoSave=True;OnTop=True;AllowEdit=0;ShowA=0;"
            "ShowB=0;ShowC=0;FullDataView=1;DisplaySize=2;ListWithFocus=0;Gap=3333;"
            "FileA=/home/me/people.txt;FileB=sayings with blanks.txt;FileC=codes.txt;ST0=newest;"
            "ST1=;ST2=third;ST3=;ST4=;ST5=;ST6=;ST7=;ST8=;ST9=oldest;FontName=Lucida Console;"
            "FontSize=12;FontBold=True;FontItalic=True");
        QCOMPARE(store.sections.keys(), QStringList({kSection}));
        QCOMPARE(store.sections[kSection], expected);
        QVERIFY(store.syncCount >= 1);

        // Read back into a window holding the defaults, which differ from every written value.
        platform::FakeSettingsStore empty;
        MainState again({.settings = &empty});
        app::settings(again, QStringLiteral("get"));
        again.services.settings = &store;
        app::settings(again, QStringLiteral("get"));
        QCOMPARE(describe(again), describe(state));
    }

    void aMaximisedOrMinimisedWindowKeepsItsLastNormalPlace() {
        for (const WindowState windowState : {WindowState::Maximized, WindowState::Minimized}) {
            platform::FakeSettingsStore store;
            const Section before =
                section("MainLeft=111;MainTop=222;MainWidth=6333;MainHeight=5444;Gap=2000");
            store.sections[kSection] = before;
            MainState state({.settings = &store});
            state.frame.setPlacement({0, 0, 20000, 15000});
            state.frame.setWindowState(windowState);
            state.gap = 3000;
            app::settings(state, QStringLiteral("save"));
            const Section& after = store.sections[kSection];
            for (const QString& k : kWindowKeys) {
                QCOMPARE(after.value(k), before.value(k));
            }
            // Everything else is still written.
            QCOMPARE(after.value(QStringLiteral("Gap")), QStringLiteral("3000"));
            QCOMPARE(after.size(), 34);
        }
    }

    void aWindowOffEveryScreenIsMovedOntoTheNearest() {
        const QRect primary(0, 0, 1920, 1080);
        const QRect right(1920, 0, 1280, 1024);
        const QRect left(-1280, 0, 1280, 1024);
        // At 96 dpi a pixel is 15 twips; the default window is 367 x 346 pixels. A window moved
        // onto a screen keeps its size and as much of itself on the screen as fits.
        const struct {
            const char* name;
            double dpi;
            QList<QRect> screens;
            TwipRect stored;
            double left, top;  // where it is placed
        } cases[] = {
            {"last column on", 96, {primary}, {1919 * 15, 1200, 5505, 5190}, 1919 * 15, 1200},
            {"first column off", 96, {primary}, {1920 * 15, 1200, 5505, 5190}, 1553 * 15, 1200},
            {"bottom row on", 96, {primary}, {1200, -345 * 15, 5505, 5190}, 1200, -345 * 15},
            {"larger than the screen", 96, {primary}, {60000, 60000, 40000, 30000}, 0, 0},
            {"right screen", 96, {primary, right}, {60000, 1500, 5505, 5190}, 2833 * 15, 1500},
            {"left screen", 96, {primary, left}, {-75000, 0, 5505, 5190}, -1280 * 15, 0},
            // At 192 dpi a pixel is 7.5 twips and the window 734 x 692 pixels.
            {"high dpi", 192, {primary}, {20000, 1200, 5505, 5190}, 1186 * 7.5, 1200},
        };
        for (const auto& c : cases) {
            platform::FakeSettingsStore store;
            const double stored[] = {c.stored.left, c.stored.top, c.stored.width, c.stored.height};
            for (int i = 0; i < 4; ++i) {
                store.sections[kSection][kWindowKeys[i]] = QString::number(stored[i]);
            }
            platform::FakeScreen screen;
            screen.dpi = c.dpi;
            screen.available = c.screens;
            MainState state({.settings = &store, .screen = &screen});
            app::settings(state, QStringLiteral("get"));
            const TwipRect expected{c.left, c.top, c.stored.width, c.stored.height};
            QVERIFY2(state.frame.placement() == expected,
                     qPrintable(QString::fromLatin1(c.name) + ": " + describe(state)[0]));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)

#include "test_settings.moc"
