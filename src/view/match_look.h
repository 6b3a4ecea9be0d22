#pragma once

#include <cstdint>

namespace trovix::view {

// How the occurrences of the search terms are drawn in the lists and the edit box: dark text on
// amber, as 0xRRGGBB. The pair reads at 10:1, and the amber stands apart from both
// list backgrounds (white, and the light red of the list with focus) and from a selected row.
inline constexpr std::uint32_t kMatchBackground = 0xFFB000;
inline constexpr std::uint32_t kMatchText = 0x141414;

}  // namespace trovix::view
