#include "export/colour_reduction.h"
#include "export/encoder_registry.h"
#include "native/faults.h"
#include "native/heap.h"
#include "runtime/general_heap.h"
#include "runtime_fixture.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Indices = std::vector<std::vector<int>>;

class ColourReductionTest : public RuntimeTest {
 protected:
  ColourReduction* reduce(const Picture& p, std::int32_t depth, std::uint32_t options = 0) {
    return reduce_colours(p.data(), p.width, p.height, p.bytes_per_pixel * 8, p.stride, depth, options);
  }
};

// Every row of a reduction, unpacked to one index per pixel.
Indices all_rows(ColourReduction* r) {
  Indices rows;
  bool packed = r->depth == 1 || r->depth == 2 || r->depth == 4;
  int per_byte = packed ? 8 / r->depth : 1;
  for (std::int32_t y = 0; y < r->height; ++y) {
    const std::uint8_t* row = reduced_row(r, y);
    std::vector<int> indices;
    for (int x = 0; x < r->width; ++x) {
      int shift = packed ? 8 - r->depth * (x % per_byte + 1) : 0;
      indices.push_back((row[x / per_byte] >> shift) & (packed ? (1 << r->depth) - 1 : 0xFF));
    }
    rows.push_back(indices);
  }
  return rows;
}

// Up to sixteen well separated colours in 4 × 4 blocks, reaching both ends
// of green.
Picture block_picture(int colours) {
  Picture p(64, 64, 3);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      int c = (x / 4 + y / 4 * 3) % colours;
      p.set(x, y, static_cast<std::uint8_t>((c & 3) * 85), static_cast<std::uint8_t>((c >> 2) * 85),
            static_cast<std::uint8_t>(c % 3 * 120));
    }
  return p;
}

TEST_F(ColourReductionTest, TwoColoursThresholdLuminance) {
  Picture p(6, 1, 3);
  p.set(0, 0, 128, 128, 128);  // mid grey: 128
  p.set(1, 0, 0, 255, 0);      // pure green: 182.4
  p.set(2, 0, 0, 0, 255);      // pure red: 54.2
  p.set(3, 0, 161, 161, 161);  // just above the threshold
  p.set(4, 0, 255, 255, 255);
  p.set(5, 0, 255, 200, 255);
  for (std::uint32_t options : {0u, DITHER}) {
    ColourReduction* r = reduce(p, 1, options);
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(0b01011100, reduced_row(r, 0)[0]);  // unused bits stay clear
    const std::uint8_t palette[2][4] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    EXPECT_EQ(0, std::memcmp(palette, r->palette, sizeof palette));
    free_reduction(r);
  }
}

TEST_F(ColourReductionTest, FewColoursAreReproducedNearlyExactly) {
  // The network needs a few spare neurons to settle on every colour.
  struct Case {
    std::int32_t depth;
    int colours;
  };
  for (Case c : {Case{8, 16}, Case{4, 8}, Case{2, 2}}) {
    SCOPED_TRACE(c.depth);
    Picture p = block_picture(c.colours);
    ColourReduction* r = reduce(p, c.depth);
    ASSERT_NE(nullptr, r);
    Indices rows = all_rows(r);
    int worst = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(p.at(x, y)[k] - r->palette[rows[y][x]][k]));
    EXPECT_LE(worst, 3);  // the round trip through the network's gamma
    free_reduction(r);
  }
}

TEST_F(ColourReductionTest, GreenIndexCoversEveryGreenAndIndicesStayInRange) {
  // A dark picture: every palette green lies far below 255.
  Picture dark(40, 30, 3);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) dark.set(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 20);
  Picture bright = block_picture(16);
  for (const Picture* p : {&dark, &bright})
    for (std::int32_t depth = 2; depth <= 8; ++depth)
      for (std::uint32_t options : {0u, DITHER}) {
        SCOPED_TRACE(testing::Message() << "depth " << depth << " options " << options);
        ColourReduction* r = reduce(*p, depth, options);
        ASSERT_NE(nullptr, r);
        const ColourNetwork& net = *r->network;
        int n = 1 << depth;
        ASSERT_EQ(n, net.neuron_count);
        for (int i = 1; i < n; ++i) ASSERT_LE(net.colour_map[i - 1][ENTRY_GREEN], net.colour_map[i][ENTRY_GREEN]);
        for (int g = 0; g < 256; ++g) {
          ASSERT_GE(net.green_index[g], g > 0 ? net.green_index[g - 1] : 0);
          ASSERT_LT(net.green_index[g], n);
        }
        for (int i = 0; i < n; ++i) {  // a green that an entry has starts in that entry's run
          int green = net.colour_map[i][ENTRY_GREEN];
          ASSERT_EQ(green, net.colour_map[net.green_index[green]][ENTRY_GREEN]);
        }
        for (int g = 0; g < 256; g += 5)
          for (int rb : {0, 255})
            for (int a : {0, 128, 255}) {
              std::int32_t index = nearest_colour(net, a, rb, g, rb);
              ASSERT_TRUE(index >= 0 && index < n) << index;
            }
        for (const std::vector<int>& row : all_rows(r))
          for (int index : row) ASSERT_LT(index, n);
        free_reduction(r);
      }
}

TEST_F(ColourReductionTest, RowsArePackedFirstPixelHighest) {
  Picture p = ramp_picture(11, 9, 3);
  for (std::int32_t depth : {2, 4}) {
    ColourReduction* r = reduce(p, depth);
    ASSERT_NE(nullptr, r);
    Indices rows = all_rows(r);
    for (std::int32_t y = 0; y < p.height; ++y) {
      for (std::int32_t x = 0; x < p.width; ++x) {
        const std::uint8_t* px = p.at(x, y);
        EXPECT_EQ(nearest_colour(*r->network, 255, px[2], px[1], px[0]), rows[y][x]) << x << "," << y;
      }
      const std::uint8_t* row = reduced_row(r, y);
      int used = (p.width * depth + 7) / 8;
      EXPECT_EQ(0, row[used - 1] & ((1 << (used * 8 - p.width * depth)) - 1));  // bits after the last pixel
      for (int i = used; i < p.width + 8; ++i) EXPECT_EQ(0, row[i]);
    }
    free_reduction(r);
  }
}

TEST_F(ColourReductionTest, TransparencyIsLearntAsAFourthComponent) {
  Picture p(32, 32, 4);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) p.set(x, y, 30, 60, 200, x < 16 ? 0 : 255);
  ColourReduction* r = reduce(p, 4);
  ASSERT_NE(nullptr, r);
  std::vector<int> row = all_rows(r)[5];
  EXPECT_LE(r->palette[row[0]][ENTRY_ALPHA], 8);
  EXPECT_GE(r->palette[row[31]][ENTRY_ALPHA], 247);
  EXPECT_NEAR(200, r->palette[row[31]][ENTRY_RED], 3);
  free_reduction(r);
}

TEST_F(ColourReductionTest, SameInputGivesSameOutputAndLeavesTheSourceAlone) {
  for (std::int32_t bpp : {3, 4}) {
    Picture p = ramp_picture(37, 23, bpp);
    std::vector<std::uint8_t> original = p.bytes;
    for (std::uint32_t options : {0u, DITHER}) {
      ColourReduction* first = reduce(p, 6, options);
      ColourReduction* second = reduce(p, 6, options);
      ASSERT_NE(nullptr, first);
      ASSERT_NE(nullptr, second);
      EXPECT_EQ(0, std::memcmp(first->palette, second->palette, sizeof first->palette));
      EXPECT_EQ(all_rows(first), all_rows(second));
      free_reduction(first);
      free_reduction(second);
      EXPECT_EQ(original, p.bytes);
    }
  }
}

TEST_F(ColourReductionTest, DitheringKeepsAreaAveragesCloser) {
  Picture p(128, 64, 3);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) p.set(x, y, static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(x * 2), 0);
  // How far each 8 × 8 block's average colour lies from the source's.
  auto block_error = [&p](ColourReduction* r) {
    Indices rows = all_rows(r);
    double total = 0;
    for (int by = 0; by < 8; ++by)
      for (int bx = 0; bx < 16; ++bx)
        for (int c = 0; c < 3; ++c) {
          int difference = 0;
          for (int y = by * 8; y < by * 8 + 8; ++y)
            for (int x = bx * 8; x < bx * 8 + 8; ++x) difference += p.at(x, y)[c] - r->palette[rows[y][x]][c];
          total += std::abs(difference) / 64.0;
        }
    return total;
  };
  ColourReduction* plain = reduce(p, 8);
  ColourReduction* dithered = reduce(p, 8, DITHER);
  ASSERT_NE(nullptr, plain);
  ASSERT_NE(nullptr, dithered);
  EXPECT_LT(block_error(dithered), block_error(plain) / 2);
  free_reduction(plain);
  free_reduction(dithered);
}

TEST_F(ColourReductionTest, BadRequestsAndLackOfMemoryGiveNoneAndLeakNothing) {
  Picture p24 = ramp_picture(9, 5, 3);
  EXPECT_EQ(nullptr, reduce_colours(p24.data(), 0, 5, 24, p24.stride, 4, 0));
  EXPECT_EQ(nullptr, reduce_colours(p24.data(), 9, 5, 16, p24.stride, 4, 0));
  EXPECT_EQ(nullptr, reduce_colours(p24.data(), 9, 5, 24, 26, 4, 0));  // stride shorter than a row
  EXPECT_EQ(nullptr, reduce_colours(p24.data(), 9, 5, 24, p24.stride, 9, 0));
  EXPECT_EQ(nullptr, reduce_colours(p24.data(), 0x7FFFFFFF, 0x7FFFFFFF, 24, 0x7FFFFFFF, 8, 0));

  Picture p32 = ramp_picture(9, 5, 4);
  std::size_t blocks = native::heap_block_count(general_heap());
  for (const Picture* p : {&p24, &p32})
    for (std::int32_t depth : {1, 4})
      for (std::uint32_t options : {0u, DITHER})
        for (std::size_t budget = 0; budget < 5; ++budget) {
          native::faults::fail_allocations_after(budget);
          ColourReduction* r = reduce(*p, depth, options);
          native::faults::reset();
          if (r) {
            EXPECT_EQ(nullptr, reduced_row(r, 5));
          }
          free_reduction(r);
          EXPECT_EQ(blocks, native::heap_block_count(general_heap()));
        }
}

}  // namespace
