// Which picture a size limit gets: the largest exact render that fits, and
// below the single-size render, that render shrunk to the limit at 4:3.
#include "picture_size.h"

#include <gtest/gtest.h>

namespace {

TEST(Ss4topngPictureSize, LargestFittingRenderOrTheSingleOneShrunk) {
  struct Case {
    int limit, scale, width, height;
    bool shrunk;
  };
  const Case cases[] = {
      {1000000, 2, 512, 384, false},
      {512, 2, 512, 384, false},
      {511, 1, 256, 192, false},
      {300, 1, 256, 192, false},
      {256, 1, 256, 192, false},
      {255, 1, 255, 191, true},
      {128, 1, 128, 96, true},
      {6, 1, 6, 5, true},
      {2, 1, 2, 2, true},
      {1, 1, 1, 1, true},
  };
  for (const Case& c : cases) {
    PictureSize p = picture_within(c.limit);
    EXPECT_EQ(p.scale, c.scale) << c.limit;
    EXPECT_EQ(p.width, c.width) << c.limit;
    EXPECT_EQ(p.height, c.height) << c.limit;
    EXPECT_EQ(is_shrunk(p), c.shrunk) << c.limit;
  }
  EXPECT_FALSE(is_shrunk(picture_at_scale(1)));
  EXPECT_EQ(picture_at_scale(2).width, 512);
}

}  // namespace
