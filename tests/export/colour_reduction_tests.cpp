#include "export/colour_reduction.h"
#include "export/encoder_registry.h"
#include "native/system/faults.h"
#include "native/system/heap.h"
#include "runtime/general_heap.h"
#include "runtime_fixture.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
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

// Small fixed pictures whose reductions are pinned exactly, at every depth,
// with and without dithering: the tests above check properties that a small
// drift in the network's arithmetic, the mapping or the error diffusion
// would pass.
enum class Sample { gradient, flat, noise };
const char* const SAMPLE_NAMES[] = {"gradient", "flat", "noise"};

Picture sample_picture(Sample sample) {
  if (sample == Sample::gradient) {
    Picture p(32, 24, 3);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 32; ++x)
        p.set(x, y, static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 11),
              static_cast<std::uint8_t>(255 - (x + y) * 4));
    return p;
  }
  if (sample == Sample::flat) {  // four colours in quadrants
    const std::uint8_t colours[4][3] = {{0, 0, 0}, {255, 255, 255}, {200, 40, 10}, {30, 160, 90}};
    Picture p(20, 12, 3);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 20; ++x) {
        const std::uint8_t* c = colours[(x / 10) + (y / 6) * 2];
        p.set(x, y, c[0], c[1], c[2]);
      }
    return p;
  }
  // Every byte from a fixed-seed xorshift, alpha included.
  Picture p(17, 13, 4);
  std::uint32_t state = 0x2545F491;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 17; ++x) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      p.set(x, y, static_cast<std::uint8_t>(state), static_cast<std::uint8_t>(state >> 8),
            static_cast<std::uint8_t>(state >> 16), static_cast<std::uint8_t>(state >> 24));
    }
  return p;
}

std::uint32_t fnv1a(std::uint32_t hash, const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}
constexpr std::uint32_t FNV_OFFSET = 2166136261u;

// A palette entry as 0xAARRGGBB.
std::uint32_t entry_word(const std::uint8_t* entry) {
  return static_cast<std::uint32_t>(entry[ENTRY_ALPHA]) << 24 | entry[ENTRY_RED] << 16 | entry[ENTRY_GREEN] << 8 |
         entry[ENTRY_BLUE];
}

struct Reduced {
  std::uint32_t palette;  // digest of entries 0 to 2^depth − 1
  std::uint32_t rows;     // digest of the packed rows, as a writer takes them
  std::uint32_t first;    // the colour the top-left pixel became
};

Reduced digest(ColourReduction* r) {
  Reduced d{fnv1a(FNV_OFFSET, r->palette[0], (std::size_t{1} << r->depth) * 4), FNV_OFFSET, 0};
  bool packed = r->depth == 1 || r->depth == 2 || r->depth == 4;
  std::size_t bytes = packed ? (static_cast<std::size_t>(r->width) * r->depth + 7) / 8 : r->width;
  for (std::int32_t y = 0; y < r->height; ++y) {
    const std::uint8_t* row = reduced_row(r, y);
    if (y == 0) d.first = entry_word(r->palette[packed ? row[0] >> (8 - r->depth) : row[0]]);
    d.rows = fnv1a(d.rows, row, bytes);
  }
  return d;
}

TEST_F(ColourReductionTest, SmallPicturesReduceExactlyAsRecorded) {
  struct Golden {
    Sample sample;
    std::int32_t depth;
    std::uint32_t palette, plain_rows, dithered_rows, first;
  };
  const Golden goldens[] = {
      // sample, depth, palette, plain rows, dithered rows, top-left colour
      {Sample::gradient, 1, 0x7D50CB6C, 0x913E7E00, 0x913E7E00, 0x00000000},
      {Sample::gradient, 2, 0xAFCBC313, 0xC9BAFE31, 0x5A75154E, 0xFFB85D36},
      {Sample::gradient, 3, 0x5A50A58E, 0x3A6D64DF, 0x0C80A715, 0xFFC76315},
      {Sample::gradient, 4, 0xC724A23C, 0xF74FC920, 0x7C8291E4, 0xFFC76F0F},
      {Sample::gradient, 5, 0x85EA7A8A, 0x6E29044F, 0x4EE4FA21, 0xFFDC112D},
      {Sample::gradient, 6, 0x9CDB330D, 0x49D345DA, 0x9C1D0684, 0xFFE61517},
      {Sample::gradient, 7, 0x8F5FFAE7, 0xF8851E88, 0xFAE2584D, 0xFFEC150E},
      {Sample::gradient, 8, 0x222DFD19, 0xEB209CF5, 0x248CF71B, 0xFFF11307},
      {Sample::flat, 1, 0x7D50CB6C, 0x44823543, 0x44823543, 0x00000000},
      {Sample::flat, 2, 0x50FD52E7, 0x78390557, 0x78390557, 0xFF030810},
      {Sample::flat, 3, 0x69656BA1, 0xA11B840D, 0xA11B840D, 0xFF000106},
      {Sample::flat, 4, 0x9F36105D, 0xDF24F94D, 0x36164B0D, 0xFF000000},
      {Sample::flat, 5, 0xDCA93B96, 0x5353BF61, 0x5353BF61, 0xFF000000},
      {Sample::flat, 6, 0x5B7392FA, 0x0604D755, 0x0604D755, 0xFF000000},
      {Sample::flat, 7, 0xB7C9510D, 0x4D769B59, 0x4D769B59, 0xFF000000},
      {Sample::flat, 8, 0xF2A26D26, 0xA343A56D, 0xA343A56D, 0xFF000000},
      {Sample::noise, 1, 0x7D50CB6C, 0xFCF0CA6B, 0xFCF0CA6B, 0x00000000},
      {Sample::noise, 2, 0x8064C78C, 0xFF657243, 0xC8902833, 0xB182777E},
      {Sample::noise, 3, 0x9864EB36, 0x7693EB07, 0x51CD27A6, 0xCE637D75},
      {Sample::noise, 4, 0x6ED1A358, 0xD0338196, 0xBEFC6AD4, 0xDF527F73},
      {Sample::noise, 5, 0xCADCE0E0, 0x504F347A, 0xFD2F5D88, 0xE02F7F77},
      {Sample::noise, 6, 0x69E4F781, 0x59C7A98C, 0xBA36AEFC, 0xDD227167},
      {Sample::noise, 7, 0x44A39ECB, 0x7ACC6DF4, 0xB131FA3F, 0xA33C8A30},
      {Sample::noise, 8, 0x960B1268, 0x81ECD14F, 0x5E571F24, 0xE04FBD68},
  };
  for (const Golden& g : goldens) {
    SCOPED_TRACE(testing::Message() << SAMPLE_NAMES[static_cast<int>(g.sample)] << " at depth " << g.depth);
    Picture p = sample_picture(g.sample);
    for (std::uint32_t options : {0u, DITHER}) {
      ColourReduction* r = reduce(p, g.depth, options);
      ASSERT_NE(nullptr, r);
      Reduced d = digest(r);
      free_reduction(r);
      EXPECT_EQ(g.palette, d.palette);  // the palette does not depend on dithering
      if (options == 0) {
        EXPECT_EQ(g.plain_rows, d.rows);
        EXPECT_EQ(g.first, d.first);
      } else {
        EXPECT_EQ(g.dithered_rows, d.rows);
      }
    }
  }
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
