#include "encoder/colour_bins.h"

#include <limits>

namespace encoder {

WeightedColours weigh_bins(const ColourBins& bins) {
  WeightedColours w;
  const auto& palette = palette_lab();
  for (int c = 0; c < PALETTE_COLOURS; ++c) {
    const ColourBin& bin = bins[static_cast<std::size_t>(c)];
    if (bin.weight <= 0) continue;
    const Lab mean = bin.mean();
    auto& d = w.distance.emplace_back();
    for (int p = 0; p < PALETTE_COLOURS; ++p) d[p] = delta_e(mean, palette[p]);
    w.weight.push_back(bin.weight);
    w.colour.push_back(c);
  }
  return w;
}

Nearest nearest_entries(const WeightedColours& w, const Clut& clut) {
  const std::size_t n = w.weight.size();
  Nearest near{std::vector<float>(n), std::vector<float>(n), std::vector<int>(n)};
  for (std::size_t i = 0; i < n; ++i) {
    float first = std::numeric_limits<float>::max(), second = first;
    int entry = 0;
    for (int e = 0; e < CLUT_ENTRIES; ++e) {
      const float d = w.distance[i][clut[static_cast<std::size_t>(e)]];
      if (d < first) {
        second = first, first = d, entry = e;
      } else if (d < second) {
        second = d;
      }
    }
    near.first[i] = first, near.second[i] = second, near.entry[i] = entry;
  }
  return near;
}

}  // namespace encoder
