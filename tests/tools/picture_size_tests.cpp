// Which picture a scale or a size limit gets in each mode: the exact render
// (mode 3's 512 x 384 at both scales), the largest that fits a limit, and
// below the smallest, that render shrunk to the limit at 4:3.
#include "picture_size.h"

#include <gtest/gtest.h>

namespace {

TEST(Ss4topngPictureSize, ExactRendersOrTheSmallestShrunk) {
  struct Case {
    int scale, limit, mode, render_width, width, height;
  };
  const Case cases[] = {
      {1, 0, 4, 256, 256, 192},   {2, 0, 4, 512, 512, 384},   {1, 0, 1, 256, 256, 192},
      {1, 0, 3, 512, 512, 384},   {2, 0, 3, 512, 512, 384},   {2, 1000000, 2, 512, 512, 384},
      {2, 512, 4, 512, 512, 384}, {2, 511, 4, 256, 256, 192}, {2, 256, 1, 256, 256, 192},
      {2, 255, 4, 256, 255, 191}, {2, 128, 2, 256, 128, 96},  {2, 6, 4, 256, 6, 5},
      {2, 1, 4, 256, 1, 1},       {2, 512, 3, 512, 512, 384}, {2, 511, 3, 512, 511, 383},
      {1, 256, 3, 512, 256, 192}, {2, 2, 3, 512, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << ", limit " << c.limit << ", mode " << c.mode);
    const PictureSize p = picture_size({c.scale, c.limit}, c.mode);
    EXPECT_EQ(p.render_width, c.render_width);
    EXPECT_EQ(p.render_height, c.render_width * 3 / 4);
    EXPECT_EQ(p.width, c.width);
    EXPECT_EQ(p.height, c.height);
    EXPECT_EQ(is_shrunk(p), c.width != c.render_width);
  }
}

}  // namespace
