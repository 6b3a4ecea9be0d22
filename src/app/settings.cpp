#include "app/settings.h"

#include <QRect>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

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

// Reads settings one key at a time, falling back to each key's default.
class Reader {
  public:
    explicit Reader(const platform::SettingsStore& store) : store_(store) {}
    QString text(const QString& name, const QString& fallback) const {
        const std::optional<QString> v = store_.value(kSettingsSection, name);
        return v ? *v : fallback;
    }
    bool boolean(const QString& name, bool fallback) const {
        return textToBoolean(text(name, booleanText(fallback))).value_or(fallback);
    }
    int integer(const QString& name, int fallback) const {
        return textToInteger(text(name, QString::number(fallback))).value_or(fallback);
    }
    double measure(const QString& name, double fallback) const {
        return textToMeasure(text(name, measureText(fallback))).value_or(fallback);
    }

  private:
    const platform::SettingsStore& store_;
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
    const Area window{std::round(placement.left / tpp), std::round(placement.top / tpp),
                      std::max(1.0, std::round(placement.width / tpp)),
                      std::max(1.0, std::round(placement.height / tpp))};
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

void readAll(MainState& state) {
    const Reader in(*state.services.settings);
    WindowFrame& frame = state.frame;
    TwipRect place = frame.placement();
    place.left = in.measure(key("MainLeft"), kDefaultPlacement.left);
    frame.setPlacement(place);
    place.top = in.measure(key("MainTop"), kDefaultPlacement.top);
    frame.setPlacement(place);
    place.width = in.measure(key("MainWidth"), kDefaultPlacement.width);
    frame.setPlacement(place);
    place.height = in.measure(key("MainHeight"), kDefaultPlacement.height);
    frame.setPlacement(place);
    keepWindowReachable(state);

    for (const OptionEntry& option : kOptions) {
        state.options.setChecked(option.option,
                                 in.boolean(key(option.settingsKey), option.checkedByDefault));
    }
    for (const Command command : kStoredButtons) {
        const ToolbarEntry& button = toolbarEntry(command);
        const int value = in.integer(key(button.settingsKey), button.pressedByDefault ? 1 : 0);
        state.toolbar.setPressed(command,
                                 value == 0 || value == 1 ? value == 1 : button.pressedByDefault);
    }
    state.displaySize = in.integer(key("DisplaySize"), kDefaultDisplaySize);
    state.listWithFocus = in.integer(key("ListWithFocus"), kDefaultListWithFocus);
    state.gap = in.integer(key("Gap"), kDefaultGap);
    for (std::size_t i = 0; i < 3; ++i) {
        state.fileSlots[i].fileName = in.text(
            key(kFileKeys[i]), defaultDataFile(state.programFolder, key(kDefaultDataFiles[i])));
    }
    for (std::size_t k = 0; k < state.history.size(); ++k) {
        state.history[k] = in.text(QStringLiteral("ST%1").arg(k), QString());
    }
    const ListFont defaults;
    ListFont font;
    font.name = in.text(key("FontName"), defaults.name);
    // A size beyond these shows no readable text; the window stores the size it shows.
    font.size =
        std::clamp(in.integer(key("FontSize"), defaults.size), kSmallestFontSize, kLargestFontSize);
    font.bold = in.boolean(key("FontBold"), defaults.bold);
    font.italic = in.boolean(key("FontItalic"), defaults.italic);
    frame.setFont(font);
}

void writeAll(MainState& state) {
    platform::SettingsStore& out = *state.services.settings;
    const auto put = [&out](const QString& name, const QString& value) {
        out.setValue(kSettingsSection, name, value);
    };
    // A maximised or minimised window keeps the place and size it had when last normal.
    if (state.frame.windowState() == WindowState::Normal) {
        const TwipRect& place = state.frame.placement();
        put(key("MainLeft"), measureText(place.left));
        put(key("MainTop"), measureText(place.top));
        put(key("MainWidth"), measureText(place.width));
        put(key("MainHeight"), measureText(place.height));
    }
    for (const OptionEntry& option : kOptions) {
        put(key(option.settingsKey), booleanText(state.options.isChecked(option.option)));
    }
    for (const Command command : kStoredButtons) {
        put(key(toolbarEntry(command).settingsKey),
            state.toolbar.isPressed(command) ? QStringLiteral("1") : QStringLiteral("0"));
    }
    put(key("DisplaySize"), QString::number(state.displaySize));
    put(key("ListWithFocus"), QString::number(state.listWithFocus));
    put(key("Gap"), QString::number(state.gap));
    for (std::size_t i = 0; i < 3; ++i) {
        put(key(kFileKeys[i]), state.fileSlots[i].fileName);
    }
    for (std::size_t k = 0; k < state.history.size(); ++k) {
        put(QStringLiteral("ST%1").arg(k), state.history[k]);
    }
    const ListFont& font = state.frame.font();
    put(key("FontName"), font.name);
    put(key("FontSize"), QString::number(font.size));
    put(key("FontBold"), booleanText(font.bold));
    put(key("FontItalic"), booleanText(font.italic));
    if (const platform::Result<void> synced = out.sync(); !synced) {
        state.services.messages->show(
            QStringLiteral("The settings of Trovix could not be stored:\n%1\n\nThe window's "
                           "place, the options, the file names and the search history of this "
                           "session are lost.")
                .arg(synced.error()),
            QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
    }
}

}  // namespace

void keepWindowReachable(MainState& state) {
    state.frame.setPlacement(reachable(state.frame.placement(), *state.services.screen));
}

QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
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

void settings(MainState& state, const QString& task) {
    if (task == QLatin1String("get")) {
        readAll(state);
    } else {
        writeAll(state);
    }
}

}  // namespace trovix::app
