#include "image_fixture.h"

#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/drawing_modes.h"
#include "native/graphics/device_context.h"
#include "native/graphics/gdi_object.h"

namespace {

using DrawingContextTest = ImageTest;

std::uint32_t live_dcs() { return native::live_object_count(native::ObjectType::dc); }

TEST_F(DrawingContextTest, ImageContextDescribesTheBuffer) {
  ASSERT_NE(create_image(0, 512, 384), 0);
  const unsigned limit_before = native::gdi_get_batch_limit();
  DrawingContext* context = image_output(0);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(current_context(), context);
  void* started = start_drawing(context);
  ASSERT_NE(started, nullptr);
  EXPECT_EQ(started, context->device_context);
  EXPECT_EQ(context->width, 512);
  EXPECT_EQ(context->height, 384);
  EXPECT_EQ(context->full_width, 512);
  EXPECT_EQ(context->full_height, 384);
  EXPECT_EQ(context->depth, 24);
  EXPECT_EQ(context->bytes_per_pixel, 3);
  EXPECT_EQ(context->stride, 1536);
  EXPECT_EQ(context->pixel_format, FORMAT_24_BGR | FORMAT_BOTTOM_UP);
  EXPECT_NE(context->bottom_up_flag, 0);
  EXPECT_EQ(context->pixel_address, image_bits(0));
  EXPECT_EQ(drawing_buffer(), image_bits(0));
  EXPECT_EQ(drawing_buffer_pitch(), 1536);
  EXPECT_EQ(drawing_buffer_format(), FORMAT_24_BGR | FORMAT_BOTTOM_UP);
  EXPECT_EQ(context->gradient_start_colour, 0xFF000000u);
  EXPECT_EQ(context->gradient_end_colour, 0xFFFFFFFFu);
  EXPECT_EQ(context->target_bitmap, reinterpret_cast<void*>(image_id(0)));
  EXPECT_EQ(native::gdi_get_batch_limit(), 1u);
  stop_drawing();
  EXPECT_EQ(current_context(), nullptr);
  EXPECT_EQ(native::gdi_get_batch_limit(), limit_before);
  EXPECT_EQ(live_dcs(), 0u);
}

TEST_F(DrawingContextTest, ThirtyTwoBitImagesGetFourBytePixels) {
  ASSERT_NE(create_image(0, 7, 3, 32), 0);
  ASSERT_NE(start_drawing(image_output(0)), nullptr);
  DrawingContext* context = current_context();
  EXPECT_EQ(context->depth, 32);
  EXPECT_EQ(context->bytes_per_pixel, 4);
  EXPECT_EQ(context->stride, 28);
  EXPECT_EQ(context->pixel_format, FORMAT_32_BGRA | FORMAT_BOTTOM_UP);
}

TEST_F(DrawingContextTest, NoOutputStartsNothing) {
  EXPECT_EQ(start_drawing(nullptr), nullptr);
  EXPECT_EQ(image_output(3), nullptr);  // no such image
  stop_drawing();                       // nothing current: no effect

  ASSERT_NE(create_image(0, 4, 4), 0);
  DrawingContext* context = image_output(0);
  EXPECT_EQ(start_drawing(nullptr), nullptr);
  EXPECT_EQ(current_context(), context);
  free_image(0);
  EXPECT_EQ(image_output(0), nullptr);
  EXPECT_EQ(current_context(), context);
}

TEST_F(DrawingContextTest, ANewOutputReplacesTheCurrentOne) {
  ASSERT_NE(create_image(0, 4, 4), 0);
  ASSERT_NE(create_image(1, 4, 4), 0);
  ASSERT_NE(image_output(0), nullptr);
  DrawingContext* second = image_output(1);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(current_context(), second);
  // The first one is gone, device context included.
  EXPECT_EQ(live_dcs(), 1u);
  ASSERT_NE(start_drawing(second), nullptr);
  box(0, 0, 1, 1, 0xFFFFFF);
  stop_drawing();
  EXPECT_EQ(current_context(), nullptr);
  EXPECT_EQ(live_dcs(), 0u);
  EXPECT_EQ(snapshot(1).at(0, 0)[0], 0xFF);
  EXPECT_EQ(snapshot(0).at(0, 0)[0], 0);
}

TEST_F(DrawingContextTest, AStartThatFailsReleasesTheContext) {
  DrawingContext* context = new_context(FORMAT_24_BGR);  // no buffer behind it
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(start_drawing(context), nullptr);
  EXPECT_EQ(current_context(), nullptr);
}

TEST_F(DrawingContextTest, FreeingTheImageMidPassKeepsItsBufferUntilTheEnd) {
  ASSERT_NE(create_image(0, 8, 8), 0);
  ASSERT_NE(start_drawing(image_output(0)), nullptr);
  free_image(0);
  EXPECT_FALSE(is_image(0));
  box(0, 0, 8, 8, 0x123456);  // still a valid buffer: the sanitizer build watches this
  stop_drawing();
  EXPECT_EQ(native::live_object_count(native::ObjectType::bitmap), 0u);
}

TEST_F(DrawingContextTest, CommandsWithoutAContextDoNothing) {
  ASSERT_NE(create_image(0, 4, 4), 0);
  Pixels before = fill_pattern(0);
  box(0, 0, 4, 4, 0xFFFFFF);
  plot(1, 1);
  plot(1, 1, 0xFFFFFF);
  EXPECT_EQ(point(1, 1), 0u);
  draw_image(image_id(0), 0, 0);
  draw_image_sized(image_id(0), 0, 0, 2, 2);
  draw_image_alpha(image_id(0), 0, 0, 128);
  set_drawing_mode(MODE_XOR);
  set_front_colour(1);
  set_back_colour(1);
  set_gradient_colours(1, 2);
  set_gradient_function(nullptr);
  set_custom_filter(nullptr);
  EXPECT_EQ(drawing_buffer(), nullptr);
  EXPECT_EQ(snapshot(0).data, before.data);
}

// Mode rules: which bits survive, the derived flags, and the point reader.
TEST_F(DrawingContextTest, AllChannelsOverridesTheAlphaModes) {
  ASSERT_NE(create_image(0, 2, 2, 32), 0);
  ASSERT_NE(start_drawing(image_output(0)), nullptr);
  DrawingContext* context = current_context();
  set_drawing_mode(MODE_ALL_CHANNELS | MODE_ALPHA_BLEND | MODE_ALPHA_CLIP | MODE_ALPHA_CHANNEL | MODE_OUTLINED);
  EXPECT_EQ(context->drawing_mode, MODE_ALL_CHANNELS | MODE_OUTLINED);
  EXPECT_EQ(context->blend_flag, 0);
  stop_drawing();

  ASSERT_NE(create_image(1, 2, 2, 24), 0);
  ASSERT_NE(start_drawing(image_output(1)), nullptr);
  context = current_context();
  set_drawing_mode(MODE_ALL_CHANNELS | MODE_ALPHA_BLEND | MODE_XOR);
  EXPECT_EQ(context->drawing_mode, MODE_XOR);  // dropped altogether on 3-byte pixels
}

TEST_F(DrawingContextTest, DerivedFlagsAndPremultipliedColours) {
  ASSERT_NE(create_image(0, 2, 2, 32), 0);
  ASSERT_NE(start_drawing(image_output(0)), nullptr);
  DrawingContext* context = current_context();
  set_front_colour(0x80FF8040);  // alpha 0x80, blue 0xFF, green 0x80, red 0x40
  set_back_colour(0x40000010);
  EXPECT_EQ(context->front.red, 0x40u);
  EXPECT_EQ(context->front.alpha, 0x80u);
  EXPECT_EQ(context->front.inverse_alpha, 0x7Fu);

  for (std::uint32_t mode : {MODE_ALPHA_BLEND, MODE_ALPHA_CLIP, MODE_ALPHA_BLEND | MODE_OUTLINED}) {
    set_drawing_mode(mode);
    EXPECT_NE(context->blend_flag, 0) << mode;
  }
  EXPECT_EQ(context->front.red, 0x40u * 0x80);
  EXPECT_EQ(context->front.green, 0x80u * 0x80);
  EXPECT_EQ(context->front.blue, 0xFFu * 0x80);
  EXPECT_EQ(context->back.red, 0x10u * 0x40);

  for (std::uint32_t spoiler : {MODE_XOR, MODE_GRADIENT, MODE_CUSTOM, MODE_ALL_CHANNELS}) {
    set_drawing_mode(MODE_ALPHA_BLEND | spoiler);
    EXPECT_EQ(context->blend_flag, 0) << spoiler;
  }
  // Back to plain bytes once blending is off.
  EXPECT_EQ(context->front.blue, 0xFFu);
  EXPECT_EQ(context->back.red, 0x10u);

  set_drawing_mode(MODE_GRADIENT | MODE_CUSTOM);
  EXPECT_NE(context->gradient_flag, 0);
  EXPECT_NE(context->custom_flag, 0);
  set_drawing_mode(MODE_DEFAULT);
  EXPECT_EQ(context->gradient_flag, 0);
  EXPECT_EQ(context->custom_flag, 0);
  EXPECT_EQ(context->front_colour, 0x80FF8040u);  // kept exactly as given
}

TEST_F(DrawingContextTest, PointReadsAlphaOnlyUnderAlphaModes) {
  ASSERT_NE(create_image(0, 2, 2, 32, 0x00332211), 0);
  ASSERT_NE(create_image(1, 2, 2, 24, 0x00332211), 0);
  draw_on(0, [] {
    EXPECT_EQ(point(1, 1), 0x00332211u);
    for (std::uint32_t mode : {MODE_ALPHA_CHANNEL, MODE_ALPHA_BLEND, MODE_ALPHA_CLIP, MODE_CUSTOM, MODE_ALL_CHANNELS}) {
      set_drawing_mode(mode);
      EXPECT_EQ(point(1, 1), 0xFF332211u) << mode;
    }
    set_drawing_mode(MODE_XOR | MODE_GRADIENT | MODE_OUTLINED);
    EXPECT_EQ(point(1, 1), 0x00332211u);
    EXPECT_EQ(point(2, 0), 0u);  // outside
    EXPECT_EQ(point(0, -1), 0u);
  });
  draw_on(1, [] {
    set_drawing_mode(MODE_ALPHA_BLEND);
    EXPECT_EQ(point(0, 0), 0x00332211u);
  });
}

}  // namespace
