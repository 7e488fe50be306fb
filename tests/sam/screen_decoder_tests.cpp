// The decoder alone: the size rule, and what the picture is made of.
#include "sam/screen_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ScreenDecoder, SizeRule) {
  const std::int64_t largest = std::numeric_limits<std::int32_t>::max();
  const std::pair<std::int64_t, ScreenSize> cases[] = {
      {-2, ScreenSize::too_small},
      {0, ScreenSize::too_small},
      {24616, ScreenSize::too_small},
      {24617, ScreenSize::usable},
      {largest, ScreenSize::usable},
      {largest + 1, ScreenSize::too_large},
      {std::int64_t{1} << 32, ScreenSize::too_large},
  };
  for (const auto& [size, verdict] : cases) EXPECT_EQ(screen_size_rule(size), verdict) << size;
  DecodedScreen screen;
  EXPECT_EQ(decode_screen(Bytes(24616), screen), ScreenSize::too_small);
}

// High nibble first; look-up bytes lose bit 7; each row's first usable
// record changes one entry from the row after its line, and the change
// stays; a line of 191 or more ends the table.
TEST(ScreenDecoder, PixelsAndEachRowsLookUpTable) {
  Bytes file(LINE_TABLE_OFFSET);
  file[0] = 0x1F;
  file[SCREEN_BYTES - 1] = 0xA5;
  for (int i = 0; i < 16; ++i) file[CLUT_OFFSET + i] = static_cast<std::uint8_t>(0x80 | i);
  file.insert(file.end(), {
                              9,   3,  0xC0, 0,  // row 10: entry 3 becomes 64
                              9,   3,  5,    0,  // a second record for row 10: ignored
                              19,  16, 7,    0,  // entry 16: skipped
                              19,  15, 99,   0,  // row 20: entry 15 becomes 99
                              191, 0,  0,    0,  // the end
                              29,  0,  1,    0,  // after the end: ignored
                          });
  DecodedScreen screen;
  ASSERT_EQ(decode_screen(file, screen), ScreenSize::usable);
  EXPECT_EQ(screen.pixels[0], 1);
  EXPECT_EQ(screen.pixels[1], 15);
  EXPECT_EQ(screen.pixels[SCREEN_WIDTH * SCREEN_HEIGHT - 2], 10);
  EXPECT_EQ(screen.pixels[SCREEN_WIDTH * SCREEN_HEIGHT - 1], 5);
  struct Row {
    int y, entry3, entry15, entry0;
  } rows[] = {{0, 3, 15, 0}, {9, 3, 15, 0}, {10, 64, 15, 0}, {19, 64, 15, 0}, {20, 64, 99, 0}, {191, 64, 99, 0}};
  for (const Row& r : rows) {
    EXPECT_EQ(screen.row_clut[r.y][3], r.entry3) << r.y;
    EXPECT_EQ(screen.row_clut[r.y][15], r.entry15) << r.y;
    EXPECT_EQ(screen.row_clut[r.y][0], r.entry0) << r.y;
  }
}

}  // namespace
