#pragma once
// The machine's 128 colours as the viewer shows them, and how near one
// colour is to another, for choosing and dithering a screen's colours.
#include "rgb_picture.h"

#include <array>
#include <cstdint>

namespace photo {

constexpr int SAM_COLOURS = 128;
using Clut = std::array<std::uint8_t, 16>;  // palette index of each look-up entry

// Each index's colour, from the viewer's own palette.
const std::array<Rgb, SAM_COLOURS>& sam_rgb();

// Squared difference, green weighed most and blue least, as the eye does.
constexpr int colour_distance(Rgb a, Rgb b) {
  int r = a.r - b.r, g = a.g - b.g, bl = a.b - b.b;
  return 3 * r * r + 4 * g * g + 2 * bl * bl;
}

// The palette index nearest to c (to within a shade).
int nearest_sam_colour(Rgb c);
// The look-up entry whose colour is nearest to c (the lowest on a tie).
int nearest_entry(Rgb c, const Clut& clut);

}  // namespace photo
