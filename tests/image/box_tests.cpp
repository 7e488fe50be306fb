#include "image_fixture.h"
#include "mode_names.h"

#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/drawing_modes.h"

#include <initializer_list>
#include <ios>
#include <ostream>
#include <string>

namespace {

using BoxTest = ImageTest;

constexpr std::uint32_t COLOUR = 0x302010;  // stored as blue 30, green 20, red 10

void set_bgr(Pixels& pixels, int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  std::uint8_t* p = pixels.at(x, y);
  p[0] = b;
  p[1] = g;
  p[2] = r;
}

void paint_expected(Pixels& pixels, int x0, int y0, int x1, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) set_bgr(pixels, x, y, 0x30, 0x20, 0x10);
}

void xor_expected(Pixels& pixels, int x, int y) {
  std::uint8_t* p = pixels.at(x, y);
  p[0] ^= 0x30;
  p[1] ^= 0x20;
  p[2] ^= 0x10;
}

TEST_F(BoxTest, NegativeSizesExtendLeftAndUp) {
  ASSERT_NE(create_image(0, 16, 16), 0);
  Pixels expected = fill_pattern(0);
  draw_on(0, [] {
    box(10, 10, -5, 3, COLOUR);
    box(3, 4, 2, -3, COLOUR);
  });
  paint_expected(expected, 5, 10, 9, 12);
  paint_expected(expected, 3, 1, 4, 3);
  EXPECT_EQ(snapshot(0).data, expected.data);
}

// Spans are written a word at a time: every length must stop at its last
// pixel, here the last pixel of a row, just before the padding.
TEST_F(BoxTest, SpansOfEveryLengthStopAtTheirEnd) {
  ASSERT_NE(create_image(0, 11, 12), 0);
  Pixels expected = fill_pattern(0);
  draw_on(0, [] {
    for (int n = 1; n <= 11; ++n) box(11 - n, n - 1, n, 1, COLOUR);
  });
  for (int n = 1; n <= 11; ++n) paint_expected(expected, 11 - n, n - 1, 10, n - 1);
  EXPECT_EQ(snapshot(0).data, expected.data);
}

TEST_F(BoxTest, OnlyTheInsideOfTheImageChanges) {
  ASSERT_NE(create_image(0, 6, 5), 0);
  Pixels expected = fill_pattern(0);
  draw_on(0, [] {
    box(-2, -1, 4, 3, COLOUR);  // top-left corner
    box(4, 3, 10, 10, COLOUR);  // bottom-right corner
    // Wholly outside, or empty.
    box(6, 0, 3, 3, COLOUR);
    box(-5, 0, 5, 5, COLOUR);
    box(0, 5, 2, 2, COLOUR);
    box(0, -3, 2, 3, COLOUR);
    box(0, 0, 0, 5, COLOUR);
    box(0, 0, 5, 0, COLOUR);
    box(2147483600, 2147483600, 100, 100, COLOUR);
    box(-2147483647, 0, -2, 2, COLOUR);
  });
  paint_expected(expected, 0, 0, 1, 1);
  paint_expected(expected, 4, 3, 5, 4);
  EXPECT_EQ(snapshot(0).data, expected.data);
}

TEST_F(BoxTest, PictureLineZeroIsTheLastRowInMemory) {
  ASSERT_NE(create_image(0, 512, 384), 0);
  draw_on(0, [] { box(2, 0, 2, 2, 0x00CCBBAA); });
  std::vector<std::uint8_t> expected(1536 * 384, 0);
  for (int row : {383, 382})
    for (int x = 2; x < 4; ++x) {
      expected[row * 1536 + x * 3 + 0] = 0xCC;
      expected[row * 1536 + x * 3 + 1] = 0xBB;
      expected[row * 1536 + x * 3 + 2] = 0xAA;
    }
  EXPECT_EQ(snapshot(0).data, expected);
}

TEST_F(BoxTest, DefaultModeLeavesAlphaAlone) {
  ASSERT_NE(create_image(0, 4, 3, 32), 0);
  Pixels expected = fill_pattern(0);
  draw_on(0, [] { box(1, 1, 2, 1, 0xFF302010); });
  paint_expected(expected, 1, 1, 2, 1);
  EXPECT_EQ(snapshot(0).data, expected.data);
}

TEST_F(BoxTest, OutlinesClipEachEdgeOnItsOwn) {
  ASSERT_NE(create_image(0, 8, 7), 0);
  Pixels expected = fill_pattern(0);
  draw_on(0, [] {
    set_drawing_mode(MODE_OUTLINED);
    box(2, 1, 5, 4, COLOUR);
    box(-1, -1, 3, 4, COLOUR);  // top row and left column fall outside
    box(7, 6, 5, 5, COLOUR);    // only the corner pixel is inside
    box(0, 6, 0, -4, COLOUR);   // empty
  });
  paint_expected(expected, 2, 1, 6, 1);
  paint_expected(expected, 2, 4, 6, 4);
  paint_expected(expected, 2, 2, 2, 3);
  paint_expected(expected, 6, 2, 6, 3);
  paint_expected(expected, 0, 2, 1, 2);
  paint_expected(expected, 1, 0, 1, 1);
  paint_expected(expected, 7, 6, 7, 6);
  EXPECT_EQ(snapshot(0).data, expected.data);
}

TEST_F(BoxTest, ThinOutlinesDrawSharedPixelsTwice) {
  ASSERT_NE(create_image(0, 8, 7), 0);
  Pixels expected = fill_pattern(0);
  draw_on(0, [] {
    set_drawing_mode(MODE_OUTLINED | MODE_XOR);
    box(1, 1, 4, 1, COLOUR);  // top and bottom row are one: XOR twice, no change
    box(6, 2, 1, 3, COLOUR);  // left and right column are one
    box(0, 5, 2, 2, COLOUR);  // no columns between the two rows
  });
  xor_expected(expected, 6, 2);
  xor_expected(expected, 6, 4);
  for (int x : {0, 1})
    for (int y : {5, 6}) xor_expected(expected, x, y);
  EXPECT_EQ(snapshot(0).data, expected.data);
}

// Every mode on both pixel sizes, over pixels chosen so each formula shows.
struct ModeCase {
  std::uint32_t mode;
  int depth;
  std::uint32_t colour;
  // Expected bytes of the three drawn pixels; the fourth must not change.
  std::vector<std::uint8_t> drawn;
};

// Names such as AlphaBlend_32bit_alpha128: the mode, the pixel size and the
// colour's own alpha, which the blending modes read.
std::string case_name(const ModeCase& c) {
  return mode_name(c.mode) + "_" + std::to_string(c.depth) + "bit_alpha" + std::to_string(c.colour >> 24);
}

void PrintTo(const ModeCase& c, std::ostream* out) {
  *out << mode_name(c.mode) << " on " << c.depth << "-bit pixels, colour 0x" << std::hex << std::uppercase << c.colour;
}

class BoxModeTest : public ImageTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(BoxModeTest, WritesEveryByteAsExpected) {
  const ModeCase& c = GetParam();
  ASSERT_NE(create_image(0, 4, 1, c.depth), 0);
  // Old pixels: blue 10, green 200, red 100, alpha 0, 255, 100 and 7.
  Pixels old = fill_pattern(0);
  const std::uint8_t alphas[] = {0, 255, 100, 7};
  for (int x = 0; x < 4; ++x) {
    set_bgr(old, x, 0, 10, 200, 100);
    if (c.depth == 32) old.at(x, 0)[3] = alphas[x];
  }
  restore(0, old);
  draw_on(0, [&] {
    set_drawing_mode(c.mode);
    box(0, 0, 3, 1, c.colour);
  });
  Pixels expected = old;
  std::copy(c.drawn.begin(), c.drawn.end(), expected.at(0, 0));
  EXPECT_EQ(snapshot(0).data, expected.data);
}

// Colour: red 250, green 50, blue 0, alpha 128.
constexpr std::uint32_t HALF = 0x800032FA;

INSTANTIATE_TEST_SUITE_P(
    Modes, BoxModeTest,
    ::testing::Values(ModeCase{MODE_DEFAULT, 24, HALF, {0, 50, 250, 0, 50, 250, 0, 50, 250}},
                      ModeCase{MODE_DEFAULT, 32, HALF, {0, 50, 250, 0, 0, 50, 250, 255, 0, 50, 250, 100}},
                      ModeCase{MODE_XOR, 24, 0x00FF0F01, {245, 199, 101, 245, 199, 101, 245, 199, 101}},
                      ModeCase{MODE_XOR, 32, 0x80FF0F01, {245, 199, 101, 0, 245, 199, 101, 255, 245, 199, 101, 100}},
                      ModeCase{MODE_ALL_CHANNELS, 32, HALF, {0, 50, 250, 128, 0, 50, 250, 128, 0, 50, 250, 128}},
                      ModeCase{MODE_ALL_CHANNELS, 24, HALF, {0, 50, 250, 0, 50, 250, 0, 50, 250}},
                      ModeCase{MODE_ALPHA_CHANNEL, 32, HALF, {10, 200, 100, 128, 10, 200, 100, 128, 10, 200, 100, 128}},
                      ModeCase{MODE_ALPHA_CHANNEL, 24, HALF, {10, 200, 100, 10, 200, 100, 10, 200, 100}},
                      ModeCase{MODE_ALPHA_BLEND, 24, HALF, {4, 124, 175, 4, 124, 175, 4, 124, 175}},
                      ModeCase{MODE_ALPHA_CLIP, 24, HALF, {4, 124, 175, 4, 124, 175, 4, 124, 175}},
                      ModeCase{MODE_ALPHA_BLEND, 32, HALF, {0, 50, 250, 128, 4, 124, 175, 255, 2, 92, 207, 177}},
                      ModeCase{MODE_ALPHA_CLIP, 32, HALF, {0, 50, 250, 0, 4, 124, 175, 255, 2, 92, 207, 100}},
                      ModeCase{
                          MODE_ALPHA_BLEND, 32, 0x000032FA, {10, 200, 100, 0, 10, 200, 100, 255, 10, 200, 100, 100}},
                      ModeCase{MODE_ALPHA_BLEND, 24, 0x000032FA, {10, 200, 100, 10, 200, 100, 10, 200, 100}},
                      // Gradient: the default function answers 1.0, the end colour (opaque white).
                      ModeCase{MODE_GRADIENT, 24, HALF, {255, 255, 255, 255, 255, 255, 255, 255, 255}},
                      ModeCase{MODE_GRADIENT, 32, HALF, {255, 255, 255, 0, 255, 255, 255, 255, 255, 255, 255, 100}},
                      // Custom: the default filter keeps the target as it is.
                      ModeCase{MODE_CUSTOM, 32, HALF, {10, 200, 100, 0, 10, 200, 100, 255, 10, 200, 100, 100}},
                      ModeCase{MODE_CUSTOM | MODE_OUTLINED, 24, HALF, {10, 200, 100, 10, 200, 100, 10, 200, 100}}),
    [](const auto& info) { return case_name(info.param); });

double quarter_steps(int x, int) { return x / 4.0; }
double out_of_range(int x, int) { return x == 0 ? -3.0 : 7.0; }

TEST_F(BoxTest, GradientMixesStartAndEndPerComponent) {
  ASSERT_NE(create_image(0, 5, 2), 0);
  Pixels expected = fill_pattern(0);
  draw_on(0, [] {
    set_drawing_mode(MODE_GRADIENT);
    set_gradient_colours(0xFF000000, 0xFF0080FF);  // to blue 0, green 0x80, red 0xFF
    set_gradient_function(quarter_steps);
    box(0, 0, 5, 1, COLOUR);
    set_gradient_function(out_of_range);  // held to the ends
    box(0, 1, 2, 1, COLOUR);
  });
  const std::uint8_t reds[] = {0, 64, 128, 191, 255};
  const std::uint8_t greens[] = {0, 32, 64, 96, 128};
  for (int x = 0; x < 5; ++x) set_bgr(expected, x, 0, 0, greens[x], reds[x]);
  set_bgr(expected, 0, 1, 0, 0, 0);
  set_bgr(expected, 1, 1, 0, 0x80, 0xFF);
  EXPECT_EQ(snapshot(0).data, expected.data);
}

TEST_F(BoxTest, GradientColoursBlendUnderTheBlendModes) {
  ASSERT_NE(create_image(0, 1, 1, 32, 0x006496C8), 0);  // blue 100, green 150, red 200, opaque
  draw_on(0, [] {
    set_drawing_mode(MODE_GRADIENT | MODE_ALPHA_BLEND);
    set_gradient_colours(HALF, HALF);
    box(0, 0, 1, 1, 0);
  });
  // (c * 128 + old * 127) / 255 per byte, alpha stays 255.
  EXPECT_EQ(snapshot(0).data, std::vector<std::uint8_t>({49, 99, 225, 255}));
}

struct FilterCall {
  int x, y;
  std::uint32_t colour, target;
};
std::vector<FilterCall> filter_calls;

std::uint32_t record_and_mix(int x, int y, std::uint32_t colour, std::uint32_t target) {
  filter_calls.push_back({x, y, colour, target});
  return colour ^ target;
}

TEST_F(BoxTest, CustomFilterSeesPositionColourAndTarget) {
  filter_calls.clear();
  ASSERT_NE(create_image(0, 4, 4), 0);
  Pixels expected = fill_pattern(0);
  set_bgr(expected, 2, 3, 0x03, 0x02, 0x01);
  set_bgr(expected, 3, 3, 0x13, 0x12, 0x11);
  restore(0, expected);
  draw_on(0, [] {
    set_drawing_mode(MODE_CUSTOM);
    set_custom_filter(record_and_mix);
    box(2, 3, 5, 5, 0x00F0F0F0);
  });
  ASSERT_EQ(filter_calls.size(), 2u);
  EXPECT_EQ(filter_calls[0].x, 2);
  EXPECT_EQ(filter_calls[0].y, 3);
  EXPECT_EQ(filter_calls[0].colour, 0x00F0F0F0u);
  EXPECT_EQ(filter_calls[0].target, 0x00030201u);
  EXPECT_EQ(filter_calls[1].x, 3);
  EXPECT_EQ(filter_calls[1].target, 0x00131211u);
  set_bgr(expected, 2, 3, 0xF3, 0xF2, 0xF1);
  set_bgr(expected, 3, 3, 0xE3, 0xE2, 0xE1);
  EXPECT_EQ(snapshot(0).data, expected.data);
}

TEST_F(BoxTest, PlotsFollowTheModeAndIgnoreOutsidePositions) {
  ASSERT_NE(create_image(0, 3, 2, 32), 0);
  Pixels expected = fill_pattern(0);
  draw_on(0, [] {
    set_front_colour(COLOUR);
    plot(0, 0);
    plot(2, 1, 0x00445566);
    EXPECT_EQ(current_context()->front_colour, COLOUR);  // a given colour is not kept
    plot(-1, 0);
    plot(3, 0);
    plot(0, 2, 0x00445566);
    set_drawing_mode(MODE_XOR);
    plot(1, 0);
    set_drawing_mode(MODE_ALL_CHANNELS);
    plot(1, 1, 0x80445566);
    set_drawing_mode(MODE_ALPHA_BLEND);
    plot(0, 1, 0x00445566);  // alpha 0: nothing
  });
  set_bgr(expected, 0, 0, 0x30, 0x20, 0x10);
  set_bgr(expected, 2, 1, 0x44, 0x55, 0x66);
  xor_expected(expected, 1, 0);
  set_bgr(expected, 1, 1, 0x44, 0x55, 0x66);
  expected.at(1, 1)[3] = 0x80;
  EXPECT_EQ(snapshot(0).data, expected.data);
}

}  // namespace
