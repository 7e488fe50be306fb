#pragma once
// Reduction of a 24- or 32-bit pixel buffer to a palette of 2^depth colours
// and rows of packed palette indices, for palette outputs. Two colours come
// from a luminance threshold; more from a trained colour network.
#include "export/colour_network.h"

#include <cstdint>

struct ColourReduction {
  // The pixels as blue, green, red, alpha; width × 4 bytes per row, rows in
  // the source's memory order. Dithering writes into it.
  std::uint8_t* pixels;
  std::int32_t height;
  std::int32_t width;
  std::int32_t source_depth;  // 24 or 32
  std::uint32_t options;      // only DITHER is read
  std::int32_t depth;         // 1 to 8
  bool owns_pixels;           // the working buffer is a copy to free
  std::uint8_t* row;          // width + 8 bytes, refilled by reduced_row
  ColourNetwork* network;     // none at depth 1
  double gamma;
  // Running error diffusion, carried from one mapped row to the next.
  std::int32_t error_blue;
  std::int32_t error_green;
  std::int32_t error_red;
  std::int32_t error_alpha;
  // Blue, green, red, alpha; entries 0 to 2^depth − 1 are valid.
  std::uint8_t palette[256][4];
};

// Builds the palette for the buffer; null when out of memory or when the
// sizes, depths or stride cannot describe a buffer.
ColourReduction* reduce_colours(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                                std::int32_t source_depth, std::int32_t stride, std::int32_t depth,
                                std::uint32_t options);

// The palette indices of memory row y, packed for the depth with the first
// pixel in the most significant bits; unused trailing bits and bytes are 0.
// The buffer belongs to the reduction and is reused by the next call. Null
// for a row outside the picture.
std::uint8_t* reduced_row(ColourReduction* reduction, std::int32_t y);

void free_reduction(ColourReduction* reduction);
