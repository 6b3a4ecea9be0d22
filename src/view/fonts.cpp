#include "view/fonts.h"

#include <cmath>

#include "app/main_state.h"

namespace trovix::view {

void setFonts(app::MainState& state) {
    // The font lives in the window frame; writing it there is what shows it.
    state.frame.setFont(state.frame.font());
}

void selectFont(app::MainState& state) {
    platform::FontDialog* dialog = state.services.fonts;
    if (dialog == nullptr) {
        return;
    }
    app::ListFont font = state.frame.font();
    platform::FontChoice initial;
    initial.family = font.name;
    initial.pointSize = font.size;
    initial.weight = font.bold ? 700 : 400;
    initial.italic = font.italic;
    const std::optional<platform::FontChoice> chosen = dialog->chooseFont(initial);
    if (!chosen) {
        return;
    }
    font.name = chosen->family;
    if (font.name.isEmpty()) {
        return;
    }
    if (chosen->weight) {
        font.bold = *chosen->weight >= 600;  // demibold and heavier
    }
    font.italic = chosen->italic;
    font.size = static_cast<int>(std::nearbyint(chosen->pointSize));  // 10.5 gives 10, 11.5 12
    state.frame.setFont(font);
    setFonts(state);
    state.statusBar.setSimpleText(font.name + QStringLiteral("  %1 pt").arg(font.size));
}

}  // namespace trovix::view
