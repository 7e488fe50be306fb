#include "encoder/screen_dither.h"

#include "sam/screen_decoder.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace encoder {

namespace {

// A row's table a component at a time, so that the distances vectorise.
struct RowLab {
  std::array<float, CLUT_ENTRIES> l, a, b;
  Lab operator[](std::size_t e) const { return {l[e], a[e], b[e]}; }
};

RowLab table_lab(const Clut& clut) {
  RowLab out;
  for (std::size_t e = 0; e < CLUT_ENTRIES; ++e) {
    const Lab c = palette_lab()[clut[e]];
    out.l[e] = c.l, out.a[e] = c.a, out.b[e] = c.b;
  }
  return out;
}

// The nearest entry; the lowest on a tie, so that repeated entries all
// show as the first. Each distance carries its entry in its lowest bits
// (distances are never negative, so their bits order as integers do), and
// the least of those keys, which vectorises, is the answer: distances that
// differ by less than a part in 500,000 count as tied.
inline std::uint8_t nearest_entry(Lab c, const RowLab& table) {
  std::int32_t best = INT32_MAX;
  for (std::size_t e = 0; e < CLUT_ENTRIES; ++e) {
    const float dl = c.l - table.l[e], da = c.a - table.a[e], db = c.b - table.b[e];
    const std::int32_t key =
        (std::bit_cast<std::int32_t>(dl * dl + da * da + db * db) & ~(CLUT_ENTRIES - 1)) | static_cast<std::int32_t>(e);
    best = std::min(best, key);
  }
  return static_cast<std::uint8_t>(best & (CLUT_ENTRIES - 1));
}

// The classic 8 x 8 Bayer matrix, thresholds 0-63.
constexpr std::array<std::array<int, 8>, 8> BAYER = {{{0, 32, 8, 40, 2, 34, 10, 42},
                                                      {48, 16, 56, 24, 50, 18, 58, 26},
                                                      {12, 44, 4, 36, 14, 46, 6, 38},
                                                      {60, 28, 52, 20, 62, 30, 54, 22},
                                                      {3, 35, 11, 43, 1, 33, 9, 41},
                                                      {51, 19, 59, 27, 49, 17, 57, 25},
                                                      {15, 47, 7, 39, 13, 45, 5, 37},
                                                      {63, 31, 55, 23, 61, 29, 53, 21}}};

// About one step between the SAM levels (36 of 255), since a row's 16
// colours sit at least that far apart.
constexpr float ORDERED_SPREAD = 40.0f / 255.0f;

// Error carried in Lab, each part held to about one palette step so that a
// colour the table cannot reach does not smear across the row.
constexpr float LIMIT = 24.0f;

}  // namespace

RowDither::RowDither(const RgbPicture& picture, const std::vector<Lab>& lab, Dither mode)
    : mode_(mode), want_(lab.data()) {
  if (mode != Dither::ordered) return;
  ordered_.resize(lab.size());
  want_ = ordered_.data();
  for (std::size_t i = 0; i < ordered_.size(); ++i) {
    const std::size_t x = i % SCREEN_WIDTH, y = i / SCREEN_WIDTH;
    const float offset = ((static_cast<float>(BAYER[y % 8][x % 8]) + 0.5f) / 64.0f - 0.5f) * ORDERED_SPREAD;
    const std::uint8_t* rgb = &picture.rgb[i * 3];
    auto level = [offset](std::uint8_t v) { return linear_of_encoded(static_cast<float>(v) / 255.0f + offset); };
    ordered_[i] = lab_of({level(rgb[0]), level(rgb[1]), level(rgb[2])});
  }
}

void RowDither::row(int y, const Clut& clut, Carry& carry, std::uint8_t* entries) const {
  const RowLab table = table_lab(clut);
  const Lab* want = want_ + static_cast<std::size_t>(y) * SCREEN_WIDTH;
  if (mode_ != Dither::diffusion) {
    for (int x = 0; x < SCREEN_WIDTH; ++x) entries[x] = nearest_entry(want[x], table);
    return;
  }
  constexpr int PAD = 1;
  auto& here = carry.error;
  std::array<Lab, SCREEN_WIDTH + 2 * PAD> below{};
  const int step = y % 2 == 0 ? 1 : -1;
  for (int i = 0; i < SCREEN_WIDTH; ++i) {
    const int x = step > 0 ? i : SCREEN_WIDTH - 1 - i;
    const int at = x + PAD;
    const Lab& held = here[static_cast<std::size_t>(at)];
    auto hold = [](float v) { return std::clamp(v, -LIMIT, LIMIT); };
    const Lab asked{want[x].l + hold(held.l), want[x].a + hold(held.a), want[x].b + hold(held.b)};
    const std::uint8_t entry = nearest_entry(asked, table);
    entries[x] = entry;
    const Lab got = table[entry];
    const Lab error{asked.l - got.l, asked.a - got.a, asked.b - got.b};
    auto spread = [&error](auto& row, int to, float share) {
      Lab& c = row[static_cast<std::size_t>(to)];
      c.l += error.l * share, c.a += error.a * share, c.b += error.b * share;
    };
    spread(here, at + step, 7.0f / 16);
    spread(below, at - step, 3.0f / 16);
    spread(below, at, 5.0f / 16);
    spread(below, at + step, 1.0f / 16);
  }
  here = below;
}

}  // namespace encoder
