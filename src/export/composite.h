#pragma once
// Compositing of a 32-bit pixel over a white background, for outputs that
// cannot keep alpha.
#include <cstdint>

// One colour byte c under alpha a over white: a × (c − 255) / 255 + 255 in
// integer arithmetic. The numerator is never negative, so the division
// truncates the same way toward zero and downward.
inline std::uint8_t composite_over_white(std::uint8_t colour, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((alpha * (colour - 255) + 65025) / 255);
}
