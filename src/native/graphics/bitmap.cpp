#include "native/graphics/bitmap.h"

#include "native/graphics/graphics_state.h"
#include "native/system/faults.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace native {

Bitmap::~Bitmap() { std::free(bits); }

std::size_t dib_stride(int width, int bits_per_pixel) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits_per_pixel) + 31) / 32) * 4;
}

namespace {

Bitmap* make_bitmap(int width, int height, int bits_per_pixel, bool dib) {
  if (width <= 0 || height == 0) return nullptr;
  if (bits_per_pixel != 16 && bits_per_pixel != 24 && bits_per_pixel != 32) return nullptr;
  bool top_down = height < 0;
  long long rows = top_down ? -static_cast<long long>(height) : height;
  std::size_t stride = dib_stride(width, bits_per_pixel);
  // A section's size must fit a signed 32-bit count.
  if (static_cast<unsigned long long>(rows) >
      static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max()) / stride)
    return nullptr;
  std::size_t size = stride * static_cast<std::size_t>(rows);
  if (faults::allocation_fails(size)) return nullptr;
  auto* bits = static_cast<std::uint8_t*>(std::calloc(1, size));
  if (!bits) return nullptr;
  auto* bitmap = new (std::nothrow) Bitmap;
  if (!bitmap) {
    std::free(bits);
    return nullptr;
  }
  bitmap->width = width;
  bitmap->height = static_cast<int>(rows);
  bitmap->bits_per_pixel = bits_per_pixel;
  bitmap->top_down = top_down;
  bitmap->is_dib = dib;
  bitmap->stride = stride;
  bitmap->bits = bits;
  register_object(bitmap);
  return bitmap;
}

Bitmap* live_bitmap(const void* handle) {
  GdiObject* object = find_live_object(handle);
  return object && object->type == ObjectType::bitmap ? static_cast<Bitmap*>(object) : nullptr;
}

}  // namespace

Bitmap* create_dib_section(int width, int height, int bits_per_pixel) {
  return make_bitmap(width, height, bits_per_pixel, true);
}

Bitmap* create_compatible_bitmap(int width, int height) { return make_bitmap(width, height, 32, false); }

Bitmap* stock_bitmap() {
  Bitmap*& stock = detail::graphics().stock_bitmap;
  if (!stock) {
    stock = make_bitmap(1, 1, 32, false);
    stock->is_stock = true;
  }
  return stock;
}

bool get_bitmap(const void* handle, BitmapDescription& out) {
  Bitmap* b = live_bitmap(handle);
  if (!b) return false;
  out.width = b->width;
  out.height = b->height;
  out.width_bytes = static_cast<int>(b->stride);
  out.bits_per_pixel = b->bits_per_pixel;
  out.bits = b->is_dib ? b->bits : nullptr;
  return true;
}

bool get_dib_section(const void* handle, DibSection& out) {
  Bitmap* b = live_bitmap(handle);
  if (!b || !b->is_dib) return false;
  get_bitmap(handle, out.bitmap);
  out.header_height = b->top_down ? -b->height : b->height;
  out.image_size = b->stride * static_cast<std::size_t>(b->height);
  return true;
}

std::uint8_t* row_address(const Bitmap& b, int y) {
  int memory_row = b.top_down ? y : b.height - 1 - y;
  return b.bits + static_cast<std::size_t>(memory_row) * b.stride;
}

std::uint32_t read_pixel(const Bitmap& b, int x, int y) {
  const std::uint8_t* p = row_address(b, y);
  switch (b.bits_per_pixel) {
    case 16: {
      unsigned v = p[2 * x] | (p[2 * x + 1] << 8);
      auto expand = [](unsigned c) { return (c << 3) | (c >> 2); };
      return expand((v >> 10) & 31) << 16 | expand((v >> 5) & 31) << 8 | expand(v & 31);
    }
    case 24: p += 3 * x; return static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
    default:
      p += 4 * x;
      return static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
  }
}

void write_pixel(Bitmap& b, int x, int y, std::uint32_t argb) {
  std::uint8_t* p = row_address(b, y);
  switch (b.bits_per_pixel) {
    case 16: {
      unsigned v = ((argb >> 19) & 31) << 10 | ((argb >> 11) & 31) << 5 | ((argb >> 3) & 31);
      p[2 * x] = static_cast<std::uint8_t>(v);
      p[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
      break;
    }
    case 24:
      p += 3 * x;
      p[0] = static_cast<std::uint8_t>(argb);
      p[1] = static_cast<std::uint8_t>(argb >> 8);
      p[2] = static_cast<std::uint8_t>(argb >> 16);
      break;
    default:
      std::memcpy(p + 4 * x, &argb, 4);  // little-endian: blue, green, red, alpha
      break;
  }
}

namespace {

// Converts rows between a bitmap and a caller's buffer, either direction.
int transfer_rows(const void* handle, int start_line, int lines, void* buffer, int bits_per_pixel, bool top_down,
                  bool into_bitmap) {
  Bitmap* b = live_bitmap(handle);
  if (!b || !buffer || (bits_per_pixel != 24 && bits_per_pixel != 32) || start_line < 0 || lines <= 0) return 0;
  if (start_line >= b->height) return 0;
  if (lines > b->height - start_line) lines = b->height - start_line;
  std::size_t stride = dib_stride(b->width, bits_per_pixel);
  int bytes = bits_per_pixel / 8;
  auto* base = static_cast<std::uint8_t*>(buffer);
  // Scan lines count from the bottom of the picture, as in bottom-up memory.
  for (int i = 0; i < lines; ++i) {
    int scan = start_line + i;
    int y = b->height - 1 - scan;
    std::uint8_t* row = base + static_cast<std::size_t>(top_down ? lines - 1 - i : i) * stride;
    for (int x = 0; x < b->width; ++x) {
      std::uint8_t* p = row + static_cast<std::size_t>(x) * bytes;
      if (into_bitmap) {
        std::uint32_t v = p[0] | p[1] << 8 | static_cast<std::uint32_t>(p[2]) << 16;
        if (bytes == 4) v |= static_cast<std::uint32_t>(p[3]) << 24;
        write_pixel(*b, x, y, v);
      } else {
        std::uint32_t v = read_pixel(*b, x, y);
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
        if (bytes == 4) p[3] = static_cast<std::uint8_t>(v >> 24);
      }
    }
  }
  return lines;
}

}  // namespace

int get_di_bits(const void* bitmap, int start_line, int lines, void* out, int bits_per_pixel, bool top_down) {
  return transfer_rows(bitmap, start_line, lines, out, bits_per_pixel, top_down, false);
}

int set_di_bits(void* bitmap, int start_line, int lines, const void* in, int bits_per_pixel, bool top_down) {
  return transfer_rows(bitmap, start_line, lines, const_cast<void*>(in), bits_per_pixel, top_down, true);
}

}  // namespace native
