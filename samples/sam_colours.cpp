#include "sam_colours.h"

#include "screen/sam_palette.h"

#include <vector>

namespace photo {

const std::array<Rgb, SAM_COLOURS>& sam_rgb() {
  // The viewer's mapping on the viewer's levels; the samples tests hold it
  // to sam_colour, so that what is scored here is what the viewer shows.
  static const std::array<Rgb, SAM_COLOURS> colours = [] {
    std::array<Rgb, SAM_COLOURS> c;
    for (int i = 0; i < SAM_COLOURS; ++i) {
      auto bit = [i](int n) { return (i >> n) & 1; };
      auto level = [&](int high, int low) { return colour_levels[bit(high) * 4 + bit(low) * 2 + bit(3)]; };
      c[i] = {level(5, 1), level(6, 2), level(4, 0)};
    }
    return c;
  }();
  return colours;
}

int nearest_sam_colour(Rgb c) {
  // Looked up at 32 shades a channel: off by a shade at most, where two
  // colours are almost equally near, and one read instead of 128 sums.
  static const std::vector<std::uint8_t> nearest = [] {
    const auto& colours = sam_rgb();
    std::vector<std::uint8_t> table(32 * 32 * 32);
    for (std::size_t i = 0; i < table.size(); ++i) {
      Rgb shade = {static_cast<int>(i >> 10) * 8 + 4, static_cast<int>(i >> 5 & 31) * 8 + 4,
                   static_cast<int>(i & 31) * 8 + 4};
      int best_distance = 1 << 30;
      for (int k = 0; k < SAM_COLOURS; ++k) {
        int d = colour_distance(shade, colours[k]);
        if (d < best_distance) table[i] = static_cast<std::uint8_t>(k), best_distance = d;
      }
    }
    return table;
  }();
  return nearest[static_cast<std::size_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3)];
}

int nearest_entry(Rgb c, const Clut& clut) {
  const auto& colours = sam_rgb();
  int best = 0;
  int best_distance = colour_distance(c, colours[clut[0]]);
  for (int e = 1; e < 16; ++e) {
    int d = colour_distance(c, colours[clut[e]]);
    if (d < best_distance) best = e, best_distance = d;
  }
  return best;
}

}  // namespace photo
