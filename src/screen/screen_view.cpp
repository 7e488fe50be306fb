#include "screen/screen_renderer.h"

#include "screen/screen_file.h"
#include "screen/viewer_state.h"

#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/images.h"
#include "ui/canvas.h"

#include <array>

namespace {

constexpr int SCREEN_WIDTH = 256;
constexpr int SCREEN_HEIGHT = 192;
constexpr int ROW_BYTES = 128;
constexpr int CANVAS_WIDTH = 512;
constexpr int CANVAS_HEIGHT = 384;
constexpr int NO_CHANGE = -1;

struct LineChange {
  int entry = NO_CHANGE;
  int colour = 0;
};

// The change each row makes: the first record, in file order, for that row
// whose entry is below 16. One pass over the table gives the same picture as
// scanning it from the start for every row.
std::array<LineChange, SCREEN_HEIGHT> line_changes(const ViewerState& v) {
  std::array<LineChange, SCREEN_HEIGHT> changes{};
  const std::uint8_t* data = v.file_data;
  for (std::int64_t p = LINE_TABLE_OFFSET; p < v.data_size && data[p] < LINE_TABLE_END; p += 4) {
    // A record cut short by the end of what is held has no entry or colour.
    if (p + 2 >= v.data_size) break;
    int row = data[p] + 1;
    int entry = data[p + 1];
    if (entry < 16 && changes[row].entry == NO_CHANGE) changes[row] = {entry, data[p + 2] & 0x7F};
  }
  return changes;
}

void paint_screen(ViewerState& v) {
  const std::uint8_t* data = v.file_data;
  for (int i = 0; i < 16; ++i) v.clut[i] = data[CLUT_OFFSET + i] & 0x7F;
  std::array<LineChange, SCREEN_HEIGHT> changes = line_changes(v);
  const int s = v.scale;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    if (changes[y].entry != NO_CHANGE) v.clut[changes[y].entry] = changes[y].colour;
    const std::uint8_t* row = data + y * ROW_BYTES;
    for (int k = 0; k < ROW_BYTES; ++k) {
      std::uint8_t b = row[k];
      box(2 * k * s, y * s, s, s, v.palette[v.clut[b >> 4]]);
      box((2 * k + 1) * s, y * s, s, s, v.palette[v.clut[b & 15]]);
    }
  }
}

}  // namespace

void render_screen() {
  ViewerState& v = viewer_state();
  if (v.file_size <= 0 || !v.file_data) return;
  free_image(0);
  create_image(0, SCREEN_WIDTH * v.scale, SCREEN_HEIGHT * v.scale);
  // Drawing commands only ever run inside a pass that started.
  if (start_drawing(image_output(0))) {
    paint_screen(v);
    stop_drawing();
  }
  if (start_drawing(canvas_output(0))) {
    if (v.scale == 1) {
      box(0, 0, CANVAS_WIDTH, CANVAS_HEIGHT, 0);
      draw_image(image_id(0), (CANVAS_WIDTH - SCREEN_WIDTH) / 2, (CANVAS_HEIGHT - SCREEN_HEIGHT) / 2);
    } else {
      draw_image(image_id(0), 0, 0);
    }
    stop_drawing();
  }
}
