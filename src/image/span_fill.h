#pragma once
// Row spans: n pixels of one row of the drawable area written with the front
// colour. The rule is a template argument, so the mode is never tested per
// pixel, and the default rule is a few word stores per row.
#include "image/drawing_context.h"
#include "image/pixel_rules.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// First byte of row y of the drawable area; y counts from the top.
inline std::uint8_t* row_pointer(const DrawingContext* context, int y) {
  int memory_row = context->bottom_up_flag ? context->height - 1 - y : y;
  return context->pixel_address + static_cast<std::ptrdiff_t>(memory_row) * context->stride;
}

// First byte of pixel (x, y) of the drawable area.
inline std::uint8_t* pixel_pointer(const DrawingContext* context, int x, int y) {
  return row_pointer(context, y) + static_cast<std::ptrdiff_t>(x) * context->bytes_per_pixel;
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

// The word stores below put a pixel's bytes in little-endian order.
static_assert(std::endian::native == std::endian::little);

// A colour's blue, green and red as a pixel holds them in memory: the
// little-endian word of its first three bytes, the fourth byte zero.
inline std::uint32_t memory_bgr(const PreparedColour& colour) {
  return (colour.blue & 0xFF) | (colour.green & 0xFF) << 8 | (colour.red & 0xFF) << 16;
}

// The same from a colour as given (0x00BBGGRR), which the default rule
// writes unchanged.
inline std::uint32_t memory_bgr(std::uint32_t colour) { return __builtin_bswap32(colour) >> 8; }

// The default rule on 3-byte pixels, the viewer's own case, written like a
// memset with a 3-byte pattern: four pixels are three 32-bit words, and the
// short tail is cut so no byte past the span is touched.
inline void fill_bgr_span(std::uint8_t* p, int n, std::uint32_t bgr) {
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

// Sixteen 3-byte pixels are 48 bytes, a whole number of 16-byte words, so a
// long span is the same three vector stores over and over.
constexpr int BGR_BLOCK_PIXELS = 16;

inline void fill_long_bgr_span(std::uint8_t* p, int n, std::uint32_t bgr) {
  std::uint8_t block[BGR_BLOCK_PIXELS * 3];
  fill_bgr_span(block, BGR_BLOCK_PIXELS, bgr);
  for (; n >= BGR_BLOCK_PIXELS; n -= BGR_BLOCK_PIXELS, p += sizeof block) std::memcpy(p, block, sizeof block);
  fill_bgr_span(p, n, bgr);
}

// The default rule on 4-byte pixels: blue, green and red replaced, alpha
// kept, one masked word a pixel. Four pixels at a time are one vector,
// written out here since box.cpp is built without the loop vectoriser.
inline void fill_bgr_keep_alpha(std::uint8_t* p, int n, std::uint32_t bgr) {
  using FourPixels = std::uint32_t __attribute__((vector_size(16)));
  for (; n >= 4; n -= 4, p += sizeof(FourPixels)) {
    FourPixels pixels;
    std::memcpy(&pixels, p, sizeof pixels);
    pixels = (pixels & 0xFF000000u) | bgr;
    std::memcpy(p, &pixels, sizeof pixels);
  }
  for (; n > 0; --n, p += 4) {
    std::uint32_t pixel;
    std::memcpy(&pixel, p, 4);
    pixel = (pixel & 0xFF000000u) | bgr;
    std::memcpy(p, &pixel, 4);
  }
}

// n pixels from `first`, the pixel at (x, y) of the drawable area, with the
// prepared front colour (which the caller holds in a local, so that stores
// through the byte pointer cannot force it to be reloaded).
template <int Bytes, PixelRule Rule>
inline void fill_span(DrawingContext* context, std::uint8_t* first, int x, int y, int n, const PreparedColour& colour) {
  if constexpr (Rule == PixelRule::per_pixel) {
    per_pixel_span(context, first, x, y, n, context->front_colour);
  } else if constexpr (Rule == PixelRule::copy) {
    if constexpr (Bytes == 3)
      fill_bgr_span(first, n, memory_bgr(colour));
    else
      fill_bgr_keep_alpha(first, n, memory_bgr(colour));
  } else if constexpr (Rule != PixelRule::nothing) {
    for (std::uint8_t* p = first; n > 0; --n, p += Bytes) apply_rule<Bytes, Rule>(p, colour);
  }
}
