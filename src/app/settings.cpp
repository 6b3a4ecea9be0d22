#include "app/settings.h"

#include <QRect>
#include <QRegularExpression>
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
    explicit Reader(const platform::SettingsStore* store) : store_(store) {}
    QString text(const QString& name, const QString& fallback) const {
        const std::optional<QString> v =
            store_ != nullptr ? store_->value(kSettingsSection, name) : std::nullopt;
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
    const platform::SettingsStore* store_;
};

// A window that lies off every screen is moved onto the nearest one; its size stays.
TwipRect ontoAScreen(const TwipRect& placement, const platform::Screen* screen) {
    if (screen == nullptr) {
        return placement;
    }
    const double tpp = screen->twipsPerPixel();
    const QRect window(static_cast<int>(std::lround(placement.left / tpp)),
                       static_cast<int>(std::lround(placement.top / tpp)),
                       std::max(1, static_cast<int>(std::lround(placement.width / tpp))),
                       std::max(1, static_cast<int>(std::lround(placement.height / tpp))));
    const QList<QRect> screens = screen->availableGeometries();
    const QRect* nearest = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& s : screens) {
        if (s.intersects(window)) {
            return placement;
        }
        const qint64 dx = std::max({0, s.left() - window.right(), window.left() - s.right()});
        const qint64 dy = std::max({0, s.top() - window.bottom(), window.top() - s.bottom()});
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = &s;
        }
    }
    if (nearest == nullptr) {
        return placement;
    }
    // Keep the top-left corner on the screen, and as much of the window as fits.
    const int x = std::clamp(window.left(), nearest->left(),
                             std::max(nearest->left(), nearest->right() + 1 - window.width()));
    const int y = std::clamp(window.top(), nearest->top(),
                             std::max(nearest->top(), nearest->bottom() + 1 - window.height()));
    return {x * tpp, y * tpp, placement.width, placement.height};
}

void readAll(MainState& state) {
    const Reader in(state.services.settings);
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
    frame.setPlacement(ontoAScreen(place, state.services.screen));

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
    font.size = in.integer(key("FontSize"), defaults.size);
    font.bold = in.boolean(key("FontBold"), defaults.bold);
    font.italic = in.boolean(key("FontItalic"), defaults.italic);
    frame.setFont(font);
}

void writeAll(MainState& state) {
    platform::SettingsStore* out = state.services.settings;
    if (out == nullptr) {
        return;
    }
    const auto put = [out](const QString& name, const QString& value) {
        out->setValue(kSettingsSection, name, value);
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
    if (!out->sync() && state.services.messages != nullptr) {
        state.services.messages->show(
            QStringLiteral("The settings of Trovix could not be stored:\n%1\n\nThe window's "
                           "place, the options, the file names and the search history of this "
                           "session are lost.")
                .arg(out->errorString()),
            QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
    }
}

}  // namespace

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
