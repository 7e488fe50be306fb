#include "export/png_session.h"

#include "export/encoder_registry.h"

#include <cstddef>

namespace {

// libpng would print its errors and warnings; a failed save is reported by
// its result alone.
[[noreturn]] void quiet_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quiet_warning(png_structp, png_const_charp) {}

}  // namespace

PngSession::~PngSession() {
  release();
  if (stream) std::fclose(stream);
  native::file_close(output);
}

bool PngSession::open(const std::string& path) {
  output = native::file_create_output_named(path);
  if (!output) return false;
  stream = native::file_output_stream(output);
  if (!stream) return false;
  png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet_error, quiet_warning);
  return png != nullptr;
}

bool PngSession::prepare(int level, int filters) {
  png_init_io(png, stream);
  info = png_create_info_struct(png);
  if (!info) return false;
  png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
  png_set_compression_level(png, level);
  return true;
}

void PngSession::release() {
  if (png) png_destroy_write_struct(&png, &info);
  png = nullptr;
  info = nullptr;
  free_reduction(reduction);
  reduction = nullptr;
}

bool PngSession::commit() {
  release();
  bool clean = std::fflush(stream) == 0 && std::ferror(stream) == 0;
  std::fclose(stream);
  stream = nullptr;
  native::File* file = output;
  output = nullptr;
  if (!clean) {
    native::file_close(file);
    return false;
  }
  return native::file_commit(file);
}

void write_true_colour_png(PngSession& s, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                           std::int32_t stride, std::uint32_t layout, int colour_type) {
  png_set_IHDR(s.png, s.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colour_type,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_set_bgr(s.png);
  png_write_info(s.png, s.info);
  write_png_rows(s.png, pixels, height, stride, layout);
}

void write_png_rows(png_structp png, const std::uint8_t* pixels, std::int32_t height, std::int32_t stride,
                    std::uint32_t layout) {
  bool bottom_up = (layout & ROWS_BOTTOM_UP) != 0;
  std::ptrdiff_t step = bottom_up ? -static_cast<std::ptrdiff_t>(stride) : stride;
  const std::uint8_t* row = pixels + (bottom_up ? static_cast<std::ptrdiff_t>(stride) * (height - 1) : 0);
  for (std::int32_t i = 0; i < height; ++i, row += step) png_write_row(png, row);
}
