#include "image_fixture.h"
#include "mode_names.h"

#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/drawing_modes.h"
#include "native/graphics/bitmap.h"
#include "native/graphics/device_context.h"

#include <ostream>
#include <string>

namespace {

using BlitTest = ImageTest;

// What one member does to a target pixel t given a source pixel s and the
// constant alpha, written out plainly for comparison.
using Expectation = void (*)(std::uint8_t* t, const std::uint8_t* s, unsigned constant_alpha);

unsigned source_alpha(const std::uint8_t* s, int source_depth, unsigned constant_alpha) {
  if (source_depth == 24) return constant_alpha;
  return constant_alpha == 255 ? s[3] : constant_alpha * s[3] / 255;
}

void mix3(std::uint8_t* t, const std::uint8_t* s, unsigned a) {
  for (int i = 0; i < 3; ++i) t[i] = static_cast<std::uint8_t>((t[i] * (255 - a) + s[i] * a) / 255);
}

void mix4(std::uint8_t* t, const std::uint8_t* s, unsigned a, bool update_alpha) {
  if (a == 0) return;
  const unsigned old_alpha = t[3];
  for (int i = 0; i < 3; ++i)
    t[i] = old_alpha == 0 ? s[i]
                          : static_cast<std::uint8_t>((s[i] * a * 255 + t[i] * (255 - a) * old_alpha) /
                                                      (a * 255 + (255 - a) * old_alpha));
  if (update_alpha) t[3] = static_cast<std::uint8_t>((a * 255 + (255 - a) * old_alpha) / 255);
}

void copy_colours(std::uint8_t* t, const std::uint8_t* s, unsigned) {
  t[0] = s[0];
  t[1] = s[1];
  t[2] = s[2];
}
void copy_four(std::uint8_t* t, const std::uint8_t* s, unsigned) {
  copy_colours(t, s, 0);
  t[3] = s[3];
}
void xor_colours(std::uint8_t* t, const std::uint8_t* s, unsigned) {
  t[0] ^= s[0];
  t[1] ^= s[1];
  t[2] ^= s[2];
}
void nothing(std::uint8_t*, const std::uint8_t*, unsigned) {}
void colours_and_constant_alpha(std::uint8_t* t, const std::uint8_t* s, unsigned ca) {
  copy_colours(t, s, 0);
  t[3] = static_cast<std::uint8_t>(ca);
}
void colours_and_scaled_alpha(std::uint8_t* t, const std::uint8_t* s, unsigned ca) {
  copy_colours(t, s, 0);
  t[3] = static_cast<std::uint8_t>(source_alpha(s, 32, ca));
}
void constant_alpha_only(std::uint8_t* t, const std::uint8_t*, unsigned ca) { t[3] = static_cast<std::uint8_t>(ca); }
void source_alpha_only(std::uint8_t* t, const std::uint8_t* s, unsigned ca) {
  t[3] = static_cast<std::uint8_t>(source_alpha(s, 32, ca));
}
void constant_mix3(std::uint8_t* t, const std::uint8_t* s, unsigned ca) { mix3(t, s, ca); }
void constant_mix4(std::uint8_t* t, const std::uint8_t* s, unsigned ca) { mix4(t, s, ca, true); }
void constant_mix4_keep(std::uint8_t* t, const std::uint8_t* s, unsigned ca) { mix4(t, s, ca, false); }
void source_mix3(std::uint8_t* t, const std::uint8_t* s, unsigned ca) { mix3(t, s, source_alpha(s, 32, ca)); }
void source_mix4(std::uint8_t* t, const std::uint8_t* s, unsigned ca) { mix4(t, s, source_alpha(s, 32, ca), true); }
void source_mix4_keep(std::uint8_t* t, const std::uint8_t* s, unsigned ca) {
  mix4(t, s, source_alpha(s, 32, ca), false);
}

// The filter used by the custom members: the source colour exclusive-ored
// into the target, with the alpha the source is drawn with in the top byte.
std::uint32_t xor_filter(int, int, std::uint32_t colour, std::uint32_t target) { return colour ^ target; }
void filtered_colours(std::uint8_t* t, const std::uint8_t* s, unsigned) { xor_colours(t, s, 0); }
// On 4-byte targets under MODE_CUSTOM | MODE_ALL_CHANNELS the alpha the filter
// answers is written too: the source's (scaled) alpha against the target's.
void filtered_four(std::uint8_t* t, const std::uint8_t* s, unsigned ca) {
  xor_colours(t, s, 0);
  t[3] = static_cast<std::uint8_t>(t[3] ^ source_alpha(s, 32, ca));
}

struct MemberCase {
  const char* name;
  int source_depth;
  int target_depth;
  std::uint32_t mode;
  int alpha;  // -1: draw_image; otherwise draw_image_alpha with it
  Expectation expect;
};

// Names such as Copy_24bit_to_32bit.
std::string case_name(const MemberCase& c) {
  return std::string(c.name) + "_" + std::to_string(c.source_depth) + "bit_to_" + std::to_string(c.target_depth) +
         "bit";
}

void PrintTo(const MemberCase& c, std::ostream* out) {
  *out << case_name(c) << " in mode " << mode_name(c.mode);
  if (c.alpha >= 0) *out << " at constant alpha " << c.alpha;
}

void draw(ObjectId handle, int x, int y, int alpha) {
  if (alpha < 0)
    draw_image(handle, x, y);
  else
    draw_image_alpha(handle, x, y, static_cast<unsigned>(alpha));
}

// Expected target after drawing `source` with its top-left corner at (x, y).
void expect_drawn(Pixels& target, Pixels& source, int x, int y, Expectation expect, unsigned constant_alpha) {
  for (int sy = 0; sy < source.height; ++sy)
    for (int sx = 0; sx < source.width; ++sx) {
      int tx = x + sx, ty = y + sy;
      if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) continue;
      expect(target.at(tx, ty), source.at(sx, sy), constant_alpha);
    }
}

class BlitMemberTest : public ImageTest, public ::testing::WithParamInterface<MemberCase> {};

TEST_P(BlitMemberTest, DrawsEveryByteAsExpected) {
  const MemberCase& c = GetParam();
  ASSERT_NE(create_image(0, 5, 4, c.target_depth), 0);
  ASSERT_NE(create_image(1, 3, 2, c.source_depth), 0);
  Pixels target = fill_pattern(0, 1);
  Pixels source = fill_pattern(1, 2);
  // Alpha extremes on both sides, where the formulas have their own cases.
  if (c.source_depth == 32) {
    source.at(0, 0)[3] = 0;
    source.at(1, 0)[3] = 255;
    source.at(2, 1)[3] = 255;
    restore(1, source);
  }
  if (c.target_depth == 32) {
    target.at(0, 0)[3] = 0;
    target.at(4, 3)[3] = 0;
    target.at(3, 3)[3] = 255;
    restore(0, target);
  }
  draw_on(0, [&] {
    set_drawing_mode(c.mode);
    set_custom_filter(xor_filter);
    draw(image_id(1), -1, -1, c.alpha);  // clipped left and top
    draw(image_id(1), 3, 3, c.alpha);    // clipped right and bottom
    draw(image_id(1), 5, 0, c.alpha);    // wholly outside
    draw(image_id(1), 0, -2, c.alpha);
  });
  const unsigned constant_alpha = c.alpha < 0 ? 255 : static_cast<unsigned>(c.alpha);
  expect_drawn(target, source, -1, -1, c.expect, constant_alpha);
  expect_drawn(target, source, 3, 3, c.expect, constant_alpha);
  EXPECT_EQ(snapshot(0).data, target.data);
}

INSTANTIATE_TEST_SUITE_P(
    FromTwentyFourBits, BlitMemberTest,
    ::testing::Values(MemberCase{"Copy", 24, 24, MODE_DEFAULT, -1, copy_colours},
                      MemberCase{"CopyKeepsAlpha", 24, 32, MODE_DEFAULT, -1, copy_colours},
                      MemberCase{"Xor", 24, 24, MODE_XOR, -1, xor_colours},
                      MemberCase{"Xor", 24, 32, MODE_XOR, 90, xor_colours},
                      MemberCase{"AllChannelsOpaque", 24, 32, MODE_ALL_CHANNELS, -1, colours_and_constant_alpha},
                      MemberCase{"AllChannels", 24, 32, MODE_ALL_CHANNELS, 100, colours_and_constant_alpha},
                      MemberCase{"AllChannelsDropped", 24, 24, MODE_ALL_CHANNELS, -1, copy_colours},
                      MemberCase{"AlphaChannel", 24, 32, MODE_ALPHA_CHANNEL, 100, constant_alpha_only},
                      MemberCase{"AlphaChannel", 24, 24, MODE_ALPHA_CHANNEL, 100, nothing},
                      MemberCase{"AlphaBlend", 24, 32, MODE_ALPHA_BLEND, 100, constant_mix4},
                      MemberCase{"AlphaClip", 24, 32, MODE_ALPHA_CLIP, 100, constant_mix4_keep},
                      MemberCase{"AlphaBlendAsDefault", 24, 24, MODE_ALPHA_BLEND, 100, constant_mix3},
                      MemberCase{"AlphaClipOpaque", 24, 24, MODE_ALPHA_CLIP, -1, copy_colours},
                      MemberCase{"ConstantAlphaZero", 24, 24, MODE_DEFAULT, 0, nothing},
                      MemberCase{"ConstantAlphaZero", 24, 32, MODE_DEFAULT, 0, nothing},
                      MemberCase{"ConstantAlpha", 24, 24, MODE_DEFAULT, 100, constant_mix3},
                      MemberCase{"ConstantAlpha", 24, 32, MODE_DEFAULT, 100, constant_mix4},
                      MemberCase{"Custom", 24, 24, MODE_CUSTOM, -1, filtered_colours},
                      MemberCase{"Custom", 24, 32, MODE_CUSTOM, 100, filtered_colours},
                      // Gradient and outline bits do not change a blit.
                      MemberCase{"GradientIgnored", 24, 24, MODE_GRADIENT | MODE_OUTLINED, -1, copy_colours}),
    [](const auto& info) { return case_name(info.param); });

INSTANTIATE_TEST_SUITE_P(
    FromThirtyTwoBits, BlitMemberTest,
    ::testing::Values(MemberCase{"CopyIgnoresAlpha", 32, 24, MODE_DEFAULT, -1, copy_colours},
                      MemberCase{"CopyIgnoresAlpha", 32, 32, MODE_DEFAULT, -1, copy_colours},
                      MemberCase{"Xor", 32, 24, MODE_XOR, -1, xor_colours},
                      MemberCase{"Xor", 32, 32, MODE_XOR, 100, xor_colours},
                      MemberCase{"AllChannelsOpaque", 32, 32, MODE_ALL_CHANNELS, -1, copy_four},
                      MemberCase{"AllChannels", 32, 32, MODE_ALL_CHANNELS, 100, colours_and_scaled_alpha},
                      MemberCase{"AllChannelsDropped", 32, 24, MODE_ALL_CHANNELS, -1, copy_colours},
                      MemberCase{"AlphaChannel", 32, 32, MODE_ALPHA_CHANNEL, -1, source_alpha_only},
                      MemberCase{"AlphaChannelScaled", 32, 32, MODE_ALPHA_CHANNEL, 100, source_alpha_only},
                      MemberCase{"AlphaChannel", 32, 24, MODE_ALPHA_CHANNEL, -1, nothing},
                      MemberCase{"AlphaBlend", 32, 24, MODE_ALPHA_BLEND, -1, source_mix3},
                      MemberCase{"AlphaBlend", 32, 32, MODE_ALPHA_BLEND, -1, source_mix4},
                      MemberCase{"AlphaBlendScaled", 32, 32, MODE_ALPHA_BLEND, 100, source_mix4},
                      MemberCase{"AlphaClip", 32, 24, MODE_ALPHA_CLIP, 100, source_mix3},
                      MemberCase{"AlphaClip", 32, 32, MODE_ALPHA_CLIP, -1, source_mix4_keep},
                      MemberCase{"SourceAlpha", 32, 24, MODE_DEFAULT, 255, source_mix3},
                      MemberCase{"SourceAlpha", 32, 32, MODE_DEFAULT, 255, source_mix4},
                      MemberCase{"SourceAlphaScaled", 32, 24, MODE_DEFAULT, 180, source_mix3},
                      MemberCase{"SourceAlphaScaled", 32, 32, MODE_DEFAULT, 180, source_mix4},
                      MemberCase{"SourceAlphaZero", 32, 32, MODE_DEFAULT, 0, nothing},
                      MemberCase{"Custom", 32, 24, MODE_CUSTOM, -1, filtered_colours},
                      MemberCase{"CustomAllChannels", 32, 32, MODE_CUSTOM | MODE_ALL_CHANNELS, 100, filtered_four}),
    [](const auto& info) { return case_name(info.param); });

TEST_F(BlitTest, ViewerPlacementCopiesExactlyTheImage) {
  ASSERT_NE(create_image(0, 512, 384), 0);
  ASSERT_NE(create_image(1, 256, 192), 0);
  Pixels picture = fill_pattern(1, 3);
  draw_on(0, [] { draw_image(image_id(1), 128, 96); });
  Pixels canvas = snapshot(0);
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 512; ++x) {
      bool inside = x >= 128 && x < 384 && y >= 96 && y < 288;
      const std::uint8_t* p = canvas.at(x, y);
      if (inside) {
        const std::uint8_t* s = picture.at(x - 128, y - 96);
        ASSERT_TRUE(p[0] == s[0] && p[1] == s[1] && p[2] == s[2]) << x << "," << y;
      } else {
        ASSERT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 0) << x << "," << y;
      }
    }
}

TEST_F(BlitTest, NegativeOriginDrawsTheLowerRightPart) {
  ASSERT_NE(create_image(0, 8, 8), 0);
  ASSERT_NE(create_image(1, 12, 13), 0);
  Pixels target = fill_pattern(0, 4);
  Pixels source = fill_pattern(1, 5);
  draw_on(0, [] { draw_image(image_id(1), -10, -10); });
  expect_drawn(target, source, -10, -10, copy_colours, 255);
  EXPECT_EQ(snapshot(0).data, target.data);
  EXPECT_EQ(target.at(0, 0)[0], source.at(10, 10)[0]);
}

TEST_F(BlitTest, NothingIsDrawnForHandlesThatAreNotBitmaps) {
  ASSERT_NE(create_image(0, 4, 4), 0);
  Pixels before = fill_pattern(0);
  native::Brush* brush = native::create_solid_brush(0xFFFFFF);
  draw_on(0, [&] {
    draw_image(0, 0, 0);
    draw_image(reinterpret_cast<ObjectId>(brush), 0, 0);
    draw_image(12345, 0, 0);
    draw_image_sized(0, 0, 0, 2, 2);
    draw_image_alpha(0, 0, 0, 255);
  });
  native::delete_object(brush);
  EXPECT_EQ(snapshot(0).data, before.data);
}

TEST_F(BlitTest, DrawingAnImageOntoItselfLeavesItAsItWas) {
  ASSERT_NE(create_image(0, 5, 3), 0);
  Pixels before = fill_pattern(0);
  draw_on(0, [] { draw_image(image_id(0), 0, 0); });
  EXPECT_EQ(snapshot(0).data, before.data);
}

// A context over a plain top-down buffer, as other outputs may have.
TEST_F(BlitTest, TopDownTargetsTakeRowsInOrder) {
  constexpr int width = 4, height = 3, stride = 12;
  std::vector<std::uint8_t> buffer(stride * height);
  for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<std::uint8_t>(i * 7 + 1);
  std::vector<std::uint8_t> expected = buffer;
  ASSERT_NE(create_image(1, 2, 2), 0);
  Pixels source = fill_pattern(1, 6);

  DrawingContext* context = new_context(FORMAT_24_BGR);
  ASSERT_NE(context, nullptr);
  context->pixel_address = buffer.data();
  context->stride = stride;
  context->width = width;
  context->height = height;
  context->depth = 24;
  context->start_returns_address = 1;
  ASSERT_EQ(start_drawing(context), buffer.data());
  draw_image(image_id(1), 3, -1);  // clipped right and top: source (0, 1) at (3, 0)
  draw_image(image_id(1), -1, 2);  // clipped left and bottom: source (1, 0) at (0, 2)
  box(1, 1, 2, 1, 0x00030201);
  stop_drawing();

  auto set = [&](int x, int y, const std::uint8_t* bgr) { std::copy(bgr, bgr + 3, &expected[y * stride + x * 3]); };
  set(3, 0, source.at(0, 1));
  set(0, 2, source.at(1, 0));
  const std::uint8_t colour[] = {3, 2, 1};
  set(1, 1, colour);
  set(2, 1, colour);
  EXPECT_EQ(buffer, expected);
}

TEST_F(BlitTest, TopDownSourcesAreDrawnTheRightWayUp) {
  ASSERT_NE(create_image(0, 3, 3), 0);
  native::Bitmap* source = native::create_dib_section(2, -2, 24);  // top-down
  ASSERT_NE(source, nullptr);
  native::write_pixel(*source, 0, 0, 0x00112233);  // picture coordinates
  native::write_pixel(*source, 1, 1, 0x00445566);
  draw_on(0, [&] { draw_image(reinterpret_cast<ObjectId>(source), 1, 0); });
  Pixels target = snapshot(0);
  EXPECT_EQ(target.at(1, 0)[2], 0x11);
  EXPECT_EQ(target.at(2, 1)[0], 0x66);
  EXPECT_EQ(target.at(2, 0)[0], 0);
  native::delete_object(source);
}

TEST_F(BlitTest, DeviceDependentSourcesWithoutAlphaCountAsOpaque) {
  ASSERT_NE(create_image(0, 3, 2, 32), 0);
  Pixels target = fill_pattern(0);
  native::Bitmap* plain = native::create_compatible_bitmap(2, 1);
  native::write_pixel(*plain, 0, 0, 0x00102030);
  native::write_pixel(*plain, 1, 0, 0x00405060);
  draw_on(0, [&] { draw_image_alpha(reinterpret_cast<ObjectId>(plain), 1, 1, 255); });
  for (int x : {1, 2}) {
    std::uint8_t* p = target.at(x, 1);
    std::uint32_t v = x == 1 ? 0x102030 : 0x405060;
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = 255;
  }
  EXPECT_EQ(snapshot(0).data, target.data);
  native::delete_object(plain);
}

TEST_F(BlitTest, DeviceDependentSourcesWithAlphaKeepIt) {
  ASSERT_NE(create_image(0, 1, 1, 32, 0x00000000), 0);  // opaque black
  native::Bitmap* translucent = native::create_compatible_bitmap(1, 1);
  native::write_pixel(*translucent, 0, 0, 0x80FFFFFF);
  draw_on(0, [&] { draw_image_alpha(reinterpret_cast<ObjectId>(translucent), 0, 0, 255); });
  // White at alpha 128 over opaque black.
  EXPECT_EQ(snapshot(0).data, std::vector<std::uint8_t>({128, 128, 128, 255}));
  native::delete_object(translucent);
}

TEST_F(BlitTest, SixteenBitSourcesAreConvertedFirst) {
  ASSERT_NE(create_image(0, 3, 1), 0);
  native::Bitmap* source = native::create_dib_section(2, 1, 16);
  native::write_pixel(*source, 0, 0, 0xFF0000);  // red
  native::write_pixel(*source, 1, 0, 0x0000FF);  // blue
  draw_on(0, [&] { draw_image(reinterpret_cast<ObjectId>(source), 1, 0); });
  EXPECT_EQ(snapshot(0).data, std::vector<std::uint8_t>({0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0}));
  native::delete_object(source);
}

TEST_F(BlitTest, SizedBlitsStretchACopy) {
  for (int depth : {24, 32}) {
    ASSERT_NE(create_image(0, 6, 5), 0);
    ASSERT_NE(create_image(1, 2, 2, depth, 0x00302010), 0);
    Pixels target = fill_pattern(0);
    draw_on(0, [] {
      draw_image_sized(image_id(1), 1, 1, 4, 3);
      draw_image_sized(image_id(1), 0, 0, 0, 3);   // empty: nothing
      draw_image_sized(image_id(1), 0, 0, -5, 3);  // no meaning: nothing
    });
    for (int y = 1; y <= 3; ++y)
      for (int x = 1; x <= 4; ++x) {
        std::uint8_t* p = target.at(x, y);
        p[0] = 0x30;
        p[1] = 0x20;
        p[2] = 0x10;
      }
    EXPECT_EQ(snapshot(0).data, target.data) << depth;
  }
}

TEST_F(BlitTest, SizedBlitsKeepUnrequestedDimensions) {
  ASSERT_NE(create_image(0, 6, 5), 0);
  ASSERT_NE(create_image(1, 2, 2, 24, 0x00FFFFFF), 0);
  draw_on(0, [] { draw_image_sized(image_id(1), 0, 0, -1, 4); });
  Pixels target = snapshot(0);
  EXPECT_EQ(target.at(1, 3)[0], 255);
  EXPECT_EQ(target.at(2, 0)[0], 0);  // still 2 wide
  EXPECT_EQ(target.at(0, 4)[0], 0);  // 4 high
}

TEST_F(BlitTest, StretchingIsSmooth) {
  for (int depth : {24, 32}) {
    ASSERT_NE(create_image(0, 4, 1), 0);
    ASSERT_NE(create_image(1, 2, 1, depth, 0), 0);
    draw_on(1, [] { box(1, 0, 1, 1, 0x00FFFFFF); });  // black, white
    draw_on(0, [] { draw_image_sized(image_id(1), 0, 0, 4, 1); });
    Pixels target = snapshot(0);
    EXPECT_EQ(target.at(0, 0)[0], 0) << depth;
    EXPECT_EQ(target.at(3, 0)[0], 255) << depth;
    EXPECT_GT(target.at(1, 0)[0], 0) << depth;  // in between, not the nearest pixel
    EXPECT_LT(target.at(2, 0)[0], 255) << depth;
  }
}

}  // namespace
