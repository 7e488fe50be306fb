#include "screen/screen_painter.h"

#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/images.h"

#include <memory>

void paint_screen(const DecodedScreen& screen, const std::array<Colour, 128>& palette, int scale) {
  const int s = scale;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    // The row's sixteen colours first: one look-up a pixel instead of two.
    std::array<Colour, 16> colours;
    for (int i = 0; i < 16; ++i) colours[i] = palette[screen.row_clut[y][i]];
    const std::uint8_t* row = screen.pixels.data() + y * SCREEN_WIDTH;
    for (int x = 0; x < SCREEN_WIDTH; ++x) box(x * s, y * s, s, s, colours[row[x]]);
  }
}

bool paint_loaded_screen() {
  ViewerState& v = viewer_state();
  if (v.file_size <= 0 || !v.file_data) return false;
  auto screen = std::make_unique<DecodedScreen>();
  if (decode_screen({v.file_data, static_cast<std::size_t>(v.data_size)}, *screen) != ScreenSize::usable) return false;
  for (int i = 0; i < 16; ++i) v.clut[i] = screen->row_clut[SCREEN_HEIGHT - 1][i];
  free_image(0);
  create_image(0, SCREEN_WIDTH * v.scale, SCREEN_HEIGHT * v.scale);
  // Drawing commands only ever run inside a pass that started.
  if (start_drawing(image_output(0))) {
    paint_screen(*screen, v.palette, v.scale);
    stop_drawing();
  }
  return true;
}
