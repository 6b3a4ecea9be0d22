#pragma once

#include <QString>
#include <array>
#include <optional>

#include "lists/slot.h"

namespace trovix {

// What keeps the unsaved records of the slots in recovery files, so that the next start can
// offer them back should the program die (app::UnsavedEditsWatch).
class UnsavedEditsKeeper {
  public:
    // Writes the unsaved records of every changed slot now, and returns once they are on the
    // disk: for each slot, why its records could not be kept, empty when they are (or it has
    // none).
    virtual std::array<QString, 3> keepNow() = 0;
    // Removes every recovery file of this run: a close the user answered.
    virtual void forgetAll() = 0;
    // Offers back, one question each, the records a run that did not close properly left for
    // the file slot `only` holds, or for the files of all three slots.
    virtual void offer(std::optional<lists::SlotId> only) = 0;

  protected:
    ~UnsavedEditsKeeper() = default;
};

}  // namespace trovix
