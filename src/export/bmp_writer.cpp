#include "export/bmp_writer.h"

#include "export/colour_reduction.h"
#include "export/composite.h"
#include "export/encoder_registry.h"
#include "native/system/file.h"
#include "runtime/general_heap.h"

#include <cstddef>

namespace {

constexpr std::uint32_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t INFO_HEADER_SIZE = 40;
constexpr std::uint32_t HEADERS_SIZE = FILE_HEADER_SIZE + INFO_HEADER_SIZE;

bool is_palette_depth(std::int32_t depth) { return depth == 1 || depth == 4 || depth == 8; }

struct Layout {
  std::uint32_t row_size;
  std::uint32_t palette_entries;
  std::uint32_t pixel_offset;
  std::uint32_t image_size;
  std::uint32_t file_size;
};

// Sizes of the file's parts; false when they do not fit the format's 32-bit
// fields.
bool plan_layout(std::int32_t width, std::int32_t height, std::int32_t depth, Layout& out) {
  auto w = static_cast<std::uint64_t>(width);
  std::uint64_t row_bytes = 0;
  switch (depth) {
    case 1: row_bytes = (w + 7) / 8; break;
    case 4: row_bytes = (w + 1) / 2; break;
    case 8: row_bytes = w; break;
    case 24: row_bytes = 3 * w; break;
    default: row_bytes = 4 * w; break;
  }
  std::uint64_t row_size = (row_bytes + 3) & ~std::uint64_t{3};
  if (row_size == 0 && is_palette_depth(depth)) row_size = 4;
  std::uint64_t entries = is_palette_depth(depth) ? (std::uint64_t{1} << depth) : 0;
  std::uint64_t offset = HEADERS_SIZE + 4 * entries;
  std::uint64_t image_size = row_size * static_cast<std::uint64_t>(height);
  if (offset + image_size > UINT32_MAX) return false;
  out = {static_cast<std::uint32_t>(row_size), static_cast<std::uint32_t>(entries), static_cast<std::uint32_t>(offset),
         static_cast<std::uint32_t>(image_size), static_cast<std::uint32_t>(offset + image_size)};
  return true;
}

void put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
  at[2] = static_cast<std::uint8_t>(value >> 16);
  at[3] = static_cast<std::uint8_t>(value >> 24);
}

void fill_headers(std::uint8_t* h, const Layout& l, std::int32_t width, std::int32_t height, std::int32_t depth) {
  h[0] = 'B';
  h[1] = 'M';
  put32(h + 2, l.file_size);
  put16(h + 6, 0);
  put16(h + 8, 0);
  put32(h + 10, l.pixel_offset);
  std::uint8_t* info = h + FILE_HEADER_SIZE;
  put32(info + 0, INFO_HEADER_SIZE);
  put32(info + 4, static_cast<std::uint32_t>(width));
  put32(info + 8, static_cast<std::uint32_t>(height));
  put16(info + 12, 1);
  put16(info + 14, static_cast<std::uint32_t>(depth));
  put32(info + 16, 0);
  put32(info + 20, l.image_size);
  put32(info + 24, 0);
  put32(info + 28, 0);
  put32(info + 32, 0);
  put32(info + 36, 0);
}

bool write_all(native::File* file, const void* data, std::uint32_t count) {
  std::uint32_t done = 0;
  return native::file_write(file, data, count, done) && done == count;
}

// Memory row for the r-th row of the file, which holds the bottom row first.
std::int32_t memory_row(std::int32_t r, std::int32_t height, std::uint32_t layout) {
  return (layout & ROWS_BOTTOM_UP) ? r : height - 1 - r;
}

bool write_palette_pixels(native::File* file, const std::uint8_t* pixels, std::int32_t stride, std::int32_t width,
                          std::int32_t height, std::int32_t image_depth, std::uint32_t layout, std::uint32_t options,
                          std::int32_t depth, const Layout& l) {
  ColourReduction* reduction = reduce_colours(pixels, width, height, image_depth, stride, depth, options);
  if (!reduction) return false;

  std::uint8_t palette[256 * 4];
  for (std::uint32_t i = 0; i < l.palette_entries; ++i) {
    palette[4 * i + 0] = reduction->palette[i][ENTRY_BLUE];
    palette[4 * i + 1] = reduction->palette[i][ENTRY_GREEN];
    palette[4 * i + 2] = reduction->palette[i][ENTRY_RED];
    palette[4 * i + 3] = 0;
  }
  bool ok = write_all(file, palette, 4 * l.palette_entries);
  // The row buffer holds width + 8 bytes, never fewer than a row's size.
  for (std::int32_t r = 0; ok && r < height; ++r)
    ok = write_all(file, reduced_row(reduction, memory_row(r, height, layout)), l.row_size);
  free_reduction(reduction);
  return ok;
}

bool write_true_colour_pixels(native::File* file, const std::uint8_t* pixels, std::int32_t stride, std::int32_t width,
                              std::int32_t height, std::int32_t image_depth, std::uint32_t layout, std::int32_t depth,
                              const Layout& l) {
  if (depth == image_depth && (layout & ROWS_BOTTOM_UP) && stride == static_cast<std::int64_t>(l.row_size))
    return write_all(file, pixels, l.image_size);

  auto* row = static_cast<std::uint8_t*>(general_alloc(l.row_size));
  if (!row) return false;
  bool ok = true;
  for (std::int32_t r = 0; ok && r < height; ++r) {
    const std::uint8_t* in = pixels + static_cast<std::ptrdiff_t>(memory_row(r, height, layout)) * stride;
    std::uint8_t* out = row;
    for (std::int32_t x = 0; x < width; ++x) {
      if (image_depth == 32) {
        out[0] = composite_over_white(in[0], in[3]);
        out[1] = composite_over_white(in[1], in[3]);
        out[2] = composite_over_white(in[2], in[3]);
        in += 4;
      } else {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        in += 3;
      }
      out += 3;
      if (depth == 32) *out++ = 0;
    }
    ok = write_all(file, row, l.row_size);
  }
  general_free(row);
  return ok;
}

}  // namespace

std::int32_t write_bmp(const char16_t* name, const std::uint8_t* pixels, std::int32_t stride, std::int32_t width,
                       std::int32_t height, std::int32_t image_depth, std::uint32_t layout, std::uint32_t options,
                       std::int32_t depth) {
  if (!is_palette_depth(depth) && depth != 24 && depth != 32) return 0;
  if (image_depth != 24 && image_depth != 32) return 0;
  if (!name || !pixels || width <= 0 || height <= 0) return 0;
  if (stride < static_cast<std::int64_t>(width) * (image_depth / 8)) return 0;
  Layout l{};
  if (!plan_layout(width, height, depth, l)) return 0;

  native::File* file = native::file_create_output(name);
  if (!file) return 0;

  std::uint8_t headers[HEADERS_SIZE];
  fill_headers(headers, l, width, height, depth);
  bool ok = write_all(file, headers, FILE_HEADER_SIZE) && write_all(file, headers + FILE_HEADER_SIZE, INFO_HEADER_SIZE);
  if (ok && is_palette_depth(depth))
    ok = write_palette_pixels(file, pixels, stride, width, height, image_depth, layout, options, depth, l);
  else if (ok)
    ok = write_true_colour_pixels(file, pixels, stride, width, height, image_depth, layout, depth, l);

  // An output not committed never reaches its target.
  if (!ok) {
    native::file_close(file);
    return 0;
  }
  return native::file_commit(file) ? 1 : 0;
}
