#include "native/graphics/device_context.h"

#include "native/graphics/bitmap.h"
#include "native/graphics/resample.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace native {
namespace {

void deselect(DeviceContext* dc) {
  Bitmap* b = dc->bitmap;
  dc->bitmap = nullptr;
  if (!b || b->is_stock) return;
  b->selected_into = nullptr;
  if (b->delete_when_deselected) delete_object(b);
}

DeviceContext* live_dc(const void* handle) {
  GdiObject* object = find_live_object(handle);
  return object && object->type == ObjectType::dc ? static_cast<DeviceContext*>(object) : nullptr;
}

thread_local unsigned batch_limit = 20;

}  // namespace

DeviceContext::~DeviceContext() { deselect(this); }

DeviceContext* create_compatible_dc(const DeviceContext*) {
  auto* dc = new (std::nothrow) DeviceContext;
  if (!dc) return nullptr;
  dc->bitmap = stock_bitmap();
  register_object(dc);
  return dc;
}

bool delete_dc(DeviceContext* dc) {
  if (!live_dc(dc)) return false;
  unregister_object(dc);
  delete dc;
  return true;
}

GdiObject* select_object(DeviceContext* dc, GdiObject* object) {
  if (!live_dc(dc)) return nullptr;
  GdiObject* live = find_live_object(object);
  if (!live || live->type != ObjectType::bitmap) return nullptr;
  auto* b = static_cast<Bitmap*>(live);
  if (b->selected_into && b->selected_into != dc) return nullptr;
  Bitmap* previous = dc->bitmap;
  if (previous == b) return previous;
  if (previous && !previous->is_stock) previous->selected_into = nullptr;
  dc->bitmap = b;
  if (!b->is_stock) b->selected_into = dc;
  if (previous && previous->delete_when_deselected) {
    delete_object(previous);
    return stock_bitmap();
  }
  return previous;
}

Brush* create_solid_brush(std::uint32_t colour) {
  auto* brush = new (std::nothrow) Brush;
  if (!brush) return nullptr;
  brush->colour = colour & 0xFFFFFF;
  register_object(brush);
  return brush;
}

bool fill_rect(DeviceContext* dc, const Rect& rect, const Brush* brush) {
  GdiObject* live = find_live_object(brush);
  if (!live_dc(dc) || !live || live->type != ObjectType::brush) return false;
  Bitmap& b = *dc->bitmap;
  int left = std::max(rect.left, 0), right = std::min(rect.right, b.width);
  int top = std::max(rect.top, 0), bottom = std::min(rect.bottom, b.height);
  std::uint32_t c = brush->colour;
  std::uint32_t argb = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) write_pixel(b, x, y, argb);
  return true;
}

bool bit_blt(DeviceContext* target, int x, int y, int width, int height, const DeviceContext* source, int source_x,
             int source_y) {
  return stretch_blt(target, x, y, width, height, source, source_x, source_y, width, height);
}

int set_stretch_blt_mode(DeviceContext* dc, int mode) {
  if (!live_dc(dc) || mode < 1 || mode > STRETCH_HALFTONE) return 0;
  int previous = dc->stretch_mode;
  dc->stretch_mode = mode;
  return previous;
}

bool set_brush_org(DeviceContext* dc, int x, int y) {
  if (!live_dc(dc)) return false;
  dc->brush_origin_x = x;
  dc->brush_origin_y = y;
  return true;
}

namespace {

// Copies n pixels of one row between 24- and 32-bit layouts; 32-bit pixels
// made from 24-bit ones get alpha 0, as single-pixel writes give them.
void convert_row(const std::uint8_t* in, int in_bytes, std::uint8_t* out, int out_bytes, int n) {
  if (in_bytes == out_bytes) {
    std::memmove(out, in, static_cast<std::size_t>(n) * static_cast<std::size_t>(in_bytes));
    return;
  }
  // 24 to 32 bits is every repaint of a window's backing store: two pixels
  // are one 64-bit word each way, and two such words one vector. The loads
  // read two bytes past the fourth pixel, so the last four go one by one.
  if (out_bytes == 4) {
    using PixelPairs = std::uint64_t __attribute__((vector_size(16)));
    for (; n >= 5; n -= 4, in += 12, out += 16) {
      std::uint64_t first, second;
      std::memcpy(&first, in, 8);
      std::memcpy(&second, in + 6, 8);
      PixelPairs pairs = {first, second};
      pairs = (pairs & 0xFFFFFFu) | (pairs << 8 & 0xFFFFFF00000000u);
      std::memcpy(out, &pairs, sizeof pairs);
    }
  }
  for (int i = 0; i < n; ++i, in += in_bytes, out += out_bytes) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    if (out_bytes == 4) out[3] = 0;
  }
}

// Same-size copies between 24- and 32-bit bitmaps, a row at a time: what a
// window's paint does with its backing store, so it must be quick. Target
// pixels whose source lies outside the source bitmap become black.
void copy_rows(Bitmap& to, int x, int y, int width, int height, const Bitmap& from, int source_x, int source_y) {
  const int in_bytes = from.bits_per_pixel / 8, out_bytes = to.bits_per_pixel / 8;
  const int first = std::max(0, -x), last = std::min(width, to.width - x);
  const int inside_first = std::clamp(-source_x, first, std::max(first, last));
  const int inside_last = std::clamp(from.width - source_x, inside_first, std::max(inside_first, last));
  for (int ty = std::max(0, -y); ty < height && y + ty < to.height; ++ty) {
    if (first >= last) break;
    std::uint8_t* out = row_address(to, y + ty);
    auto blacken = [&](int a, int b) {
      if (b > a)
        std::memset(out + static_cast<std::size_t>(x + a) * out_bytes, 0, static_cast<std::size_t>(b - a) * out_bytes);
    };
    int sy = source_y + ty;
    if (sy < 0 || sy >= from.height) {
      blacken(first, last);
      continue;
    }
    blacken(first, inside_first);
    const std::uint8_t* in = row_address(from, sy) + static_cast<std::size_t>(source_x + inside_first) * in_bytes;
    convert_row(in, in_bytes, out + static_cast<std::size_t>(x + inside_first) * out_bytes, out_bytes,
                inside_last - inside_first);
    blacken(inside_last, last);
  }
}

bool stretch_pixels(DeviceContext* target, int x, int y, int width, int height, const DeviceContext* source,
                    int source_x, int source_y, int source_width, int source_height) {
  const Bitmap& from = *source->bitmap;
  Bitmap& to = *target->bitmap;
  if (width == source_width && height == source_height && from.bits_per_pixel != 16 && to.bits_per_pixel != 16) {
    copy_rows(to, x, y, width, height, from, source_x, source_y);
    return true;
  }
  // Gather the source rectangle as 0xAARRGGBB; pixels outside it read black.
  std::vector<std::uint32_t> in(static_cast<std::size_t>(source_width) * source_height);
  for (int sy = 0; sy < source_height; ++sy)
    for (int sx = 0; sx < source_width; ++sx) {
      int px = source_x + sx, py = source_y + sy;
      bool inside = px >= 0 && py >= 0 && px < from.width && py < from.height;
      in[static_cast<std::size_t>(sy) * source_width + sx] = inside ? read_pixel(from, px, py) : 0;
    }
  std::vector<std::uint32_t> out;
  if (width == source_width && height == source_height) {
    out = std::move(in);
  } else {
    out.resize(static_cast<std::size_t>(width) * height);
    if (target->stretch_mode == STRETCH_HALFTONE) {
      if (!resample(in.data(), source_width, source_height, out.data(), width, height)) return false;
    } else {
      resample_nearest(in.data(), source_width, source_height, out.data(), width, height);
    }
  }
  for (int ty = std::max(0, -y); ty < height && y + ty < to.height; ++ty)
    for (int tx = std::max(0, -x); tx < width && x + tx < to.width; ++tx)
      write_pixel(to, x + tx, y + ty, out[static_cast<std::size_t>(ty) * width + tx]);
  return true;
}

}  // namespace

bool stretch_blt(DeviceContext* target, int x, int y, int width, int height, const DeviceContext* source, int source_x,
                 int source_y, int source_width, int source_height) {
  if (!live_dc(target) || !live_dc(source) || width <= 0 || height <= 0 || source_width <= 0 || source_height <= 0)
    return false;
  try {
    return stretch_pixels(target, x, y, width, height, source, source_x, source_y, source_width, source_height);
  } catch (const std::bad_alloc&) {
    return false;  // a copy that cannot be made draws nothing
  }
}

unsigned gdi_get_batch_limit() { return batch_limit; }

unsigned gdi_set_batch_limit(unsigned limit) {
  unsigned previous = batch_limit;
  batch_limit = limit == 0 ? 20 : limit;
  return previous;
}

}  // namespace native
