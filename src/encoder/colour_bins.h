#pragma once
// Pixels gathered by their nearest palette colour: a bin's weight and the
// mean of its pixels in Lab. Palette choices are then weighed on at most
// 128 bins instead of thousands of pixels.
#include "encoder/colour_space.h"

#include <vector>

namespace encoder {

struct ColourBin {
  double weight = 0;
  double l = 0, a = 0, b = 0;  // sums, over `weight` pixels
  void add(Lab c, double w = 1) {
    weight += w;
    l += w * c.l, a += w * c.a, b += w * c.b;
  }
  void add(const ColourBin& other) {
    weight += other.weight;
    l += other.l, a += other.a, b += other.b;
  }
  Lab mean() const {
    return {static_cast<float>(l / weight), static_cast<float>(a / weight), static_cast<float>(b / weight)};
  }
};

using ColourBins = std::array<ColourBin, PALETTE_COLOURS>;

// The occupied bins as points with weights, and each one's distance to every
// palette colour.
struct WeightedColours {
  std::vector<double> weight;
  std::vector<std::array<float, PALETTE_COLOURS>> distance;
  std::vector<int> colour;  // the palette colour of each bin
};
WeightedColours weigh_bins(const ColourBins& bins);

// Each bin's distance to its nearest entry of a table, which entry that is,
// and the distance to the nearest of the rest.
struct Nearest {
  std::vector<float> first, second;
  std::vector<int> entry;
};
Nearest nearest_entries(const WeightedColours& w, const Clut& clut);

}  // namespace encoder
