#include "encoder/fit_to_screen.h"
#include "encoder/screen_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>

namespace {

RgbPicture flat(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  RgbPicture p{width, height, {}};
  for (int i = 0; i < width * height; ++i) p.rgb.insert(p.rgb.end(), {r, g, b});
  return p;
}

struct Shape {
  int width, height;
  bool crop;
  int left, top, shown_width, shown_height;  // where the picture lands; black around it
};

void PrintTo(const Shape& s, std::ostream* os) {
  *os << s.width << "x" << s.height << (s.crop ? " cropped" : " fitted");
}

class FitShapeTest : public testing::TestWithParam<Shape> {};

// A flat picture keeps its colour exactly where it lands and leaves black
// everywhere else.
TEST_P(FitShapeTest, LandsCentredOnBlack) {
  const Shape s = GetParam();
  const RgbPicture out = fit_to_screen(flat(s.width, s.height, 200, 120, 40), s.crop);
  ASSERT_EQ(out.width, 256);
  ASSERT_EQ(out.height, 192);
  ASSERT_EQ(out.rgb.size(), 256u * 192 * 3);
  for (int y = 0; y < 192; ++y)
    for (int x = 0; x < 256; ++x) {
      const bool inside = x >= s.left && x < s.left + s.shown_width && y >= s.top && y < s.top + s.shown_height;
      const std::uint8_t* p = &out.rgb[(static_cast<std::size_t>(y) * 256 + static_cast<std::size_t>(x)) * 3];
      const std::uint8_t want[3] = {static_cast<std::uint8_t>(inside ? 200 : 0),
                                    static_cast<std::uint8_t>(inside ? 120 : 0),
                                    static_cast<std::uint8_t>(inside ? 40 : 0)};
      for (int c = 0; c < 3; ++c) ASSERT_NEAR(p[c], want[c], 1) << "at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, FitShapeTest,
                         testing::Values(Shape{512, 100, false, 0, 71, 256, 50},   // wide: bands above and below
                                         Shape{100, 512, false, 109, 0, 38, 192},  // tall: bands at the sides
                                         Shape{256, 192, false, 0, 0, 256, 192},   // already the screen
                                         Shape{64, 48, false, 0, 0, 256, 192},     // enlarged
                                         Shape{7, 3, false, 0, 41, 256, 110},      // tiny, enlarged a lot
                                         Shape{512, 100, true, 0, 0, 256, 192},    // cropped: no black
                                         Shape{30, 900, true, 0, 0, 256, 192}),
                         [](const testing::TestParamInfo<Shape>& info) {
                           std::string name;
                           name += std::to_string(info.param.width);
                           name += "x";
                           name += std::to_string(info.param.height);
                           name += info.param.crop ? "_crop" : "_fit";
                           return name;
                         });

// Shrinking averages what each pixel covers, in linear light: a fine
// black-and-white checkerboard becomes the grey of half the light, not a
// pattern or the darker grey of averaged sRGB values.
TEST(FitToScreenTest, ShrinkingAveragesLight) {
  RgbPicture board{512, 384, {}};
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 512; ++x) {
      const std::uint8_t v = (x + y) % 2 ? 255 : 0;
      board.rgb.insert(board.rgb.end(), {v, v, v});
    }
  const RgbPicture out = fit_to_screen(board, false);
  EXPECT_TRUE(std::all_of(out.rgb.begin(), out.rgb.end(), [](std::uint8_t v) { return v == 188; }));
}

// Transparent pixels go onto black in linear light, as light through a
// partly covered window: white at half cover is the grey of half the light
// (188), not half the sRGB level (128).
TEST(FitToScreenTest, TransparencyGoesOntoBlackInLinearLight) {
  struct Case {
    std::array<std::uint8_t, 4> rgba;
    std::array<std::uint8_t, 3> shown;
  };
  const Case cases[] = {
      {{200, 120, 40, 255}, {200, 120, 40}},
      {{200, 120, 40, 0}, {0, 0, 0}},
      {{255, 255, 255, 128}, {188, 188, 188}},
      {{255, 0, 255, 64}, {137, 0, 137}},
  };
  for (const Case& c : cases) {
    // The screen's size, so nothing is resampled; rows padded as a reader's are.
    constexpr std::size_t STRIDE = 256 * 4 + 8;
    std::vector<std::uint8_t> rows(STRIDE * 192);
    for (std::size_t y = 0; y < 192; ++y)
      for (std::size_t x = 0; x < 256; ++x) std::copy(c.rgba.begin(), c.rgba.end(), rows.begin() + y * STRIDE + x * 4);
    const RgbPicture out = fit_to_screen(PictureView{256, 192, int{STRIDE}, 4, rows.data(), 1}, false);
    for (std::size_t i = 0; i < out.rgb.size(); i += 3)
      ASSERT_TRUE(std::equal(c.shown.begin(), c.shown.end(), out.rgb.begin() + static_cast<std::ptrdiff_t>(i)))
          << "alpha " << int{c.rgba[3]} << " at " << i / 3;
  }
}

TEST(FitToScreenTest, EmptyPictureIsBlack) {
  const RgbPicture out = fit_to_screen(RgbPicture{}, false);
  ASSERT_EQ(out.rgb.size(), 256u * 192 * 3);
  EXPECT_TRUE(std::all_of(out.rgb.begin(), out.rgb.end(), [](std::uint8_t v) { return v == 0; }));
}

}  // namespace
