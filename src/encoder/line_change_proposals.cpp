#include "encoder/line_change_proposals.h"

#include <algorithm>
#include <limits>

namespace encoder {

namespace {

// How far below a row its change is weighed: a change stays, so it should
// suit the rows that follow, but farther rows get their own changes.
constexpr int WINDOW_ROWS = 16;

// The best changes for the rows in `window`, among those that also help
// the first row: a change no pixel of its own row wants would only be spent
// early on rows that can change for themselves.
std::vector<LineChange> best_changes(const WeightedColours& window, const std::vector<double>& row_weight,
                                     const Clut& clut, int count) {
  const std::size_t n = window.weight.size();
  const Nearest near = nearest_entries(window, clut);
  std::array<bool, PALETTE_COLOURS> in_table{};
  for (std::uint8_t c : clut) in_table[c] = true;

  std::vector<LineChange> best;  // by gain, largest first
  for (int c = 0; c < PALETTE_COLOURS; ++c) {
    if (in_table[static_cast<std::size_t>(c)]) continue;
    // Gain of c as a seventeenth entry, less what losing each entry costs
    // the bins that were nearest to it: over the window, and over the row.
    double added = 0, added_row = 0;
    std::array<double, CLUT_ENTRIES> lost{}, lost_row{};
    for (std::size_t i = 0; i < n; ++i) {
      const float d = window.distance[i][c];
      const double gain = std::max(0.0f, near.first[i] - d);
      const double back = gain - (near.first[i] - std::min(near.second[i], d));
      added += window.weight[i] * gain;
      added_row += row_weight[i] * gain;
      lost[static_cast<std::size_t>(near.entry[i])] += window.weight[i] * back;
      lost_row[static_cast<std::size_t>(near.entry[i])] += row_weight[i] * back;
    }
    // Each colour once, in the entry where it costs least.
    LineChange pick{0, -1, c, 1e-6};
    for (int e = 0; e < CLUT_ENTRIES; ++e) {
      const double gain = added - lost[static_cast<std::size_t>(e)];
      const double gain_row = added_row - lost_row[static_cast<std::size_t>(e)];
      if (gain_row > 1e-6 && gain > pick.gain + 1e-6) pick.entry = e, pick.gain = gain;
    }
    if (pick.entry < 0) continue;
    const auto at = std::find_if(best.begin(), best.end(), [&](const LineChange& b) { return b.gain < pick.gain; });
    best.insert(at, pick);
    if (static_cast<int>(best.size()) > count) best.pop_back();
  }
  return best;
}

}  // namespace

std::vector<LineChange> propose_line_changes(const RowBins& rows, int y, const Clut& clut, int count) {
  const int height = static_cast<int>(rows.size());
  ColourBins window = rows[static_cast<std::size_t>(y)];
  for (int below = y + 1; below < std::min(height, y + WINDOW_ROWS); ++below)
    for (int c = 0; c < PALETTE_COLOURS; ++c)
      window[static_cast<std::size_t>(c)].add(rows[static_cast<std::size_t>(below)][static_cast<std::size_t>(c)]);
  const WeightedColours weighed = weigh_bins(window);
  std::vector<double> row_weight;
  for (int c : weighed.colour)
    row_weight.push_back(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(c)].weight);
  std::vector<LineChange> changes = best_changes(weighed, row_weight, clut, count);
  for (LineChange& change : changes) change.row = y;
  return changes;
}

}  // namespace encoder
