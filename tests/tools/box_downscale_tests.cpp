// The thumbnail filter: every output pixel is the exact, rounded mean of the
// source area it covers, each byte on its own.
#include "box_downscale.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::uint8_t byte_of(std::uint32_t pixel, int c) { return static_cast<std::uint8_t>(pixel >> (8 * c)); }

TEST(BoxDownscale, HalvingGivesEachTwoByTwoBlocksRoundedMean) {
  constexpr int W = 16, H = 10;
  std::mt19937 random(7);
  std::vector<std::uint32_t> in(W * H);
  for (std::uint32_t& p : in) p = static_cast<std::uint32_t>(random());
  // Blocks whose sums round at exactly one half, and bytes that would carry
  // into their neighbours if the channels were summed together.
  in[0] = 0x00FF0001, in[1] = 0x00FF0000, in[W] = 0x00FF0000, in[W + 1] = 0x00FF0001;

  std::vector<std::uint32_t> out = box_downscale(in, W, H, W / 2, H / 2);
  ASSERT_EQ(out.size(), std::size_t{W / 2 * H / 2});
  for (int y = 0; y < H / 2; ++y) {
    for (int x = 0; x < W / 2; ++x) {
      for (int c = 0; c < 4; ++c) {
        int sum = byte_of(in[2 * y * W + 2 * x], c) + byte_of(in[2 * y * W + 2 * x + 1], c) +
                  byte_of(in[(2 * y + 1) * W + 2 * x], c) + byte_of(in[(2 * y + 1) * W + 2 * x + 1], c);
        EXPECT_EQ(byte_of(out[y * (W / 2) + x], c), (sum + 2) / 4) << x << "," << y << " byte " << c;
      }
    }
  }
  EXPECT_EQ(out[0], 0x00FF0001u);
}

TEST(BoxDownscale, PixelsCutByAnEdgeCountByTheirShare) {
  // Three pixels into two: the middle one is split between both.
  std::vector<std::uint32_t> row = {0, 255, 30};
  EXPECT_EQ(box_downscale(row, 3, 1, 2, 1), (std::vector<std::uint32_t>{85, 105}));
  // The same down a column, and both ways at once: 3 x 3 into 2 x 2 gives the
  // corner pixel 4/9, its edge neighbours 2/9 each and the centre 1/9.
  std::vector<std::uint32_t> column = {0, 255, 30};
  EXPECT_EQ(box_downscale(column, 1, 3, 1, 2), (std::vector<std::uint32_t>{85, 105}));
  std::vector<std::uint32_t> square = {90, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(box_downscale(square, 3, 3, 2, 2)[0], 40u);
}

TEST(BoxDownscale, AwkwardSizesLoseAndGainNothing) {
  // A flat picture stays exactly flat at sizes that share no factor with it.
  std::vector<std::uint32_t> flat(256 * 192, 0x00DB6D24);
  const std::pair<int, int> sizes[] = {{255, 191}, {37, 28}, {1, 1}, {256, 1}};
  for (auto [w, h] : sizes)
    for (std::uint32_t p : box_downscale(flat, 256, 192, w, h)) ASSERT_EQ(p, 0x00DB6D24u) << w << "x" << h;

  // Its own size is a copy; one pixel is the whole picture's mean.
  std::vector<std::uint32_t> halves(256 * 192);
  for (std::size_t i = 0; i < halves.size(); ++i) halves[i] = i % 256 < 128 ? 0x00FFFFFF : 0;
  EXPECT_EQ(box_downscale(halves, 256, 192, 256, 192), halves);
  EXPECT_EQ(box_downscale(halves, 256, 192, 1, 1), (std::vector<std::uint32_t>{0x00808080}));
}

}  // namespace
