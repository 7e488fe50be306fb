#include "export/colour_reduction.h"

#include "export/encoder_registry.h"
#include "runtime/general_heap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr double GAMMA = 1.8;
// Pictures up to this many pixels are learnt from every pixel; each further
// block of this size skips one more, up to one pixel in MAX_SAMPLING_FACTOR.
constexpr std::int64_t PIXELS_PER_SAMPLING_STEP = 262144;
constexpr std::int64_t MAX_SAMPLING_FACTOR = 10;
constexpr double LUMINANCE_THRESHOLD = 160.0;

std::int32_t clamp_byte(std::int32_t value) { return std::clamp(value, 0, 255); }

std::uint8_t* pixel_row(const ColourReduction& r, std::int32_t y) {
  return r.pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width) * 4;
}

// The working buffer: 4 bytes a pixel, rows packed. A 24-bit source becomes
// opaque; a 32-bit source is copied only when dithering will write into it
// or its rows are not already packed.
bool make_working_buffer(ColourReduction& r, const std::uint8_t* pixels, std::int32_t stride) {
  std::size_t row_bytes = static_cast<std::size_t>(r.width) * 4;
  if (r.source_depth == 32 && !(r.options & DITHER) && stride == static_cast<std::int64_t>(row_bytes)) {
    r.pixels = const_cast<std::uint8_t*>(pixels);  // only dithering writes, and it never works on this
    return true;
  }
  r.pixels = static_cast<std::uint8_t*>(general_alloc_raw(row_bytes * static_cast<std::size_t>(r.height)));
  if (!r.pixels) return false;
  r.owns_pixels = true;
  for (std::int32_t y = 0; y < r.height; ++y) {
    const std::uint8_t* in = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    std::uint8_t* out = pixel_row(r, y);
    if (r.source_depth == 32) {
      std::memcpy(out, in, row_bytes);
      continue;
    }
    for (std::int32_t x = 0; x < r.width; ++x, in += 3, out += 4) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
      out[3] = 255;
    }
  }
  return true;
}

bool build_network_palette(ColourReduction& r) {
  r.network = static_cast<ColourNetwork*>(general_alloc(sizeof(ColourNetwork)));
  if (!r.network) return false;
  std::size_t length = static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height) * 4;
  set_up_network(*r.network, r.pixels, length, 1 << r.depth, r.gamma);
  std::int64_t pixels = static_cast<std::int64_t>(r.width) * r.height;
  auto factor = static_cast<std::int32_t>(std::min(pixels / PIXELS_PER_SAMPLING_STEP + 1, MAX_SAMPLING_FACTOR));
  train_network(*r.network, factor);
  build_colour_map(*r.network);
  write_network_palette(*r.network, r.palette);
  return true;
}

void threshold_row(const ColourReduction& r, const std::uint8_t* in, std::uint8_t* out) {
  for (std::int32_t x = 0; x < r.width; ++x, in += 4) {
    double luminance = 0.2126 * in[2] + 0.7152 * in[1] + 0.0722 * in[0];
    out[x] = luminance > LUMINANCE_THRESHOLD ? 1 : 0;
  }
}

void map_row(const ColourReduction& r, const std::uint8_t* in, std::uint8_t* out) {
  for (std::int32_t x = 0; x < r.width; ++x, in += 4)
    out[x] = static_cast<std::uint8_t>(nearest_colour(*r.network, in[3], in[2], in[1], in[0]));
}

struct Errors {
  std::int32_t blue, green, red, alpha;
};

// Subtracts part of the running error from a pixel of the receiving row.
void spread(std::uint8_t* pixel, const Errors& e, std::int32_t sixteenths) {
  pixel[0] = static_cast<std::uint8_t>(clamp_byte(pixel[0] - e.blue * sixteenths / 16));
  pixel[1] = static_cast<std::uint8_t>(clamp_byte(pixel[1] - e.green * sixteenths / 16));
  pixel[2] = static_cast<std::uint8_t>(clamp_byte(pixel[2] - e.red * sixteenths / 16));
  pixel[3] = static_cast<std::uint8_t>(clamp_byte(pixel[3] - e.alpha * sixteenths / 16));
}

std::int32_t square_sum(const Errors& e) {
  return e.blue * e.blue + e.green * e.green + e.red * e.red + e.alpha * e.alpha;
}

// Maps a row with error diffusion: each pixel's mapping error is carried to
// its right-hand neighbour and spread into the row below (or, for the last
// row, into the row itself), and what is left at the row's end goes on to
// the next row mapped.
void dither_row(ColourReduction& r, std::int32_t y, std::uint8_t* out) {
  Errors e{r.error_blue, r.error_green, r.error_red, r.error_alpha};
  std::uint8_t* row = pixel_row(r, y);
  std::uint8_t* receiving = pixel_row(r, y == r.height - 1 ? y : y + 1);

  for (std::int32_t x = 0; x < r.width; ++x) {
    const std::uint8_t* p = row + static_cast<std::size_t>(x) * 4;
    std::int32_t blue = p[0];
    std::int32_t green = p[1];
    std::int32_t red = p[2];
    std::int32_t alpha = p[3];
    std::int32_t index = nearest_colour(*r.network, clamp_byte(alpha - e.alpha), clamp_byte(red - e.red),
                                        clamp_byte(green - e.green), clamp_byte(blue - e.blue));
    out[x] = static_cast<std::uint8_t>(index);

    // The error counts less where both the pixel and its match are mostly
    // transparent.
    const std::uint8_t* entry = r.palette[index];
    std::int32_t m = std::max<std::int32_t>(entry[ENTRY_ALPHA], alpha);
    std::int32_t k = 255 - (255 - m) * (255 - m) / 255;
    Errors d{(entry[ENTRY_BLUE] - blue) * k / 255, (entry[ENTRY_GREEN] - green) * k / 255,
             (entry[ENTRY_RED] - red) * k / 255, entry[ENTRY_ALPHA] - alpha};
    e.blue += d.blue;
    e.green += d.green;
    e.red += d.red;
    e.alpha += d.alpha;

    // Keep the carried error small so that it cannot build up into streaks.
    while (e.blue * e.blue > 100 || e.green * e.green > 100 || e.red * e.red > 100 || e.alpha * e.alpha > 100 ||
           square_sum(e) > 2 * square_sum(d) || square_sum(e) > 200) {
      e.blue /= 2;
      e.green /= 2;
      e.red /= 2;
      e.alpha /= 2;
    }

    if (x > 0) spread(receiving + static_cast<std::size_t>(x - 1) * 4, e, 3);
    spread(receiving + static_cast<std::size_t>(x) * 4, e, 5);
    if (x + 1 < r.width) spread(receiving + static_cast<std::size_t>(x + 1) * 4, e, 1);
  }

  r.error_blue = e.blue * 7 / 16;
  r.error_green = e.green * 7 / 16;
  r.error_red = e.red * 7 / 16;
  r.error_alpha = e.alpha * 7 / 16;
}

// Packs one index a byte into depth bits each, first pixel in the most
// significant bits, and clears everything after the last pixel so that the
// bytes written out never depend on stale memory.
void pack_row(std::uint8_t* row, std::int32_t width, std::int32_t depth) {
  std::size_t capacity = static_cast<std::size_t>(width) + 8;
  std::size_t used = static_cast<std::size_t>(width);
  if (depth == 1 || depth == 2 || depth == 4) {
    std::int32_t per_byte = 8 / depth;
    auto mask = static_cast<std::uint8_t>((1 << depth) - 1);
    used = (static_cast<std::size_t>(width) + per_byte - 1) / per_byte;
    for (std::size_t j = 0; j < used; ++j) {
      std::uint32_t packed = 0;
      for (std::int32_t k = 0; k < per_byte; ++k) {
        std::size_t x = j * per_byte + k;
        std::uint32_t index = x < static_cast<std::size_t>(width) ? (row[x] & mask) : 0;
        packed |= index << (8 - depth * (k + 1));
      }
      // Byte j is written only after indices j × per_byte onward were read.
      row[j] = static_cast<std::uint8_t>(packed);
    }
  }
  std::memset(row + used, 0, capacity - used);
}

}  // namespace

ColourReduction* reduce_colours(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                                std::int32_t source_depth, std::int32_t stride, std::int32_t depth,
                                std::uint32_t options) {
  if (!pixels || width <= 0 || height <= 0 || depth < 1 || depth > 8) return nullptr;
  if (source_depth != 24 && source_depth != 32) return nullptr;
  if (stride < static_cast<std::int64_t>(width) * (source_depth / 8)) return nullptr;
  // The working buffer and the network's length must fit comfortably.
  std::uint64_t total = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4;
  if (total > static_cast<std::uint64_t>(PTRDIFF_MAX) / 2) return nullptr;

  auto* r = static_cast<ColourReduction*>(general_alloc(sizeof(ColourReduction)));
  if (!r) return nullptr;
  r->height = height;
  r->width = width;
  r->source_depth = source_depth;
  r->options = options;
  r->depth = depth;
  r->gamma = GAMMA;

  bool made = make_working_buffer(*r, pixels, stride);
  if (made) {
    r->row = static_cast<std::uint8_t*>(general_alloc_raw(static_cast<std::size_t>(width) + 8));
    made = r->row != nullptr;
  }
  if (made && depth == 1) {
    // Black and white; the threshold in reduced_row picks between them.
    std::memset(r->palette[0], 0, 4);
    r->palette[1][ENTRY_BLUE] = 255;
    r->palette[1][ENTRY_GREEN] = 255;
    r->palette[1][ENTRY_RED] = 255;
    r->palette[1][ENTRY_ALPHA] = 0;
  } else if (made) {
    made = build_network_palette(*r);
  }
  if (!made) {
    free_reduction(r);
    return nullptr;
  }
  return r;
}

std::uint8_t* reduced_row(ColourReduction* r, std::int32_t y) {
  if (!r || y < 0 || y >= r->height) return nullptr;
  std::uint8_t* out = r->row;
  const std::uint8_t* in = pixel_row(*r, y);
  if (r->depth == 1)
    threshold_row(*r, in, out);
  else if (r->options & DITHER)
    dither_row(*r, y, out);
  else
    map_row(*r, in, out);
  pack_row(out, r->width, r->depth);
  return out;
}

void free_reduction(ColourReduction* r) {
  if (!r) return;
  if (r->owns_pixels) general_free(r->pixels);
  general_free(r->network);
  general_free(r->row);
  general_free(r);
}
