#include "app/settings.h"

#include <QCoreApplication>
#include <QRect>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "app/startup.h"
#include "state/command_table.h"
#include "state/defaults.h"
#include "state/main_state.h"

namespace trovix::app {
namespace {

// The two-state toolbar buttons in the order their settings are read and written; their keys
// and defaults stand in the command table.
constexpr Command kStoredButtons[] = {Command::Edit, Command::FileA, Command::FileB, Command::FileC,
                                      Command::Data};
const char* const kFileKeys[] = {"FileA", "FileB", "FileC"};

QString key(const char* name) {
    return QString::fromLatin1(name);
}

// Reads settings one key at a time into the value given, falling back to each key's default.
class Reader {
  public:
    static constexpr bool kReads = true;
    explicit Reader(const platform::SettingsStore& store) : store_(store) {}
    void text(const char* name, const QString& fallback, QString& value) const {
        value = text(key(name), fallback);
    }
    void boolean(const char* name, bool fallback, bool& value) const {
        value = textToBoolean(text(key(name), booleanText(fallback))).value_or(fallback);
    }
    void integer(const char* name, int fallback, int& value) const {
        value = textToInteger(text(key(name), QString::number(fallback))).value_or(fallback);
    }
    void measure(const char* name, double fallback, double& value) const {
        value = textToMeasure(text(key(name), measureText(fallback))).value_or(fallback);
    }

  private:
    QString text(const QString& name, const QString& fallback) const {
        const std::optional<QString> v = store_.value(kSettingsSection, name);
        return v ? *v : fallback;
    }
    const platform::SettingsStore& store_;
};

// Writes each value given under its key.
class Writer {
  public:
    static constexpr bool kReads = false;
    explicit Writer(platform::SettingsStore& store) : store_(store) {}
    void text(const char* name, const QString&, const QString& value) const {
        store_.setValue(kSettingsSection, key(name), value);
    }
    void boolean(const char* name, bool, bool value) const {
        text(name, QString(), booleanText(value));
    }
    void integer(const char* name, int, int value) const {
        text(name, QString(), QString::number(value));
    }
    void measure(const char* name, double, double value) const {
        text(name, QString(), measureText(value));
    }

  private:
    platform::SettingsStore& store_;
};

// A rectangle in pixels, in floating point: stored twips may lie far beyond what an int holds.
struct Area {
    double left, top, width, height;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

Area areaOf(const QRect& r) {
    return {double(r.left()), double(r.top()), double(r.width()), double(r.height())};
}

bool holds(const Area& screen, double x, double y) {
    return x >= screen.left && x < screen.right() && y >= screen.top && y < screen.bottom();
}

double overlap(const Area& a, const Area& b) {
    const double w = std::min(a.right(), b.right()) - std::max(a.left, b.left);
    const double h = std::min(a.bottom(), b.bottom()) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

double distance(const Area& a, const Area& b) {
    const double dx = std::max({0.0, b.left - a.right(), a.left - b.right()});
    const double dy = std::max({0.0, b.top - a.bottom(), a.top - b.bottom()});
    return std::hypot(dx, dy);
}

// The window where it can be reached: a window with a corner off every screen is moved onto
// the screen it overlaps most (or else the nearest), made no larger than that screen, with its
// top-left corner, and so its title bar, on it. A window wholly on the screens stays.
TwipRect reachable(const TwipRect& placement, const platform::Screen& screen) {
    const QList<QRect> screens = screen.availableGeometries();
    if (screens.isEmpty()) {
        return placement;
    }
    const double tpp = screen.twipsPerPixel();
    // In whole pixels, rounded as the window rounds them when it is placed.
    const Area window{wholePixels(placement.left, tpp), wholePixels(placement.top, tpp),
                      std::max(1.0, wholePixels(placement.width, tpp)),
                      std::max(1.0, wholePixels(placement.height, tpp))};
    const auto onScreens = [&screens](double x, double y) {
        return std::any_of(screens.begin(), screens.end(),
                           [x, y](const QRect& s) { return holds(areaOf(s), x, y); });
    };
    const double lastX = window.right() - 1;
    const double lastY = window.bottom() - 1;
    if (onScreens(window.left, window.top) && onScreens(lastX, window.top) &&
        onScreens(window.left, lastY) && onScreens(lastX, lastY)) {
        return placement;
    }
    Area target = areaOf(screens.first());
    for (const QRect& s : screens) {
        const Area candidate = areaOf(s);
        const double more = overlap(candidate, window) - overlap(target, window);
        if (more > 0 || (more == 0 && overlap(target, window) == 0 &&
                         distance(candidate, window) < distance(target, window))) {
            target = candidate;
        }
    }
    const double width = std::min(window.width, target.width);
    const double height = std::min(window.height, target.height);
    const double left = std::clamp(window.left, target.left, target.right() - width);
    const double top = std::clamp(window.top, target.top, target.bottom() - height);
    return {left * tpp, top * tpp, width < window.width ? width * tpp : placement.width,
            height < window.height ? height * tpp : placement.height};
}

// Every stored setting, each key with its default, in the one order they are read and written.
// A Reader fills each value from the store and the window takes it; a Writer stores each value.
template <class Io>
void exchange(MainState& state, const Io& io) {
    constexpr bool reading = Io::kReads;
    WindowFrame& frame = state.frame;
    // A maximised or minimised window keeps the place and size it had when last normal.
    if (reading || frame.windowState() == WindowState::Normal) {
        TwipRect place = frame.placement();
        const std::pair<const char*, double TwipRect::*> sides[] = {
            {"MainLeft", &TwipRect::left},
            {"MainTop", &TwipRect::top},
            {"MainWidth", &TwipRect::width},
            {"MainHeight", &TwipRect::height}};
        for (const auto& [name, side] : sides) {
            io.measure(name, kDefaultPlacement.*side, place.*side);
            if constexpr (reading) {
                frame.setPlacement(place);
            }
        }
        if constexpr (reading) {
            keepWindowReachable(state);
        }
    }

    for (const OptionEntry& option : kOptions) {
        bool checked = state.options.isChecked(option.option);
        io.boolean(option.settingsKey, option.checkedByDefault, checked);
        if constexpr (reading) {
            state.options.setChecked(option.option, checked);
        }
    }
    for (const Command command : kStoredButtons) {
        const ToolbarEntry& button = toolbarEntry(command);
        int value = state.toolbar.isPressed(command) ? 1 : 0;
        io.integer(button.settingsKey, button.pressedByDefault ? 1 : 0, value);
        if constexpr (reading) {
            state.toolbar.setPressed(
                command, value == 0 || value == 1 ? value == 1 : button.pressedByDefault);
        }
    }
    io.integer("DisplaySize", kDefaultDisplaySize, state.displaySize);
    int focus = lists::listNumber(state.listWithFocus);
    io.integer("ListWithFocus", kDefaultListWithFocus, focus);
    if constexpr (reading) {
        state.listWithFocus = lists::slotOfListNumber(focus);
    }
    io.integer("Gap", kDefaultGap, state.gap);
    for (std::size_t i = 0; i < 3; ++i) {
        const QString usual = defaultDataFile(state.programFolder, key(kDefaultDataFiles[i]));
        if constexpr (!reading) {
            // A file whose reading the user cancelled is not read again at the next start.
            if (QString instead = state.fileSlots[i].rememberedInstead; !instead.isEmpty()) {
                io.text(kFileKeys[i], usual, instead);
                continue;
            }
        }
        io.text(kFileKeys[i], usual, state.fileSlots[i].fileName);
    }
    for (std::size_t k = 0; k < state.history.size(); ++k) {
        const QByteArray name = QStringLiteral("ST%1").arg(k).toLatin1();
        io.text(name.constData(), QString(), state.history[k]);
    }

    const ListFont defaults;
    ListFont font = frame.font();
    io.text("FontName", defaults.name, font.name);
    io.integer("FontSize", defaults.size, font.size);
    io.boolean("FontBold", defaults.bold, font.bold);
    io.boolean("FontItalic", defaults.italic, font.italic);
    if constexpr (reading) {
        // A size beyond these shows no readable text; the window stores the size it shows.
        font.size = std::clamp(font.size, kSmallestFontSize, kLargestFontSize);
        frame.setFont(font);
    }
}

}  // namespace

QStringList storedDataFileNames(const platform::SettingsStore& store,
                                const QString& programFolder) {
    const Reader reader(store);
    QStringList names;
    for (std::size_t i = 0; i < 3; ++i) {
        QString name;
        reader.text(kFileKeys[i], defaultDataFile(programFolder, key(kDefaultDataFiles[i])), name);
        names << name;
    }
    return names;
}

namespace {

void readAll(MainState& state) {
    exchange(state, Reader(*state.services.settings));
}

void writeAll(MainState& state) {
    platform::SettingsStore& out = *state.services.settings;
    exchange(state, Writer(out));
    if (const platform::Result<void> synced = out.sync(); !synced) {
        state.services.messages->show(
            QCoreApplication::translate("Settings",
                                        "The settings of Trovix could not be stored:\n%1\n\nThe "
                                        "window's place, the options, the file names and the "
                                        "search history of this session are lost.")
                .arg(synced.error()),
            QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
    }
}

}  // namespace

void keepWindowReachable(MainState& state) {
    // Where the desktop places the window, the stored place is kept as it was, for the next
    // run on a desktop where the window places itself.
    if (state.services.screen->canPlaceWindows()) {
        state.frame.setPlacement(reachable(state.frame.placement(), *state.services.screen));
    }
}

QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");  // as the settings hold them
}

std::optional<bool> textToBoolean(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    bool ok = false;
    const double number = t.toDouble(&ok);  // a number is true unless it is zero
    return ok ? std::optional<bool>(number != 0) : std::nullopt;
}

std::optional<int> textToInteger(const QString& text) {
    bool ok = false;
    const QString t = text.trimmed();
    const int whole = t.toInt(&ok);
    if (ok) {
        return whole;
    }
    const double number = t.toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(std::nearbyint(number));  // halves to even
}

std::optional<double> textToMeasure(const QString& text) {
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

QString measureText(double twips) {
    return QString::number(twips, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

void settings(MainState& state, SettingsTask task) {
    switch (task) {
        case SettingsTask::Read:
            readAll(state);
            break;
        case SettingsTask::Write:
            writeAll(state);
            break;
    }
}

}  // namespace trovix::app
