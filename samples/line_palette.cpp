#include "line_palette.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace photo {

Clut starting_clut(const RgbPicture& picture) {
  // Every eighth pixel both ways is enough to see which colours matter.
  constexpr int STEP = 8;
  const auto& colours = sam_rgb();
  std::vector<std::array<int, SAM_COLOURS>> distance;
  for (int y = STEP / 2; y < RgbPicture::HEIGHT; y += STEP)
    for (int x = STEP / 2; x < RgbPicture::WIDTH; x += STEP) {
      auto& d = distance.emplace_back();
      for (int c = 0; c < SAM_COLOURS; ++c) d[c] = colour_distance(picture.at(x, y), colours[c]);
    }
  std::vector<int> nearest(distance.size(), 1 << 30);
  Clut clut{};
  for (auto& entry : clut) {
    int best = 0;
    std::int64_t best_error = std::numeric_limits<std::int64_t>::max();
    for (int c = 0; c < SAM_COLOURS; ++c) {
      std::int64_t error = 0;
      for (std::size_t i = 0; i < distance.size(); ++i) error += std::min(nearest[i], distance[i][c]);
      if (error < best_error) best = c, best_error = error;
    }
    entry = static_cast<std::uint8_t>(best);
    for (std::size_t i = 0; i < distance.size(); ++i) nearest[i] = std::min(nearest[i], distance[i][best]);
  }
  return clut;
}

std::optional<LineChange> best_line_change(std::span<const Rgb> row, const Clut& clut) {
  const int N = 2 * static_cast<int>(row.size());
  const auto& colours = sam_rgb();
  // What the row asks for: each pixel's colour, and as much again on the
  // far side of the machine colour nearest to it, the colour dithering
  // mixes in. Only colours nearest to some of these are worth trying.
  std::vector<Rgb> wanted(N);
  std::array<bool, SAM_COLOURS> tried{};
  for (int x = 0; x < N / 2; ++x) {
    Rgb c = row[x];
    int n = nearest_sam_colour(c);
    Rgb far = {2 * c.r - colours[n].r, 2 * c.g - colours[n].g, 2 * c.b - colours[n].b};
    wanted[2 * x] = c;
    wanted[2 * x + 1] = {std::clamp(far.r, 0, 255), std::clamp(far.g, 0, 255), std::clamp(far.b, 0, 255)};
    tried[n] = true;
    if (x % 4 == 0) tried[nearest_sam_colour(wanted[2 * x + 1])] = true;
  }
  for (std::uint8_t c : clut) tried[c] = false;  // nothing to gain
  // Each one's nearest entry, its distance, and the distance to the nearest
  // of the others (what it falls back to if that entry changes).
  std::vector<int> nearest(N), first(N), second(N);
  for (int i = 0; i < N; ++i) {
    first[i] = second[i] = 1 << 30;
    for (int e = 0; e < 16; ++e) {
      int d = colour_distance(wanted[i], colours[clut[e]]);
      if (d < first[i]) {
        second[i] = first[i];
        first[i] = d, nearest[i] = e;
      } else if (d < second[i]) {
        second[i] = d;
      }
    }
  }
  std::optional<LineChange> best;
  std::int64_t best_gain = 0;
  for (int c = 0; c < SAM_COLOURS; ++c) {
    if (!tried[c]) continue;
    // Gain of colour c as a seventeenth entry, and what replacing entry e
    // takes back from those that were nearest to e.
    std::int64_t added = 0;
    std::array<std::int64_t, 16> taken_back{};
    for (int i = 0; i < N; ++i) {
      int d = colour_distance(wanted[i], colours[c]);
      int gain = std::max(0, first[i] - d);
      added += gain;
      taken_back[nearest[i]] += gain - (first[i] - std::min(second[i], d));
    }
    for (int e = 0; e < 16; ++e) {
      std::int64_t gain = added - taken_back[e];
      if (gain > best_gain) best_gain = gain, best = LineChange{e, c};
    }
  }
  return best;
}

}  // namespace photo
