#include "native/graphics/bitmap.h"
#include "native/graphics/device_context.h"
#include "native/graphics/resample.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using native::Bitmap;

TEST(Bitmap, SectionsHavePaddedRowsAndZeroedPixels) {
  Bitmap* b = native::create_dib_section(3, 2, 24);
  ASSERT_NE(b, nullptr);
  native::DibSection section{};
  ASSERT_TRUE(native::get_dib_section(b, section));
  EXPECT_EQ(section.bitmap.width_bytes, 12);
  EXPECT_EQ(section.header_height, 2);
  EXPECT_EQ(section.image_size, 24u);
  for (std::size_t i = 0; i < section.image_size; ++i) ASSERT_EQ(b->bits[i], 0);
  EXPECT_EQ(native::dib_stride(5, 16), 12u);
  EXPECT_EQ(native::dib_stride(5, 32), 20u);
  native::delete_object(b);
}

TEST(Bitmap, BadRequestsMakeNoBitmap) {
  EXPECT_EQ(native::create_dib_section(0, 5, 24), nullptr);
  EXPECT_EQ(native::create_dib_section(5, 0, 24), nullptr);
  EXPECT_EQ(native::create_dib_section(5, 5, 8), nullptr);
  EXPECT_EQ(native::create_dib_section(5, 5, 25), nullptr);
  EXPECT_EQ(native::create_dib_section(100000, 100000, 32), nullptr);  // beyond a section's size
}

TEST(Bitmap, RowsAreBottomUpUnlessMadeTopDown) {
  Bitmap* up = native::create_dib_section(2, 3, 24);
  Bitmap* down = native::create_dib_section(2, -3, 24);
  EXPECT_EQ(native::row_address(*up, 0), up->bits + 2 * up->stride);
  EXPECT_EQ(native::row_address(*down, 0), down->bits);
  native::DibSection section{};
  native::get_dib_section(down, section);
  EXPECT_EQ(section.header_height, -3);
  native::delete_object(up);
  native::delete_object(down);
}

TEST(Bitmap, DeviceDependentBitmapsHideTheirPixels) {
  Bitmap* ddb = native::create_compatible_bitmap(2, 2);
  native::BitmapDescription description{};
  native::DibSection section{};
  ASSERT_TRUE(native::get_bitmap(ddb, description));
  EXPECT_EQ(description.bits, nullptr);
  EXPECT_EQ(description.bits_per_pixel, 32);
  EXPECT_FALSE(native::get_dib_section(ddb, section));
  // Lines go in and out through the copy calls, bottom line first.
  std::uint8_t in[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  EXPECT_EQ(native::set_di_bits(ddb, 0, 2, in, 32, false), 2);
  EXPECT_EQ(native::read_pixel(*ddb, 0, 1), 0x04030201u);
  std::uint8_t out[16] = {};
  EXPECT_EQ(native::get_di_bits(ddb, 0, 2, out, 24, true), 2);  // top-down, 24 bits, stride 8
  EXPECT_EQ(out[0], 9);
  EXPECT_EQ(out[8], 1);
  native::delete_object(ddb);
}

TEST(Bitmap, SixteenBitPixelsExpandToEightBitsPerChannel) {
  Bitmap* b = native::create_dib_section(1, 1, 16);
  native::write_pixel(*b, 0, 0, 0xFFFFFF);
  EXPECT_EQ(b->bits[0] | b->bits[1] << 8, 0x7FFF);
  EXPECT_EQ(native::read_pixel(*b, 0, 0), 0xFFFFFFu);
  native::delete_object(b);
}

TEST(GdiObjects, TypeQueriesAreSafeOnAnyValue) {
  int stack_value = 0;
  EXPECT_EQ(native::get_object_type(nullptr), native::ObjectType::none);
  EXPECT_EQ(native::get_object_type(&stack_value), native::ObjectType::none);
  Bitmap* b = native::create_dib_section(1, 1, 24);
  EXPECT_EQ(native::get_object_type(b), native::ObjectType::bitmap);
  native::delete_object(b);
  EXPECT_EQ(native::get_object_type(b), native::ObjectType::none);
  EXPECT_FALSE(native::delete_object(b));
}

TEST(GdiObjects, ABitmapDeletedWhileSelectedGoesWhenDeselected) {
  std::uint32_t before = native::live_object_count(native::ObjectType::bitmap);
  Bitmap* b = native::create_dib_section(4, 4, 24);
  native::DeviceContext* dc = native::create_compatible_dc();
  ASSERT_NE(native::select_object(dc, b), nullptr);
  EXPECT_TRUE(native::delete_object(b));
  EXPECT_EQ(native::get_object_type(b), native::ObjectType::bitmap);  // still drawn on
  native::DeviceContext* other = native::create_compatible_dc();
  EXPECT_EQ(native::select_object(other, b), nullptr);  // one context at a time
  native::delete_dc(dc);
  native::delete_dc(other);
  EXPECT_EQ(native::live_object_count(native::ObjectType::bitmap), before);
  EXPECT_EQ(native::live_object_count(native::ObjectType::dc), 0u);
}

TEST(DeviceContext, FillRectClipsAndClearsAlpha) {
  Bitmap* b = native::create_dib_section(3, 2, 32);
  std::memset(b->bits, 0x77, 24);
  native::DeviceContext* dc = native::create_compatible_dc();
  native::select_object(dc, b);
  native::Brush* brush = native::create_solid_brush(0x112233);
  EXPECT_TRUE(native::fill_rect(dc, {2, -5, 10, 1}, brush));  // top row, last pixel only
  std::vector<std::uint8_t> expected(24, 0x77);
  // The top row is the last in memory: bytes 12..23, pixel 2 at 20.
  expected[20] = 0x11;  // blue is the colour's high byte
  expected[21] = 0x22;
  expected[22] = 0x33;
  expected[23] = 0;
  EXPECT_EQ(std::vector<std::uint8_t>(b->bits, b->bits + 24), expected);
  native::delete_object(brush);
  native::delete_dc(dc);
  native::delete_object(b);
}

TEST(DeviceContext, BlitsCopyConvertAndStretch) {
  Bitmap* from = native::create_dib_section(2, 2, 24);
  Bitmap* to = native::create_dib_section(4, 4, 32);
  native::write_pixel(*from, 0, 0, 0x102030);
  native::write_pixel(*from, 1, 0, 0x405060);
  native::write_pixel(*from, 0, 1, 0x708090);
  native::write_pixel(*from, 1, 1, 0xA0B0C0);
  native::DeviceContext* src = native::create_compatible_dc();
  native::DeviceContext* dst = native::create_compatible_dc();
  native::select_object(src, from);
  native::select_object(dst, to);

  EXPECT_TRUE(native::bit_blt(dst, 3, -1, 2, 2, src, 0, 0));  // clipped to one pixel
  EXPECT_EQ(native::read_pixel(*to, 3, 0), 0x708090u);
  EXPECT_EQ(native::read_pixel(*to, 2, 0), 0u);

  EXPECT_TRUE(native::stretch_blt(dst, 0, 0, 4, 4, src, 0, 0, 2, 2));  // nearest by default
  EXPECT_EQ(native::read_pixel(*to, 1, 1), 0x102030u);
  EXPECT_EQ(native::read_pixel(*to, 3, 3), 0xA0B0C0u);

  native::set_stretch_blt_mode(dst, native::STRETCH_HALFTONE);
  EXPECT_TRUE(native::stretch_blt(dst, 0, 0, 1, 1, src, 0, 0, 2, 2));  // the mean of all four
  EXPECT_EQ(native::read_pixel(*to, 0, 0), 0x586878u);
  native::delete_dc(src);
  native::delete_dc(dst);
  native::delete_object(from);
  native::delete_object(to);
}

TEST(Resample, KeepsFlatColoursAndDoesNotBleedTransparency) {
  std::vector<std::uint32_t> flat(6 * 5, 0xFF336699);
  std::vector<std::uint32_t> out(11 * 3);
  native::resample(flat.data(), 6, 5, out.data(), 11, 3);
  for (std::uint32_t p : out) ASSERT_EQ(p, 0xFF336699u);

  // Opaque red beside fully transparent green: shrinking must not turn red
  // towards green where alpha is weighed in.
  std::uint32_t pair[2] = {0xFFFF0000, 0x0000FF00};
  std::uint32_t one = 0;
  native::resample(pair, 2, 1, &one, 1, 1, true);
  EXPECT_EQ(one & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(one >> 24, 128u);
}

}  // namespace

namespace {

TEST(DeviceContext, SameSizeCopiesConvertRowsAndBlackenWhatLiesOutsideTheSource) {
  Bitmap* from = native::create_dib_section(2, 1, 32);
  Bitmap* to = native::create_dib_section(3, 2, 24);
  const std::uint8_t source[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::memcpy(from->bits, source, 8);
  std::memset(to->bits, 0xEE, to->stride * 2);
  native::DeviceContext* src = native::create_compatible_dc();
  native::DeviceContext* dst = native::create_compatible_dc();
  native::select_object(src, from);
  native::select_object(dst, to);
  // Source columns -1..1 and rows 0..1: one column and one row lie outside.
  EXPECT_TRUE(native::bit_blt(dst, 0, 0, 3, 2, src, -1, 0));
  // Rows are bottom-up: memory row 1 is picture row 0.
  const std::vector<std::uint8_t> expected = {
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE,  // picture row 1: no source row
      0, 0, 0, 1, 2, 3, 5, 6, 7, 0xEE, 0xEE, 0xEE,  // picture row 0: black, then the two pixels
  };
  EXPECT_EQ(std::vector<std::uint8_t>(to->bits, to->bits + 24), expected);

  // And back: 24-bit pixels become 32-bit ones with alpha 0.
  EXPECT_TRUE(native::bit_blt(src, 0, 0, 2, 1, dst, 1, 0));
  EXPECT_EQ(std::vector<std::uint8_t>(from->bits, from->bits + 8), (std::vector<std::uint8_t>{1, 2, 3, 0, 5, 6, 7, 0}));
  native::delete_dc(src);
  native::delete_dc(dst);
  native::delete_object(from);
  native::delete_object(to);
}

}  // namespace
