#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "lists/listing.h"
#include "lists/slot.h"
#include "platform/services.h"
#include "state/change_notice.h"
#include "state/controls.h"
#include "state/unsaved_edits_keeper.h"
#include "undo/edit_history.h"

namespace trovix {

// The state of the main window for the life of the program: the three file slots with their
// result lists, the other controls, and the shared flags the procedures work on.
struct MainState {
    explicit MainState(platform::Services given) : services(given) {}
    MainState(const MainState&) = delete;
    MainState& operator=(const MainState&) = delete;

    lists::FileSlot& slot(lists::SlotId id) { return lists::slotOf(fileSlots, id); }
    const lists::FileSlot& slot(lists::SlotId id) const { return lists::slotOf(fileSlots, id); }
    // The slot of the list with focus, or none while no list has the focus.
    lists::FileSlot* focusedSlot() { return listWithFocus ? &slot(*listWithFocus) : nullptr; }
    const lists::FileSlot* focusedSlot() const {
        return listWithFocus ? &slot(*listWithFocus) : nullptr;
    }

    bool fullDataView() const { return toolbar.isPressed(Command::Data); }
    bool displayFileNames() const { return options.isChecked(Option::DisplayFileNames); }
    lists::ListingOptions listingOptions() const { return {displayFileNames(), fullDataView()}; }
    // What reading and saving the files take.
    lists::FileContext files() { return {fileSlots, services, listingOptions(), programFolder}; }

    lists::FileSlots fileSlots;
    // While set, the list click handlers, the edit box change handler and the layout do
    // nothing: the program itself is changing selections or the edit box text. Set it with a
    // BusySection.
    bool busy = false;
    // The list with focus, by its slot, or none.
    std::optional<lists::SlotId> listWithFocus;

    EditBox editBox;
    SearchBox searchBox;
    Toolbar toolbar;
    OptionMenu options;
    StatusBar statusBar;
    WindowFrame frame;
    ChangeNotice changeNotice;

    // From the window's bottom edge up to the splitter bar, twips.
    int gap = kDefaultGap;
    // Carried from run to run unchanged.
    int displaySize = kDefaultDisplaySize;

    // The search history, newest first; an empty text is an unused entry.
    std::array<QString, 10> history;

    // The undo and redo history of the records.
    undo::EditHistory edits;

    // Whether the window has been activated since it was first shown.
    bool activatedOnce = false;

    // Keeps the unsaved records in recovery files, for the next start should the program die;
    // none while nothing keeps them.
    UnsavedEditsKeeper* unsavedEdits = nullptr;

    platform::Services services;
    QString programFolder;
};

// Raises Busy for its lifetime and then gives it back the value it had, so that a busy section
// inside another one does not end the outer one early.
class BusySection {
  public:
    explicit BusySection(MainState& state) : busy_(state.busy), previous_(state.busy) {
        busy_ = true;
    }
    ~BusySection() { busy_ = previous_; }
    BusySection(const BusySection&) = delete;
    BusySection& operator=(const BusySection&) = delete;

  private:
    bool& busy_;
    bool previous_;
};

}  // namespace trovix
