#pragma once
// What one PNG save holds: the output (an atomic replacement of the target),
// its stream, libpng's structures and any colour reduction. Whatever is still
// held when the session ends is released, and an output not committed never
// reaches its target. Shared by every PNG writer of this folder.
#include "export/colour_reduction.h"
#include "native/system/file.h"

#include <png.h>

#include <cstdio>
#include <string>

class PngSession {
 public:
  PngSession() = default;
  PngSession(const PngSession&) = delete;
  PngSession& operator=(const PngSession&) = delete;
  ~PngSession();

  // Opens the output and libpng's write structure, which reports errors and
  // warnings only through the result. False when either cannot be had.
  bool open(const std::string& path);  // the name as the system's bytes

  // The recovery point for libpng's errors must be set by the caller's own
  // frame (setjmp); this attaches the stream, makes the info structure and
  // sets the deflate level and the row filters. False without memory.
  bool prepare(int level, int filters);

  void release();

  // Writes out the stream's buffered tail and puts the file in place; false
  // when any of it failed, and then the target is as it was.
  bool commit();

  native::File* output = nullptr;
  std::FILE* stream = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  ColourReduction* reduction = nullptr;
};

// Writes IHDR for 8-bit RGB (PNG_COLOR_TYPE_RGB) or RGBA from blue-green-
// red(-alpha) pixels, the header, and the rows.
void write_true_colour_png(PngSession& s, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                           std::int32_t stride, std::uint32_t layout, int colour_type);

// Writes `height` rows of `row_bytes` each, top row first, from a buffer laid
// out top-down or bottom-up (ROWS_BOTTOM_UP) with rows `stride` bytes apart.
void write_png_rows(png_structp png, const std::uint8_t* pixels, std::int32_t height, std::int32_t stride,
                    std::uint32_t layout);
