#include "encoder/starting_clut.h"

#include <algorithm>
#include <limits>

namespace encoder {

namespace {

constexpr double HUGE_ERROR = std::numeric_limits<double>::max() / 4;

}  // namespace

Clut starting_clut(const ColourBins& bins) {
  const WeightedColours w = weigh_bins(bins);
  Clut clut{};
  const std::size_t n = w.weight.size();
  if (n <= CLUT_ENTRIES) {
    for (std::size_t i = 0; i < CLUT_ENTRIES; ++i)
      clut[i] = static_cast<std::uint8_t>(i < n ? w.colour[i] : (n > 0 ? w.colour[0] : 0));
    return clut;
  }

  // Greedy: each entry the colour that most lowers the error so far.
  std::vector<double> best(n, HUGE_ERROR);
  for (auto& entry : clut) {
    int pick = 0;
    double pick_error = HUGE_ERROR;
    for (int c = 0; c < PALETTE_COLOURS; ++c) {
      double error = 0;
      for (std::size_t i = 0; i < n; ++i) error += w.weight[i] * std::min<double>(best[i], w.distance[i][c]);
      if (error < pick_error) pick = c, pick_error = error;
    }
    entry = static_cast<std::uint8_t>(pick);
    for (std::size_t i = 0; i < n; ++i) best[i] = std::min<double>(best[i], w.distance[i][pick]);
  }

  // Swaps: the one exchange of an entry for a colour outside the table that
  // lowers the error most, until none does.
  for (int pass = 0; pass < 64; ++pass) {
    const Nearest near = nearest_entries(w, clut);
    double current = 0;
    for (std::size_t i = 0; i < n; ++i) current += w.weight[i] * near.first[i];
    std::array<bool, PALETTE_COLOURS> in_table{};
    for (std::uint8_t c : clut) in_table[c] = true;
    double best_error = current * (1 - 1e-9);
    int best_entry = -1, best_colour = 0;
    for (int c = 0; c < PALETTE_COLOURS; ++c) {
      if (in_table[static_cast<std::size_t>(c)]) continue;
      // Error with c in place of each entry in turn, from the same sums.
      std::array<double, CLUT_ENTRIES> error{};
      double kept = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const double d = w.distance[i][c];
        kept += w.weight[i] * std::min<double>(near.first[i], d);
        error[static_cast<std::size_t>(near.entry[i])] +=
            w.weight[i] * (std::min<double>(near.second[i], d) - std::min<double>(near.first[i], d));
      }
      for (int e = 0; e < CLUT_ENTRIES; ++e) {
        const double total = kept + error[static_cast<std::size_t>(e)];
        if (total < best_error) best_error = total, best_entry = e, best_colour = c;
      }
    }
    if (best_entry < 0) break;
    clut[static_cast<std::size_t>(best_entry)] = static_cast<std::uint8_t>(best_colour);
  }
  return clut;
}

}  // namespace encoder
