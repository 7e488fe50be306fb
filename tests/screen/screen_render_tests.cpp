// The rendered picture, pixel for pixel: a dithered screen with line changes,
// on the canvas at both scales, against a painting made one pixel at a time
// from the decoder's answer and the palette.
#include "screen_fixture.h"

#include "sam/screen_decoder.h"
#include "screen/screen_view.h"
#include "screen/viewer_state.h"

#include <vector>

namespace {

// Neighbouring pixels mostly differ, so the colour changes on nearly every box.
std::uint8_t dithered(int x, int y) {
  std::uint32_t state = static_cast<std::uint32_t>(y * 256 + x) * 2654435761u;
  state ^= state >> 13;
  return static_cast<std::uint8_t>((state * 1103515245u) >> 28);
}

// The screen's colour at a picture position of the render, as 0x00RRGGBB.
std::uint32_t reference(const DecodedScreen& screen, int x, int y, int scale) {
  const int sx = x / scale, sy = y / scale;
  const Colour c = viewer_state().palette[screen.row_clut[sy][screen.pixels[sy * SCREEN_WIDTH + sx]]];
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

using ScreenRenderTest = ScreenTest;

TEST_F(ScreenRenderTest, CanvasMatchesAPixelByPixelPaintingAtBothScales) {
  const std::vector<std::uint8_t> clut = {0, 9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 99, 108, 117, 126, 127};
  const std::vector<std::uint8_t> bytes =
      make_screen(dithered, clut, {{0, 3, 34, 0}, {40, 15, 2, 0}, {95, 0, 120, 0}, {190, 7, 64, 0}});
  DecodedScreen screen;
  ASSERT_EQ(decode_screen(bytes, screen), ScreenSize::usable);
  load(bytes);
  for (int scale : {2, 1}) {
    viewer_state().scale = scale;
    render_screen();
    const int width = SCREEN_WIDTH * scale, height = SCREEN_HEIGHT * scale;
    // Every canvas pixel: the picture, centred on black at single size.
    const int left = (CANVAS_WIDTH - width) / 2, top = (CANVAS_HEIGHT - height) / 2;
    int wrong = 0;
    for (int y = 0; y < CANVAS_HEIGHT; ++y)
      for (int x = 0; x < CANVAS_WIDTH; ++x) {
        const bool inside = x >= left && y >= top && x < left + width && y < top + height;
        const std::uint32_t want = inside ? reference(screen, x - left, y - top, scale) : 0;
        if (canvas_pixel(x, y) != want && ++wrong <= 3)
          ADD_FAILURE() << "canvas (" << x << ", " << y << ") at scale " << scale;
      }
    EXPECT_EQ(wrong, 0) << "canvas pixels wrong at scale " << scale;
  }
}

}  // namespace
