#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace trovix {
struct MainState;
}

namespace trovix::platform {
class SettingsStore;
}

namespace trovix::app {

inline const QString kSettingsSection = QStringLiteral("Settings");  // not shown

enum class SettingsTask { Read, Write };

// Reads every setting and applies it, or writes every setting out. A key that is missing or
// holds text that does not convert gives its default.
void settings(MainState& state, SettingsTask task);

// The three data file names the settings hold, as they hold them; the default file in
// `programFolder` where they hold none. Reads the store only.
QStringList storedDataFileNames(const platform::SettingsStore& store, const QString& programFolder);

// The font sizes, in points, that settings may give the lists and the edit box.
inline constexpr int kSmallestFontSize = 6;
inline constexpr int kLargestFontSize = 72;

// Moves the window, and makes it smaller if need be, so that all of it is on the screens: a
// window that settings (or a second copy's offset) put partly or wholly off them could not be
// reached by its title bar.
void keepWindowReachable(MainState& state);

// The text forms of the stored values.
QString booleanText(bool value);
std::optional<bool> textToBoolean(const QString& text);
std::optional<int> textToInteger(const QString& text);
std::optional<double> textToMeasure(const QString& text);
QString measureText(double twips);

}  // namespace trovix::app
