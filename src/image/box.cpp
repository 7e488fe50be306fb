// Rectangle fill and outline. One instance per pixel size, write rule and
// shape, picked when the drawing mode is set; each reads as translate, clip,
// return when empty, then a loop over row pointers.
#include "image/drawing.h"
#include "image/drawing_modes.h"
#include "image/drawing_routines.h"
#include "image/span_fill.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Coordinates are widened while they are normalised and clipped, so no
// caller's value can overflow on the way.
using Coord = long long;

// The default rule's rectangle from its top row down; height is at least 1.
// On 3-byte pixels a wide first row is copied whole into the rows below,
// which is as quick as memset; on 4-byte pixels every row keeps its own
// alpha bytes, so each is written on its own.
template <int Bytes>
inline void copy_rows(std::uint8_t* row, std::ptrdiff_t step, int width, int height, std::uint32_t bgr) {
  if constexpr (Bytes == 4) {
    do {
      fill_bgr_keep_alpha(row, width, bgr);
      row += step;
    } while (--height > 0);
  } else if (width < BGR_BLOCK_PIXELS) {
    do {
      fill_bgr_span(row, width, bgr);
      row += step;
    } while (--height > 0);
  } else {
    fill_long_bgr_span(row, width, bgr);
    const std::uint8_t* first = row;
    const std::size_t bytes = static_cast<std::size_t>(width) * 3;
    while (--height > 0) {
      row += step;
      std::memcpy(row, first, bytes);
    }
  }
}

// Rows y .. y + height - 1, top row first; height is at least 1.
template <int Bytes, PixelRule Rule>
inline void fill_rows(DrawingContext* context, int x, int y, int width, int height) {
  std::uint8_t* row = pixel_pointer(context, x, y);
  const std::ptrdiff_t step = row_step(context);
  if constexpr (Rule == PixelRule::copy) {
    copy_rows<Bytes>(row, step, width, height, memory_bgr(context->front));
  } else {
    const PreparedColour colour = context->front;
    const int end = y + height;
    do {
      fill_span<Bytes, Rule>(context, row, x, y, width, colour);
      row += step;
    } while (++y < end);
  }
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

// A rectangle's sizes made positive: a negative width or height extends it
// to the left or upwards.
struct Rectangle {
  Coord x, y, width, height;
};

inline Rectangle normalised(int x, int y, int width, int height) {
  Rectangle r{x, y, width, height};
  if (r.width < 0) {
    r.x += r.width;
    r.width = -r.width;
  }
  if (r.height < 0) {
    r.y += r.height;
    r.height = -r.height;
  }
  return r;
}

// Each edge is clipped on its own; where edges meet (a width or height of 1)
// their pixels are written twice, which matters under XOR.
template <int Bytes, PixelRule Rule>
struct Outline {
  static void run(DrawingContext* context, int x_in, int y_in, int width_in, int height_in) {
    const auto [x, y, width, height] = normalised(x_in, y_in, width_in, height_in);
    // An empty rectangle has no edges either.
    if (width < 1 || height < 1) return;
    row_edge<Bytes, Rule>(context, x, y, width);
    row_edge<Bytes, Rule>(context, x, y + height - 1, width);
    column_edge<Bytes, Rule>(context, x, y + 1, height - 2);
    column_edge<Bytes, Rule>(context, x + width - 1, y + 1, height - 2);
  }
};

template <int Bytes, PixelRule Rule>
struct Fill {
  static void run(DrawingContext* context, int x_in, int y_in, int width_in, int height_in) {
    auto [x, y, width, height] = normalised(x_in, y_in, width_in, height_in);
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

// Boxes up to this wide, wholly inside the drawable area, are filled in the
// default mode without a call, clipping or register saves: the screen
// painter's boxes are 1 x 1 and 2 x 2, one a screen pixel, in a colour that
// changes on nearly every call.
constexpr int SMALL_BOX_WIDTH = 4;

// The rows of a small box, its width fixed so that each row is a few
// stores with nothing to decide.
template <int Bytes, int Width>
inline void small_rows(std::uint8_t* row, std::ptrdiff_t step, int height, std::uint32_t bgr) {
  do {
    if constexpr (Bytes == 3)
      fill_bgr_span(row, Width, bgr);
    else
      fill_bgr_keep_alpha(row, Width, bgr);
    row += step;
  } while (--height > 0);
}

template <int Bytes>
inline bool small_copy(DrawingContext* context, int x, int y, int width, int height, std::uint32_t colour) {
  // No overflow: width is at most SMALL_BOX_WIDTH and height at least 1.
  // A context that was never started has no top row yet.
  if (width < 1 || width > SMALL_BOX_WIDTH || height < 1 || x < 0 || y < 0 || x > context->width - width ||
      y > context->height - height || !context->top_row)
    return false;
  context->front_colour = colour;  // prepared only when something needs it
  const std::ptrdiff_t step = context->row_down;
  std::uint8_t* row = context->top_row + y * step + static_cast<std::ptrdiff_t>(x) * Bytes;
  const std::uint32_t bgr = memory_bgr(colour);
  switch (width) {
    case 1: small_rows<Bytes, 1>(row, step, height, bgr); break;
    case 2: small_rows<Bytes, 2>(row, step, height, bgr); break;
    case 3: small_rows<Bytes, 3>(row, step, height, bgr); break;
    default: small_rows<Bytes, 4>(row, step, height, bgr); break;
  }
  return true;
}

// Every other box: the colour prepared through the context's table when it
// changed, then the mode's routine. Out of line, so that box() itself needs
// no register saves on its way to a small box.
[[gnu::noinline]] void any_box(DrawingContext* context, int x, int y, int width, int height, std::uint32_t colour) {
  // Preparing a colour is only needed when it changed since the last time.
  if (colour != context->front_colour || colour != context->front_prepared_from) {
    context->front_colour = colour;
    context->set_front_colour(context, colour);
  }
  context->box(context, x, y, width, height);
}

}  // namespace

BoxEntry box_routine(int bytes_per_pixel, PixelRule rule, bool outlined) {
  return outlined ? pick_routine<Outline>(bytes_per_pixel, rule) : pick_routine<Fill>(bytes_per_pixel, rule);
}

void box(int x, int y, int width, int height, std::uint32_t colour) {
  DrawingContext* context = current_context();
  if (!context) return;
  x = offset_x(context, x);
  y = offset_y(context, y);
  // The small-box path writes the colour as given, which is what the usual
  // preparation makes of it in the default mode.
  const BoxEntry entry = context->box;
  if (context->set_front_colour == static_cast<ColourEntry>(set_front_colour)) {
    if (entry == Fill<3, PixelRule::copy>::run && small_copy<3>(context, x, y, width, height, colour)) return;
    if (entry == Fill<4, PixelRule::copy>::run && small_copy<4>(context, x, y, width, height, colour)) return;
  }
  any_box(context, x, y, width, height, colour);
}
