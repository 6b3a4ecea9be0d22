#pragma once

#include "state/geometry.h"

namespace trovix {

// What the window starts with when no setting says otherwise. The defaults of the options and
// the toolbar's two-state buttons stand in the command table; the font's in ListFont.
inline constexpr TwipRect kDefaultPlacement{1200, 1200, 5505, 5190};
// From the window's bottom edge up to the splitter bar, twips.
inline constexpr int kDefaultGap = 2700;
inline constexpr int kDefaultListWithFocus = 1;
inline constexpr int kDefaultDisplaySize = 1;
// The data files of slots A, B and C, in the program's folder.
inline constexpr const char* kDefaultDataFiles[] = {"phone_numbers.txt", "taglines.txt",
                                                    "area_codes.txt"};

}  // namespace trovix
