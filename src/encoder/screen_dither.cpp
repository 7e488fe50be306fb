#include "encoder/screen_dither.h"

#include "screen/screen_decoder.h"

#include <algorithm>

namespace encoder {

namespace {

using RowLab = std::array<Lab, CLUT_ENTRIES>;

RowLab table_lab(const Clut& clut) {
  RowLab out;
  for (int e = 0; e < CLUT_ENTRIES; ++e)
    out[static_cast<std::size_t>(e)] = palette_lab()[clut[static_cast<std::size_t>(e)]];
  return out;
}

// The nearest entry; the lowest on a tie, so that repeated entries all
// show as the first.
std::uint8_t nearest_entry(Lab c, const RowLab& table) {
  int best = 0;
  float best_distance = distance_squared(c, table[0]);
  for (int e = 1; e < CLUT_ENTRIES; ++e) {
    const float d = distance_squared(c, table[static_cast<std::size_t>(e)]);
    if (d < best_distance) best = e, best_distance = d;
  }
  return static_cast<std::uint8_t>(best);
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

void diffuse(const std::vector<Lab>& lab, const std::vector<Clut>& tables, std::vector<std::uint8_t>& entries) {
  constexpr int PAD = 1;
  // Error carried in Lab, each part held to about one palette step so that
  // a colour the table cannot reach does not smear across the row.
  static constexpr float LIMIT = 24.0f;
  std::vector<Lab> here(SCREEN_WIDTH + 2 * PAD), below(SCREEN_WIDTH + 2 * PAD);
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    const RowLab table = table_lab(tables[static_cast<std::size_t>(y)]);
    std::fill(below.begin(), below.end(), Lab{});
    const int step = y % 2 == 0 ? 1 : -1;
    for (int i = 0; i < SCREEN_WIDTH; ++i) {
      const int x = step > 0 ? i : SCREEN_WIDTH - 1 - i;
      const int at = x + PAD;
      const std::size_t p = static_cast<std::size_t>(y) * SCREEN_WIDTH + static_cast<std::size_t>(x);
      const Lab& carry = here[static_cast<std::size_t>(at)];
      auto held = [](float v) { return std::clamp(v, -LIMIT, LIMIT); };
      const Lab want{lab[p].l + held(carry.l), lab[p].a + held(carry.a), lab[p].b + held(carry.b)};
      const std::uint8_t entry = nearest_entry(want, table);
      entries[p] = entry;
      const Lab got = table[entry];
      const Lab error{want.l - got.l, want.a - got.a, want.b - got.b};
      auto spread = [&error](std::vector<Lab>& row, int to, float share) {
        Lab& c = row[static_cast<std::size_t>(to)];
        c.l += error.l * share, c.a += error.a * share, c.b += error.b * share;
      };
      spread(here, at + step, 7.0f / 16);
      spread(below, at - step, 3.0f / 16);
      spread(below, at, 5.0f / 16);
      spread(below, at + step, 1.0f / 16);
    }
    std::swap(here, below);
  }
}

}  // namespace

std::vector<std::uint8_t> dither_screen(const RgbPicture& picture, const std::vector<Lab>& lab,
                                        const std::vector<Clut>& tables, Dither mode) {
  std::vector<std::uint8_t> entries(static_cast<std::size_t>(SCREEN_WIDTH * SCREEN_HEIGHT));
  if (mode == Dither::diffusion) {
    diffuse(lab, tables, entries);
    return entries;
  }
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    const RowLab table = table_lab(tables[static_cast<std::size_t>(y)]);
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * SCREEN_WIDTH + static_cast<std::size_t>(x);
      Lab want = lab[i];
      if (mode == Dither::ordered) {
        const float offset = ((static_cast<float>(BAYER[y % 8][x % 8]) + 0.5f) / 64.0f - 0.5f) * ORDERED_SPREAD;
        const std::uint8_t* rgb = &picture.rgb[i * 3];
        auto level = [offset](std::uint8_t v) { return linear_of_encoded(static_cast<float>(v) / 255.0f + offset); };
        want = lab_of({level(rgb[0]), level(rgb[1]), level(rgb[2])});
      }
      entries[i] = nearest_entry(want, table);
    }
  }
  return entries;
}

}  // namespace encoder
