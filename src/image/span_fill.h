#pragma once
// Row spans: n pixels of one row of the drawable area written with the front
// colour. The rule is a template argument, so the mode is never tested per
// pixel, and the default rule on 3-byte pixels is a few word stores per row.
#include "image/drawing_context.h"
#include "image/pixel_rules.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// First byte of pixel (x, y) of the drawable area; y counts from the top.
inline std::uint8_t* pixel_pointer(const DrawingContext* context, int x, int y) {
  int memory_row = context->bottom_up_flag ? context->height - 1 - y : y;
  return context->pixel_address + static_cast<std::ptrdiff_t>(memory_row) * context->stride +
         static_cast<std::ptrdiff_t>(x) * context->bytes_per_pixel;
}

// Distance in memory from one row of the drawable area to the row below it.
inline std::ptrdiff_t row_step(const DrawingContext* context) {
  return context->bottom_up_flag ? -static_cast<std::ptrdiff_t>(context->stride) : context->stride;
}

// The slow path for gradients and custom filters: each pixel's colour is
// worked out (gradient colour, then custom filter) before the mode's write
// rule. `colour` is the drawing colour when no gradient replaces it.
void per_pixel_span(DrawingContext* context, std::uint8_t* first, int x, int y, int n, std::uint32_t colour);

// Passes one pixel through the custom filter (when the custom flag is set)
// and writes the answer by the mode's write rule. Blits use it too.
void filter_and_write(DrawingContext* context, std::uint8_t* pixel, int x, int y, std::uint32_t colour);

// The default rule on 3-byte pixels, the viewer's own case, written like a
// memset with a 3-byte pattern: four pixels are three 32-bit words, and the
// short tail is cut so no byte past the span is touched.
inline void fill_bgr_span(std::uint8_t* p, int n, const PreparedColour& colour) {
  static_assert(std::endian::native == std::endian::little);
  const std::uint32_t bgr = (colour.blue & 0xFF) | (colour.green & 0xFF) << 8 | (colour.red & 0xFF) << 16;
  const std::uint32_t w0 = bgr | bgr << 24;       // b g r b
  const std::uint32_t w1 = bgr >> 8 | bgr << 16;  // g r b g
  const std::uint32_t w2 = bgr >> 16 | bgr << 8;  // r b g r
  for (; n >= 4; n -= 4, p += 12) {
    std::memcpy(p, &w0, 4);
    std::memcpy(p + 4, &w1, 4);
    std::memcpy(p + 8, &w2, 4);
  }
  switch (n) {
    case 3:
      std::memcpy(p, &w0, 4);
      std::memcpy(p + 4, &w1, 4);
      p[8] = static_cast<std::uint8_t>(w2);
      break;
    case 2:
      std::memcpy(p, &w0, 4);
      std::memcpy(p + 4, &w1, 2);
      break;
    case 1:
      std::memcpy(p, &w0, 2);
      p[2] = static_cast<std::uint8_t>(w2);
      break;
    default: break;
  }
}

// n pixels from `first`, the pixel at (x, y) of the drawable area, with the
// prepared front colour (which the caller holds in a local, so that stores
// through the byte pointer cannot force it to be reloaded).
template <int Bytes, PixelRule Rule>
inline void fill_span(DrawingContext* context, std::uint8_t* first, int x, int y, int n, const PreparedColour& colour) {
  if constexpr (Rule == PixelRule::per_pixel) {
    per_pixel_span(context, first, x, y, n, context->front_colour);
  } else if constexpr (Bytes == 3 && Rule == PixelRule::copy) {
    fill_bgr_span(first, n, colour);
  } else if constexpr (Rule != PixelRule::nothing) {
    for (std::uint8_t* p = first; n > 0; --n, p += Bytes) apply_rule<Bytes, Rule>(p, colour);
  }
}
