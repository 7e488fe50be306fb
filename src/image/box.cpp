// Rectangle fill and outline. One instance per pixel size and write rule,
// picked when the drawing mode is set; each reads as translate, clip, return
// when empty, then a loop over row pointers.
#include "image/drawing.h"
#include "image/drawing_modes.h"
#include "image/drawing_routines.h"
#include "image/span_fill.h"

#include <algorithm>

namespace {

// Coordinates are widened while they are normalised and clipped, so no
// caller's value can overflow on the way.
using Coord = long long;

// Rows y .. y + height - 1, top row first; height is at least 1.
template <int Bytes, PixelRule Rule>
inline void fill_rows(DrawingContext* context, int x, int y, int width, int height) {
  const PreparedColour colour = context->front;
  std::uint8_t* row = pixel_pointer(context, x, y);
  const std::ptrdiff_t step = row_step(context);
  const int end = y + height;
  do {
    fill_span<Bytes, Rule>(context, row, x, y, width, colour);
    row += step;
  } while (++y < end);
}

// A row edge: skipped when its row is outside, otherwise clipped to the width.
template <int Bytes, PixelRule Rule>
void row_edge(DrawingContext* context, Coord x, Coord y, Coord length) {
  if (y < 0 || y >= context->height) return;
  Coord start = std::max<Coord>(x, 0), end = std::min<Coord>(x + length, context->width);
  if (end - start < 1) return;
  fill_rows<Bytes, Rule>(context, static_cast<int>(start), static_cast<int>(y), static_cast<int>(end - start), 1);
}

// A column edge: the same with the roles of x and y exchanged.
template <int Bytes, PixelRule Rule>
void column_edge(DrawingContext* context, Coord x, Coord y, Coord length) {
  if (x < 0 || x >= context->width) return;
  Coord start = std::max<Coord>(y, 0), end = std::min<Coord>(y + length, context->height);
  if (end - start < 1) return;
  fill_rows<Bytes, Rule>(context, static_cast<int>(x), static_cast<int>(start), 1, static_cast<int>(end - start));
}

// Each edge is clipped on its own; where edges meet (a width or height of 1)
// their pixels are written twice, which matters under XOR. Kept out of line
// so the fill path stays small.
template <int Bytes, PixelRule Rule>
[[gnu::noinline]] void outline(DrawingContext* context, Coord x, Coord y, Coord width, Coord height) {
  // An empty rectangle has no edges either.
  if (width < 1 || height < 1) return;
  row_edge<Bytes, Rule>(context, x, y, width);
  row_edge<Bytes, Rule>(context, x, y + height - 1, width);
  column_edge<Bytes, Rule>(context, x, y + 1, height - 2);
  column_edge<Bytes, Rule>(context, x + width - 1, y + 1, height - 2);
}

template <int Bytes, PixelRule Rule>
struct Box {
  static void run(DrawingContext* context, int x_in, int y_in, int width_in, int height_in) {
    Coord x = x_in, y = y_in, width = width_in, height = height_in;
    if (width < 0) {
      x += width;
      width = -width;
    }
    if (height < 0) {
      y += height;
      height = -height;
    }
    if (context->drawing_mode & MODE_OUTLINED) {
      outline<Bytes, Rule>(context, x, y, width, height);
      return;
    }
    if (x < 0) {
      width += x;
      x = 0;
    }
    if (y < 0) {
      height += y;
      y = 0;
    }
    if (x + width > context->width) width = context->width - x;
    if (y + height > context->height) height = context->height - y;
    if (width < 1 || height < 1) return;
    fill_rows<Bytes, Rule>(context, static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                           static_cast<int>(height));
  }
};

}  // namespace

BoxEntry box_routine(int bytes_per_pixel, PixelRule rule) { return pick_routine<Box>(bytes_per_pixel, rule); }

void box(int x, int y, int width, int height, std::uint32_t colour) {
  DrawingContext* context = current_context();
  if (!context) return;
  // Preparing a colour is only needed when it changes between calls.
  if (colour != context->front_colour) {
    context->front_colour = colour;
    context->set_front_colour(context, colour);
  }
  context->box(context, offset_x(context, x), offset_y(context, y), width, height);
}
