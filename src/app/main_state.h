#pragma once

#include <QString>
#include <array>
#include <functional>

#include "app/controls.h"
#include "platform/services.h"
#include "store/listing.h"
#include "store/slot.h"

namespace trovix::app {

// The state of the main window for the life of the program: the three file slots with their
// result lists, the other controls, and the shared flags the procedures work on.
struct MainState {
    explicit MainState(platform::Services services = {}) : services(services) {}
    MainState(const MainState&) = delete;
    MainState& operator=(const MainState&) = delete;

    store::FileSlot& slot(store::SlotId id) { return fileSlots[static_cast<std::size_t>(id)]; }
    const store::FileSlot& slot(store::SlotId id) const {
        return fileSlots[static_cast<std::size_t>(id)];
    }

    bool fullDataView() const { return toolbar.isPressed(QStringLiteral("data")); }
    bool displayFileNames() const { return options.isChecked(Option::DisplayFileNames); }
    store::ListingOptions listingOptions() const { return {displayFileNames(), fullDataView()}; }

    std::array<store::FileSlot, 3> fileSlots;
    // While set, the list click handlers and the edit box change handler do nothing: the
    // program itself is changing selections or the edit box text.
    bool busy = false;
    // The list with focus: 1, 2, 3 for the lists of slots A, B, C; 0 for none.
    int listWithFocus = 0;

    EditBox editBox;
    SearchBox searchBox;
    Toolbar toolbar;
    OptionMenu options;
    StatusBar statusBar;
    WindowFrame frame;

    // From the window's bottom edge up to the splitter bar, twips.
    int gap = 2700;
    // Carried from run to run unchanged.
    int displaySize = 1;

    // The search history, newest first; an empty text is an unused entry.
    std::array<QString, 10> history;

    // Closes the main window by its normal close path.
    std::function<void()> closeWindow;

    platform::Services services;
    QString programFolder;
};

}  // namespace trovix::app
