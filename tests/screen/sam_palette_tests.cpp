#include "screen/sam_palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

TEST(SamPalette, MatchesReferenceColours) {
  const std::pair<int, Colour> reference[] = {
      {0, 0x000000},  {1, 0x490000},  {2, 0x000049},  {4, 0x004900},   {8, 0x242424},   {15, 0x6D6D6D},  {16, 0x920000},
      {32, 0x000092}, {34, 0x0000DB}, {64, 0x009200}, {112, 0x929292}, {119, 0xDBDBDB}, {127, 0xFFFFFF},
  };
  for (auto [index, colour] : reference) EXPECT_EQ(sam_colour(index), colour) << "index " << index;
}

TEST(SamPalette, EveryColourIsDistinctAndBuiltFromTheEightLevels) {
  std::set<Colour> seen;
  for (int i = 0; i < 128; ++i) {
    Colour c = sam_colour(i);
    EXPECT_EQ(c >> 24, 0u);
    for (int shift : {0, 8, 16}) {
      auto level = static_cast<std::uint8_t>(c >> shift);
      EXPECT_NE(std::find(colour_levels.begin(), colour_levels.end(), level), colour_levels.end());
    }
    seen.insert(c);
  }
  EXPECT_EQ(seen.size(), 128u);
}

TEST(SamPalette, BuildFillsThePaletteAndResetsTheLookUpTable) {
  ViewerState& v = viewer_state();
  v.clut.fill(99);
  build_palette();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(v.clut[i], i);
  for (int i = 0; i < 128; ++i) EXPECT_EQ(v.palette[i], sam_colour(i));
}

TEST(SamPalette, RgbAddsWithoutMasking) {
  EXPECT_EQ(rgb(1, 2, 3), 0x030201u);
  EXPECT_EQ(rgb(256, 0, 0), 0x000100u);  // a carry into green, as plain addition gives
}

}  // namespace
