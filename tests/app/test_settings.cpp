// The settings: each value read from the store in the text forms earlier versions wrote, its
// default where it is missing or does not convert, and written back as the window holds it; a
// window or font that the settings would put out of reach is brought back, and stored so.
#include <QDir>
#include <QTest>

#include "app/settings.h"
#include "platform/fake/fake_services.h"
#include "state/main_state.h"

using namespace trovix;

namespace {

using Section = QMap<QString, QString>;
const QString kSection = QStringLiteral("Settings");

// A section from "key=value" entries separated by semicolons.
Section section(const QString& entries) {
    Section out;
    for (const QString& line : entries.split(u';', Qt::SkipEmptyParts)) {
        out.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return out;
}

// What of the entries `wanted` the section lacks, as "key=what it holds instead"; empty when
// it holds them all.
QString lacking(const Section& written, const QString& wanted) {
    const Section entries = section(wanted);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (written.value(it.key(), QStringLiteral("<none>")) != it.value()) {
            return it.key() + u'=' + written.value(it.key(), QStringLiteral("<none>"));
        }
    }
    return {};
}

// Every setting written by a window that holds its defaults.
QString defaults() {
    const QString dir = QStringLiteral("/opt/trovix") + QDir::separator();
    return "MainLeft=1200;MainTop=1200;MainWidth=5505;MainHeight=5190;IgnoreCase=True;"
           "Typing=False;DisplayFileNames=False;AutoSave=False;OnTop=False;"
           "ReloadChangedFiles=True;HighlightMatches=True;AllowEdit=1;ShowA=1;ShowB=1;ShowC=1;"
           "FullDataView=0;DisplaySize=1;ListWithFocus=1;Gap=2700;FileA=" +
           dir + "phone_numbers.txt;FileB=" + dir + "taglines.txt;FileC=" + dir +
           "area_codes.txt;ST0=;ST1=;ST2=;ST3=;ST4=;ST5=;ST6=;ST7=;ST8=;ST9=;"
           "FontName=Courier New;FontSize=10;FontBold=False;FontItalic=False";
}

// Every setting other than its default, with fractional and negative twips, blanks in a name
// and unused history entries, as they are written.
const char* const kNonDefaults =
    "MainLeft=-300;MainTop=1800.5;MainWidth=7000;MainHeight=6015;IgnoreCase=False;"
    "Typing=True;DisplayFileNames=True;AutoSave=True;OnTop=True;ReloadChangedFiles=False;"
    "HighlightMatches=False;AllowEdit=0;ShowA=0;ShowB=0;ShowC=0;FullDataView=1;DisplaySize=2;"
    "ListWithFocus=0;Gap=3333;FileA=/home/me/people.txt;FileB=sayings with blanks.txt;"
    "FileC=codes.txt;ST0=newest;ST1=;ST2=third;ST3=;ST4=;ST5=;ST6=;ST7=;ST8=;ST9=oldest;"
    "FontName=Lucida Console;FontSize=12;FontBold=True;FontItalic=True";

// A window state whose settings are `stored`, on the screens given (none tell no geometry, so
// that reading the settings never moves the window), holding the settings `before` until it
// reads them.
struct SettingsRun {
    platform::FakeSettingsStore store;
    platform::FakeServices services;
    MainState state{services.services()};
    SettingsRun(const QString& stored, const QString& before = kNonDefaults,
                const QList<QRect>& screens = {}, double dpi = 96) {
        services.screen.available = screens;
        services.screen.dpi = dpi;
        state.services.settings = store;
        state.programFolder = QStringLiteral("/opt/trovix");
        store.sections[kSection] = section(before);
        app::settings(state, app::SettingsTask::Read);
        store.sections.clear();
        if (!stored.isEmpty()) {
            store.sections[kSection] = section(stored);
        }
    }
    // The settings read, then written to a store of their own.
    Section readAndWritten() {
        const auto before = store.sections;
        app::settings(state, app::SettingsTask::Read);
        if (store.sections != before) {
            return {{QStringLiteral("reading wrote"), QString()}};
        }
        store.sections.clear();
        app::settings(state, app::SettingsTask::Write);
        return store.sections[kSection];
    }
};

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // What is read is what the window then holds and writes, every other setting its default.
    void eachValueIsReadOrItsDefaultTaken() {
        const QString broken =
            "MainLeft=left;MainTop=12x;MainWidth=;MainHeight=tall;IgnoreCase=maybe;Typing=maybe;"
            "DisplayFileNames=;AutoSave=sometimes;OnTop=maybe;AllowEdit=yes;ShowA=;ShowB=on;"
            "ShowC=2;FullDataView=-1;DisplaySize=big;ListWithFocus=second;Gap=wide;"
            "FontSize=1O;FontBold=maybe;FontItalic=slanted;FileA=kept.txt;FontName=Kept Mono";
        const struct {
            QString stored, written;  // the written: every entry it must hold
        } cases[] = {
            {"", defaults()},
            // Text keys always convert, so they still apply beside the broken ones. A settings
            // file from before "Reload Changed Files" and "Highlight Matches" has no keys for
            // them: they read as ticked. A button's value other than 0 or 1 gives its default,
            // pressed (ShowC) or not (FullDataView).
            {broken, defaults() + ";FileA=kept.txt;FontName=Kept Mono"},
            // One broken window measure does not take the others with it.
            {"MainLeft=3000;MainTop=nope;MainWidth=6000;MainHeight=?",
             "MainLeft=3000;MainTop=1200;MainWidth=6000;MainHeight=5190"},
            // Truth in any letter case, with blanks around, or a number, true unless zero; whole
            // numbers from fractions, halves to even.
            {"IgnoreCase= FALSE ;Typing=true;DisplayFileNames=-1;DisplaySize=2.5;Gap= 3000 ",
             "IgnoreCase=False;Typing=True;DisplayFileNames=True;DisplaySize=2;Gap=3000"},
            // The list with focus by its number: any number but 1 to 3 means none.
            {"ListWithFocus=3", "ListWithFocus=3"},
            {"ListWithFocus=0", "ListWithFocus=0"},
            {"ListWithFocus=4", "ListWithFocus=0"},
            {"ListWithFocus=-1", "ListWithFocus=0"},
            // Font sizes between 6 and 72 points are kept; others are brought to the nearer end.
            {"FontSize=2147483647", "FontSize=72"},
            {"FontSize=73", "FontSize=72"},
            {"FontSize=72", "FontSize=72"},
            {"FontSize=6", "FontSize=6"},
            {"FontSize=5", "FontSize=6"},
            {"FontSize=-2147483648", "FontSize=6"},
        };
        for (const auto& c : cases) {
            const QString wrong = lacking(SettingsRun(c.stored).readAndWritten(), c.written);
            QVERIFY2(wrong.isEmpty(), qPrintable(c.stored + ": " + wrong));
        }
    }

    // Every key in its text form, read back as it was into a window holding the defaults; a
    // maximised or minimised window keeps its last normal place, and everything else is still
    // written.
    void everyKeySurvivesARoundTripInItsTextForm() {
        SettingsRun run(kNonDefaults, QString());
        QCOMPARE(run.readAndWritten(), section(kNonDefaults));
        QVERIFY(run.store.syncCount >= 1 && run.store.sections.keys() == QStringList({kSection}));
        for (const WindowState windowState : {WindowState::Maximized, WindowState::Minimized}) {
            run.state.frame.setPlacement({0, 0, 20000, 15000});
            run.state.frame.setWindowState(windowState);
            run.state.gap = 3000;
            run.store.sections[kSection] =
                section("MainLeft=-300;MainTop=1800.5;MainWidth=7000;MainHeight=6015");
            app::settings(run.state, app::SettingsTask::Write);
            QCOMPARE(run.store.sections[kSection],
                     section(QString::fromLatin1(kNonDefaults).replace("Gap=3333", "Gap=3000")));
        }
    }

    // Settings cannot put the window where its title bar cannot be reached; where the window
    // stands instead is what it stores.
    void aWindowOutOfReachIsBroughtBackAndStoredSo() {
        const QRect primary(0, 0, 1920, 1080);
        const QRect right(1920, 0, 1280, 1024);
        const QRect left(-1280, 0, 1280, 1024);
        const QRect belowAPanel(0, 32, 1920, 1048);
        // At 96 dpi a pixel is 15 twips; the default window is 367 x 346 pixels. A window with
        // a corner off every screen goes wholly onto the one it overlaps most, or the nearest.
        const auto at = [](double x, double y) { return TwipRect{x, y, 5505, 5190}; };
        const struct {
            const char* name;
            QList<QRect> screens;
            TwipRect stored, placed;
            double dpi = 96;
        } cases[] = {
            {"on the screen", {primary}, at(1200, 1200), at(1200, 1200)},
            {"across two screens", {primary, right}, at(1900 * 15, 1200), at(1900 * 15, 1200)},
            {"last column on", {primary}, at(1919 * 15, 1200), at(1553 * 15, 1200)},
            {"bottom row on", {primary}, at(1200, -345 * 15), at(1200, 0)},
            {"under a panel", {belowAPanel}, at(1200, 0), at(1200, 32 * 15)},
            {"right screen", {primary, right}, at(60000, 1500), at(2833 * 15, 1500)},
            {"left screen", {primary, left}, at(-75000, 0), at(-1280 * 15, 0)},
            {"too large", {primary}, {6e4, 6e4, 4e4, 3e4}, {0, 0, 1920 * 15, 1080 * 15}},
            {"beyond any pixel", {primary}, {1e308, -1e308, 1e20, 5190}, {0, 0, 1920 * 15, 5190}},
            // A half pixel rounds away from zero: the window's edge is then off the screen.
            {"half a pixel right", {primary}, at(1553.5 * 15, 1200), at(1553 * 15, 1200)},
            {"half a pixel up", {primary}, at(1200, -0.5 * 15), at(1200, 0)},
            // At 192 dpi a pixel is 7.5 twips and the window 734 x 692 pixels.
            {"high dpi", {primary}, at(20000, 1200), at(1186 * 7.5, 1200), 192},
        };
        const auto keys = [](const TwipRect& p) {
            return QString::asprintf("MainLeft=%g;MainTop=%g;MainWidth=%g;MainHeight=%g", p.left,
                                     p.top, p.width, p.height);
        };
        for (const auto& c : cases) {
            SettingsRun run(keys(c.stored), kNonDefaults, c.screens, c.dpi);
            const QString wrong = lacking(run.readAndWritten(), keys(c.placed));
            QVERIFY2(wrong.isEmpty(), qPrintable(c.name + (": " + wrong)));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
