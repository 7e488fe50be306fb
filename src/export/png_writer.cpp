#include "export/png_writer.h"

#include "export/colour_reduction.h"
#include "export/encoder_registry.h"
#include "export/png_session.h"
#include "native/system/text.h"

#include <csetjmp>

namespace {

struct PngJob {
  const std::uint8_t* pixels;
  std::int32_t width;
  std::int32_t height;
  std::int32_t stride;
  std::uint32_t layout;
  std::uint32_t options;
  std::int32_t depth;
  std::int32_t colour_type;
};

bool is_palette_depth(std::int32_t depth) { return depth >= 1 && depth <= 8; }

bool write_palette_image(PngSession& s, const PngJob& job) {
  std::int32_t source_depth = job.colour_type == PNG_COLOUR_RGB ? 24 : 32;
  s.reduction = reduce_colours(job.pixels, job.width, job.height, source_depth, job.stride, job.depth, job.options);
  if (!s.reduction) return false;

  png_set_IHDR(s.png, s.info, static_cast<png_uint_32>(job.width), static_cast<png_uint_32>(job.height), job.depth,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  std::int32_t entries = 1 << job.depth;
  png_color palette[256];
  for (std::int32_t i = 0; i < entries; ++i) {
    palette[i].red = s.reduction->palette[i][ENTRY_RED];
    palette[i].green = s.reduction->palette[i][ENTRY_GREEN];
    palette[i].blue = s.reduction->palette[i][ENTRY_BLUE];
  }
  png_set_PLTE(s.png, s.info, palette, entries);
  png_write_info(s.png, s.info);

  // The file's first row is the picture's top row.
  bool bottom_up = (job.layout & ROWS_BOTTOM_UP) != 0;
  for (std::int32_t i = 0; i < job.height; ++i)
    png_write_row(s.png, reduced_row(s.reduction, bottom_up ? job.height - 1 - i : i));

  ColourReduction* done = s.reduction;
  s.reduction = nullptr;
  free_reduction(done);
  return true;
}

// libpng reports every error by a long jump back into this function. Nothing
// here has a destructor and nothing set after setjmp is read after the jump:
// all state lives in the session, which outlives this frame.
bool encode(PngSession& s, const PngJob& job) {
  std::jmp_buf* recovery = png_set_longjmp_fn(s.png, std::longjmp, sizeof(std::jmp_buf));
  if (!recovery) return false;
  if (setjmp(*recovery)) return false;

  if (!s.prepare(9, PNG_FILTER_NONE)) return false;

  if (is_palette_depth(job.depth)) {
    if (!write_palette_image(s, job)) return false;
  } else {
    write_true_colour_png(s, job.pixels, job.width, job.height, job.stride, job.layout, job.colour_type);
  }

  png_write_end(s.png, s.info);
  return true;
}

ImageEncoder png_entry{};
bool png_registered = false;

}  // namespace

std::int32_t write_png(const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                       std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth,
                       std::int32_t colour_type) {
  if (!name) return 0;
  return write_png_named(native::to_utf8(name), pixels, width, height, stride, layout, options, depth, colour_type);
}

std::int32_t write_png_named(const std::string& path, const std::uint8_t* pixels, std::int32_t width,
                             std::int32_t height, std::int32_t stride, std::uint32_t layout, std::uint32_t options,
                             std::int32_t depth, std::int32_t colour_type) {
  std::int32_t bytes_per_pixel = colour_type == PNG_COLOUR_RGB ? 3 : 4;
  if (!pixels || width <= 0 || height <= 0) return 0;
  if (stride < static_cast<std::int64_t>(width) * bytes_per_pixel) return 0;
  if (!is_palette_depth(depth)) colour_type = bytes_per_pixel == 3 ? PNG_COLOUR_RGB : PNG_COLOUR_RGBA;

  PngSession s;
  PngJob job{pixels, width, height, stride, layout, options, depth, colour_type};
  if (!s.open(path) || !encode(s, job)) return 0;
  return s.commit() ? 1 : 0;
}

std::int32_t write_png_rgb(const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                           std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth) {
  return write_png(name, pixels, width, height, stride, layout, options, depth, PNG_COLOUR_RGB);
}

std::int32_t write_png_rgba(const char16_t* name, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                            std::int32_t stride, std::uint32_t layout, std::uint32_t options, std::int32_t depth) {
  return write_png(name, pixels, width, height, stride, layout, options, depth, PNG_COLOUR_RGBA);
}

void register_png_encoder() {
  if (png_registered) return;
  png_entry.code = ENCODER_PNG;
  png_entry.write_24 = write_png_rgb;
  png_entry.write_32 = write_png_rgba;
  register_encoder(&png_entry);
  // A full list refuses the entry; a later call may try again.
  png_registered = find_encoder(ENCODER_PNG) == &png_entry;
}
