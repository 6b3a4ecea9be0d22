#include <QDir>
#include <QTest>

#include "app/main_state.h"
#include "app/settings.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_settings_store.h"

using namespace trovix;
using app::Option;
using app::WindowState;
using store::SlotId;

namespace {

using Section = QMap<QString, QString>;

const QString kSection = QStringLiteral("Settings");

// Every key of the section, in the order the program reads and writes them.
QStringList allKeys() {
    QStringList keys = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    keys.append({"IgnoreCase", "Typing", "DisplayFileNames", "AutoSave", "OnTop"});
    keys.append({"AllowEdit", "ShowA", "ShowB", "ShowC", "FullDataView"});
    keys.append({"DisplaySize", "ListWithFocus", "Gap", "FileA", "FileB", "FileC"});
    for (int k = 0; k < 10; ++k) {
        keys << QStringLiteral("ST%1").arg(k);
    }
    keys.append({"FontName", "FontSize", "FontBold", "FontItalic"});
    return keys;
}

const char* const kButtons[] = {"edit", "fileA", "fileB", "fileC", "data"};

bool pressed(const app::MainState& state, const char* button) {
    return state.toolbar.isPressed(QString::fromLatin1(button));
}

// Gives every setting a value other than its default, so that a key the reader skips shows.
void spoil(app::MainState& state) {
    state.frame.setPlacement({99, 98, 97, 96});
    state.options.setChecked(Option::IgnoreCase, false);
    for (Option o :
         {Option::SearchWhileTyping, Option::DisplayFileNames, Option::AutoSave, Option::OnTop}) {
        state.options.setChecked(o, true);
    }
    for (const char* button : kButtons) {
        state.toolbar.setPressed(QString::fromLatin1(button), !pressed(state, button));
    }
    state.displaySize = 77;
    state.listWithFocus = 3;
    state.gap = 4444;
    for (store::FileSlot& slot : state.fileSlots) {
        slot.fileName = QStringLiteral("stale.txt");
    }
    for (QString& entry : state.history) {
        entry = QStringLiteral("stale search");
    }
    state.frame.setFont({QStringLiteral("Stale Sans"), 31, true, true});
}

// A store that remembers which keys were read and written, in order.
class RecordingStore : public platform::FakeSettingsStore {
  public:
    std::optional<QString> value(const QString& section, const QString& key) const override {
        reads << key;
        return FakeSettingsStore::value(section, key);
    }
    void setValue(const QString& section, const QString& key, const QString& value) override {
        writes << key;
        FakeSettingsStore::setValue(section, key, value);
    }
    mutable QStringList reads;
    QStringList writes;
};

QString placementText(const view::TwipRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.left).arg(r.top).arg(r.width).arg(r.height);
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void missingKeysGiveTheirDefaults() {
        // No section at all, and a section holding none of the keys.
        for (const bool withSection : {false, true}) {
            platform::FakeSettingsStore store;
            if (withSection) {
                store.sections[kSection][QStringLiteral("Unrelated")] = QStringLiteral("0");
            }
            app::MainState state({.settings = &store});
            state.programFolder = QStringLiteral("/opt/trovix");
            spoil(state);
            app::settings(state, QStringLiteral("get"));

            QCOMPARE(state.frame.placement(), (view::TwipRect{1200, 1200, 5505, 5190}));
            QVERIFY(state.options.isChecked(Option::IgnoreCase));
            QVERIFY(!state.options.isChecked(Option::SearchWhileTyping));
            QVERIFY(!state.options.isChecked(Option::DisplayFileNames));
            QVERIFY(!state.options.isChecked(Option::AutoSave));
            QVERIFY(!state.options.isChecked(Option::OnTop));
            QVERIFY(pressed(state, "edit"));
            QVERIFY(pressed(state, "fileA"));
            QVERIFY(pressed(state, "fileB"));
            QVERIFY(pressed(state, "fileC"));
            QVERIFY(!pressed(state, "data"));
            QCOMPARE(state.displaySize, 1);
            QCOMPARE(state.listWithFocus, 1);
            QCOMPARE(state.gap, 2700);
            const QString folder = QStringLiteral("/opt/trovix") + QDir::separator();
            QCOMPARE(state.slot(SlotId::A).fileName, folder + "phone_numbers.txt");
            QCOMPARE(state.slot(SlotId::B).fileName, folder + "taglines.txt");
            QCOMPARE(state.slot(SlotId::C).fileName, folder + "area_codes.txt");
            for (const QString& entry : state.history) {
                QCOMPARE(entry, QString());
            }
            QCOMPARE(state.frame.font(), (app::ListFont{"Courier New", 10, false, false}));
            // Reading never writes.
            QCOMPARE(store.sections.value(kSection).size(), qsizetype(withSection ? 1 : 0));
        }
    }

    void storedValuesAreApplied() {
        platform::FakeSettingsStore store;
        store.sections[kSection] = Section{
            {"MainLeft", "2400.5"},
            {"MainTop", "1800"},
            {"MainWidth", "7000"},
            {"MainHeight", "6015"},
            {"IgnoreCase", "False"},
            {"Typing", "True"},
            {"DisplayFileNames", "True"},
            {"AutoSave", "True"},
            {"OnTop", "True"},
            {"AllowEdit", "0"},
            {"ShowA", "0"},
            {"ShowB", "0"},
            {"ShowC", "0"},
            {"FullDataView", "1"},
            {"DisplaySize", "3"},
            {"ListWithFocus", "2"},
            {"Gap", "3100"},
            {"FileA", "/home/me/people.txt"},
            {"FileB", "sayings with blanks.txt"},
            {"FileC", "codes.txt"},
            {"ST0", "alpha"},
            {"ST3", "gamma delta"},
            {"ST9", "last"},
            {"FontName", "Lucida Console"},
            {"FontSize", "14"},
            {"FontBold", "True"},
            {"FontItalic", "True"},
        };
        app::MainState state({.settings = &store});
        state.programFolder = QStringLiteral("/opt/trovix");
        app::settings(state, QStringLiteral("get"));

        QCOMPARE(state.frame.placement(), (view::TwipRect{2400.5, 1800, 7000, 6015}));
        QVERIFY(!state.options.isChecked(Option::IgnoreCase));
        QVERIFY(state.options.isChecked(Option::SearchWhileTyping));
        QVERIFY(state.options.isChecked(Option::DisplayFileNames));
        QVERIFY(state.options.isChecked(Option::AutoSave));
        QVERIFY(state.options.isChecked(Option::OnTop));
        QVERIFY(!pressed(state, "edit"));
        QVERIFY(!pressed(state, "fileA"));
        QVERIFY(!pressed(state, "fileB"));
        QVERIFY(!pressed(state, "fileC"));
        QVERIFY(pressed(state, "data"));
        QCOMPARE(state.displaySize, 3);
        QCOMPARE(state.listWithFocus, 2);
        QCOMPARE(state.gap, 3100);
        QCOMPARE(state.slot(SlotId::A).fileName, QStringLiteral("/home/me/people.txt"));
        QCOMPARE(state.slot(SlotId::B).fileName, QStringLiteral("sayings with blanks.txt"));
        QCOMPARE(state.slot(SlotId::C).fileName, QStringLiteral("codes.txt"));
        const std::array<QString, 10> history = {"alpha", "", "", "gamma delta", "", "",
                                                 "",      "", "", "last"};
        QCOMPARE(state.history, history);
        QCOMPARE(state.frame.font(), (app::ListFont{"Lucida Console", 14, true, true}));

        // Stored values are taken as they are, however odd.
        store.sections[kSection]["ListWithFocus"] = QStringLiteral("7");
        store.sections[kSection]["Gap"] = QStringLiteral("-5");
        store.sections[kSection]["DisplaySize"] = QStringLiteral("250");
        store.sections[kSection]["FontName"] = QString();
        app::settings(state, QStringLiteral("get"));
        QCOMPARE(state.listWithFocus, 7);
        QCOMPARE(state.gap, -5);
        QCOMPARE(state.displaySize, 250);
        QCOMPARE(state.frame.font().name, QString());
    }

    void textThatDoesNotConvertGivesTheDefault() {
        platform::FakeSettingsStore store;
        store.sections[kSection] = Section{
            {"MainLeft", "left"},
            {"MainTop", "12x"},
            {"MainWidth", ""},
            {"MainHeight", "tall"},
            {"IgnoreCase", "maybe"},
            {"Typing", "maybe"},
            {"DisplayFileNames", ""},
            {"AutoSave", "sometimes"},
            {"OnTop", "maybe"},
            {"AllowEdit", "yes"},
            {"ShowA", ""},
            {"ShowB", "on"},
            {"ShowC", "x"},
            {"FullDataView", "pressed"},
            {"DisplaySize", "big"},
            {"ListWithFocus", "second"},
            {"Gap", "wide"},
            {"FontSize", "1O"},
            {"FontBold", "maybe"},
            {"FontItalic", "slanted"},
            // Text keys always convert: these still apply beside the broken ones.
            {"FileA", "kept.txt"},
            {"FontName", "Kept Mono"},
        };
        app::MainState state({.settings = &store});
        spoil(state);
        app::settings(state, QStringLiteral("get"));

        QCOMPARE(state.frame.placement(), (view::TwipRect{1200, 1200, 5505, 5190}));
        QVERIFY(state.options.isChecked(Option::IgnoreCase));
        QVERIFY(!state.options.isChecked(Option::SearchWhileTyping));
        QVERIFY(!state.options.isChecked(Option::DisplayFileNames));
        QVERIFY(!state.options.isChecked(Option::AutoSave));
        QVERIFY(!state.options.isChecked(Option::OnTop));
        QVERIFY(pressed(state, "edit"));
        QVERIFY(pressed(state, "fileA"));
        QVERIFY(pressed(state, "fileB"));
        QVERIFY(pressed(state, "fileC"));
        QVERIFY(!pressed(state, "data"));
        QCOMPARE(state.displaySize, 1);
        QCOMPARE(state.listWithFocus, 1);
        QCOMPARE(state.gap, 2700);
        QCOMPARE(state.slot(SlotId::A).fileName, QStringLiteral("kept.txt"));
        QCOMPARE(state.frame.font(), (app::ListFont{"Kept Mono", 10, false, false}));

        // One broken window measure does not take the others with it.
        store.sections[kSection] = Section{
            {"MainLeft", "3000"}, {"MainTop", "nope"}, {"MainWidth", "6000"}, {"MainHeight", "?"}};
        app::settings(state, QStringLiteral("get"));
        QCOMPARE(state.frame.placement(), (view::TwipRect{3000, 1200, 6000, 5190}));
    }

    void writingStoresEveryKeyAsText() {
        platform::FakeSettingsStore store;
        app::MainState state({.settings = &store});
        state.frame.setPlacement({-300, 1800.5, 7000, 6015});
        state.options.setChecked(Option::IgnoreCase, false);
        state.options.setChecked(Option::SearchWhileTyping, true);
        state.options.setChecked(Option::DisplayFileNames, false);
        state.options.setChecked(Option::AutoSave, true);
        state.options.setChecked(Option::OnTop, false);
        state.toolbar.setPressed(QStringLiteral("edit"), false);
        state.toolbar.setPressed(QStringLiteral("fileA"), true);
        state.toolbar.setPressed(QStringLiteral("fileB"), false);
        state.toolbar.setPressed(QStringLiteral("fileC"), true);
        state.toolbar.setPressed(QStringLiteral("data"), true);
        state.displaySize = 2;
        state.listWithFocus = 0;
        state.gap = 3333;
        state.slot(SlotId::A).fileName = QStringLiteral("/home/me/people.txt");
        state.slot(SlotId::B).fileName = QStringLiteral("sayings with blanks.txt");
        state.slot(SlotId::C).fileName = QStringLiteral("codes.txt");
        state.history = {"newest", "", "third", "", "", "", "", "", "", "oldest"};
        state.frame.setFont({QStringLiteral("Lucida Console"), 12, true, false});
        app::settings(state, QStringLiteral("save"));

        const Section expected{
            {"MainLeft", "-300"},
            {"MainTop", "1800.5"},
            {"MainWidth", "7000"},
            {"MainHeight", "6015"},
            {"IgnoreCase", "False"},
            {"Typing", "True"},
            {"DisplayFileNames", "False"},
            {"AutoSave", "True"},
            {"OnTop", "False"},
            {"AllowEdit", "0"},
            {"ShowA", "1"},
            {"ShowB", "0"},
            {"ShowC", "1"},
            {"FullDataView", "1"},
            {"DisplaySize", "2"},
            {"ListWithFocus", "0"},
            {"Gap", "3333"},
            {"FileA", "/home/me/people.txt"},
            {"FileB", "sayings with blanks.txt"},
            {"FileC", "codes.txt"},
            {"ST0", "newest"},
            {"ST1", ""},
            {"ST2", "third"},
            {"ST3", ""},
            {"ST4", ""},
            {"ST5", ""},
            {"ST6", ""},
            {"ST7", ""},
            {"ST8", ""},
            {"ST9", "oldest"},
            {"FontName", "Lucida Console"},
            {"FontSize", "12"},
            {"FontBold", "True"},
            {"FontItalic", "False"},
        };
        QCOMPARE(store.sections.keys(), QStringList({kSection}));
        QCOMPARE(store.sections[kSection], expected);
        QVERIFY(store.syncCount >= 1);

        // What was written reads back as the same settings.
        app::MainState again({.settings = &store});
        spoil(again);
        app::settings(again, QStringLiteral("get"));
        QCOMPARE(again.frame.placement(), state.frame.placement());
        for (Option o : {Option::IgnoreCase, Option::SearchWhileTyping, Option::DisplayFileNames,
                         Option::AutoSave, Option::OnTop}) {
            QCOMPARE(again.options.isChecked(o), state.options.isChecked(o));
        }
        for (const char* button : kButtons) {
            QCOMPARE(pressed(again, button), pressed(state, button));
        }
        QCOMPARE(again.displaySize, state.displaySize);
        QCOMPARE(again.listWithFocus, state.listWithFocus);
        QCOMPARE(again.gap, state.gap);
        for (SlotId id : store::kAllSlots) {
            QCOMPARE(again.slot(id).fileName, state.slot(id).fileName);
        }
        QCOMPARE(again.history, state.history);
        QCOMPARE(again.frame.font(), state.frame.font());
    }

    void onlyANormalWindowStoresItsPlace() {
        for (const WindowState windowState : {WindowState::Maximized, WindowState::Minimized}) {
            platform::FakeSettingsStore store;
            const Section before{{"MainLeft", "111"},
                                 {"MainTop", "222"},
                                 {"MainWidth", "6333"},
                                 {"MainHeight", "5444"},
                                 {"Gap", "2000"}};
            store.sections[kSection] = before;
            app::MainState state({.settings = &store});
            state.frame.setPlacement({0, 0, 20000, 15000});
            state.frame.setWindowState(windowState);
            state.gap = 3000;
            app::settings(state, QStringLiteral("save"));
            const Section& after = store.sections[kSection];
            for (const char* k : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
                QCOMPARE(after.value(QString::fromLatin1(k)), before.value(QString::fromLatin1(k)));
            }
            // Everything else is still written.
            QCOMPARE(after.value(QStringLiteral("Gap")), QStringLiteral("3000"));
            QCOMPARE(after.size(), allKeys().size());

            // Nothing stored yet: the window keys stay absent.
            platform::FakeSettingsStore empty;
            state.services.settings = &empty;
            app::settings(state, QStringLiteral("save"));
            QVERIFY(!empty.sections[kSection].contains(QStringLiteral("MainLeft")));
            QCOMPARE(empty.sections[kSection].size(), allKeys().size() - 4);

            // Back to normal, the window's place is stored again.
            state.frame.setWindowState(WindowState::Normal);
            app::settings(state, QStringLiteral("save"));
            QCOMPARE(empty.sections[kSection].size(), allKeys().size());
            QCOMPARE(empty.sections[kSection].value(QStringLiteral("MainLeft")),
                     QStringLiteral("0"));
            QCOMPARE(empty.sections[kSection].value(QStringLiteral("MainWidth")),
                     QStringLiteral("20000"));
        }
    }

    void keysAreReadAndWrittenInTheirOrder() {
        RecordingStore store;
        app::MainState state({.settings = &store});
        app::settings(state, QStringLiteral("get"));
        QCOMPARE(store.reads, allKeys());
        QVERIFY(store.writes.isEmpty());

        app::settings(state, QStringLiteral("save"));
        QCOMPARE(store.writes, allKeys());

        store.writes.clear();
        state.frame.setWindowState(WindowState::Maximized);
        app::settings(state, QStringLiteral("save"));
        QCOMPARE(store.writes, allKeys().mid(4));
    }

    void aWindowOffEveryScreenIsMovedOntoTheNearest() {
        const QRect primary(0, 0, 1920, 1080);
        const QRect right(1920, 0, 1280, 1024);
        const QRect left(-1280, 0, 1280, 1024);
        struct Case {
            const char* name;
            double dpi;
            QList<QRect> screens;
            view::TwipRect stored;
            int nearest;  // index into screens; -1: the window stays where it was stored
        };
        // At 96 dpi a pixel is 15 twips; the default window is 367 x 346 pixels.
        const Case cases[] = {
            {"on screen, odd twips", 96, {primary}, {1207.5, 1203, 5505, 5190}, -1},
            {"partly off the right edge", 96, {primary}, {27000, 1200, 5505, 5190}, -1},
            {"last pixel column on screen", 96, {primary}, {1919 * 15, 1200, 5505, 5190}, -1},
            {"first pixel past the right edge", 96, {primary}, {1920 * 15, 1200, 5505, 5190}, 0},
            {"last pixel row on screen", 96, {primary}, {1200, 1079 * 15, 5505, 5190}, -1},
            {"first pixel below the bottom", 96, {primary}, {1200, 1080 * 15, 5505, 5190}, 0},
            {"bottom edge just above the top", 96, {primary}, {1200, -346 * 15, 5505, 5190}, 0},
            {"bottom row at the top", 96, {primary}, {1200, -345 * 15, 5505, 5190}, -1},
            {"far left", 96, {primary}, {-20000, 3000, 5505, 5190}, 0},
            {"larger than the screen", 96, {primary}, {60000, 60000, 40000, 30000}, 0},
            {"beyond the right screen", 96, {primary, right}, {60000, 1500, 5505, 5190}, 1},
            {"on the right screen", 96, {primary, right}, {30000, 1500, 5505, 5190}, -1},
            {"below the shorter screen", 96, {primary, right}, {37500, 1050 * 15, 5505, 5190}, 1},
            {"beyond a screen left of the primary",
             96,
             {primary, left},
             {-75000, 0, 5505, 5190},
             1},
            {"below both screens", 96, {primary, right}, {15000, 45000, 5505, 5190}, 0},
            // At 192 dpi a pixel is 7.5 twips: 20000 twips lie past 1920 pixels.
            {"high dpi, off", 192, {primary}, {20000, 1200, 5505, 5190}, 0},
            {"high dpi, on", 192, {primary}, {14000, 1200, 5505, 5190}, -1},
        };
        for (const Case& c : cases) {
            platform::FakeSettingsStore store;
            store.sections[kSection] = Section{{"MainLeft", QString::number(c.stored.left)},
                                               {"MainTop", QString::number(c.stored.top)},
                                               {"MainWidth", QString::number(c.stored.width)},
                                               {"MainHeight", QString::number(c.stored.height)}};
            platform::FakeScreen screen;
            screen.dpi = c.dpi;
            screen.primary = primary;
            screen.available = c.screens;
            app::MainState state({.settings = &store, .screen = &screen});
            app::settings(state, QStringLiteral("get"));
            const view::TwipRect got = state.frame.placement();
            const QByteArray what = QByteArray(c.name) + ": " + placementText(got).toUtf8();
            if (c.nearest < 0) {
                QVERIFY2(got == c.stored, what.constData());
                continue;
            }
            QVERIFY2(got.width == c.stored.width && got.height == c.stored.height,
                     what.constData());
            const double tpp = 1440.0 / c.dpi;
            const QRectF window(got.left / tpp, got.top / tpp, got.width / tpp, got.height / tpp);
            const QRectF target = QRectF(c.screens[c.nearest]);
            if (window.width() <= target.width() && window.height() <= target.height()) {
                QVERIFY2(target.contains(window), what.constData());
            } else {
                QVERIFY2(target.contains(window.topLeft()), what.constData());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)

#include "test_settings.moc"
