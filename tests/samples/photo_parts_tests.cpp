// The parts the corpus is made with, where a fault would not show in the
// corpus checks: integer maths, noise, the choice of a line change and the
// dithering.
#include "dither.h"
#include "line_palette.h"
#include "value_noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

using namespace photo;

TEST(PhotoParts, IntegerMaths) {
  for (std::int64_t n : {0LL, 1LL, 2LL, 3LL, 4LL, 15LL, 16LL, 17LL, 65535LL, 65536LL, 4294967295LL, 1LL << 40}) {
    std::int64_t root = isqrt(n);
    EXPECT_TRUE(root * root <= n && (root + 1) * (root + 1) > n) << n;
  }
  for (int turn = -ONE; turn <= 2 * ONE; turn += 37)
    EXPECT_NEAR(isin(turn), ONE * std::sin(turn * 2 * std::numbers::pi / ONE), ONE / 500) << turn;
  EXPECT_EQ(smoothstep(10, 20, 5), 0);
  EXPECT_EQ(smoothstep(10, 20, 15), ONE / 2);
  EXPECT_EQ(smoothstep(10, 20, 25), ONE);
}

// In range, smooth from pixel to pixel, and not the same everywhere.
TEST(PhotoParts, ValueNoise) {
  int lowest = ONE, highest = 0;
  for (int y = -40; y < 40; ++y)
    for (int x = -40; x < 40; ++x) {
      int n = value_noise(x, y, 16, 5);
      lowest = std::min(lowest, n), highest = std::max(highest, n);
      EXPECT_LE(std::abs(value_noise(x + 1, y, 16, 5) - n), ONE / 8) << x << "," << y;
    }
  EXPECT_GE(lowest, 0);
  EXPECT_LE(highest, ONE);
  EXPECT_GT(highest - lowest, ONE / 2);
}

TEST(PhotoParts, LineChangeTakesAnEntryNoPixelNeedsForAColourTheyDo) {
  const auto& colours = sam_rgb();
  Clut clut{};
  for (int e = 0; e < 16; ++e) clut[e] = static_cast<std::uint8_t>(e);  // entry 0 is black, used below
  std::array<Rgb, RgbPicture::WIDTH> row;
  for (int x = 0; x < RgbPicture::WIDTH; ++x) row[x] = x % 2 ? colours[0] : colours[127];
  std::optional<LineChange> change = best_line_change(row, clut);
  ASSERT_TRUE(change);
  EXPECT_NE(change->entry, 0);
  EXPECT_EQ(change->colour, 127);
  clut[change->entry] = 127;
  EXPECT_FALSE(best_line_change(row, clut)) << "a change although every colour is there";
}

// A grey halfway between two entries comes out as both, half and half.
TEST(PhotoParts, DitheringKeepsTheMeanColour) {
  const auto& colours = sam_rgb();
  Clut clut{};
  clut.fill(0);
  clut[1] = 127;
  RgbPicture picture;
  picture.paint([&](int, int) { return mix(colours[0], colours[127], ONE / 2); });
  RowDither dither(picture);
  std::array<std::uint8_t, RgbPicture::WIDTH> entries;
  int white = 0;
  for (int y = 0; y < 8; ++y) {
    dither.dither_row(y, clut, entries);
    for (std::uint8_t e : entries) white += e == 1;
  }
  EXPECT_NEAR(white, 8 * RgbPicture::WIDTH / 2, 8);
}

}  // namespace
