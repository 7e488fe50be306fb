// Image blits: the dispatcher that turns any bitmap into a pixel buffer of 24
// or 32 bits at the requested size (making a copy when it has to), and the
// direct blit that clips it against the target and runs one member.
#include "image/blit_members.h"
#include "image/drawing.h"
#include "image/drawing_routines.h"
#include "image/images.h"
#include "native/graphics/bitmap.h"
#include "native/graphics/device_context.h"
#include "native/graphics/gdi_object.h"
#include "native/graphics/resample.h"
#include "runtime/general_heap.h"

#include <algorithm>
#include <cstring>

namespace {

using Coord = long long;

void direct_blit(DrawingContext* context, const native::DibSection& section, int x, int y, std::uint32_t constant_alpha,
                 bool use_source_alpha) {
  const native::BitmapDescription& source = section.bitmap;
  if (!source.bits) return;
  BlitMember member = nullptr;
  if (source.bits_per_pixel == 24)
    member = blit_member_24(context->drawing_mode, context->bytes_per_pixel, constant_alpha);
  else if (source.bits_per_pixel == 32)
    member = blit_member_32(context->drawing_mode, context->bytes_per_pixel, constant_alpha, use_source_alpha);
  if (!member) return;

  const int source_bytes = source.bits_per_pixel / 8;
  const bool target_bottom_up = context->bottom_up_flag != 0;
  const Coord full_height = source.height;
  Coord width = source.width, height = source.height;
  // Clipping works on target memory rows; r0 is the memory row of the block's
  // first row: its bottom line on a bottom-up target, else its top line.
  Coord x0 = x, r0 = target_bottom_up ? Coord{context->height} - y - height : Coord{y};
  Coord skip_columns = 0, skip_rows = 0;
  if (x0 < 0) {
    width += x0;
    skip_columns = -x0;
    x0 = 0;
  }
  if (r0 < 0) {
    height += r0;
    skip_rows = -r0;
    r0 = 0;
  }
  if (x0 + width > context->width) width = context->width - x0;
  if (r0 + height > context->height) height = context->height - r0;
  if (width < 1 || height < 1) return;

  // The block's picture line (top = 0) at the first target row, and the
  // source memory row that holds it. Images are bottom-up, but any top-down
  // bitmap is drawn the right way up too.
  const Coord first_line = target_bottom_up ? full_height - 1 - skip_rows : skip_rows;
  const bool source_top_down = section.header_height < 0;
  const Coord first_source_row = source_top_down ? first_line : full_height - 1 - first_line;
  const bool walk_up = target_bottom_up != source_top_down;
  const std::ptrdiff_t source_stride = row_stride(source.width, source.bits_per_pixel);

  BlitJob job{};
  job.context = context;
  job.source =
      static_cast<const std::uint8_t*>(source.bits) + first_source_row * source_stride + skip_columns * source_bytes;
  job.source_step = walk_up ? source_stride : -source_stride;
  job.target = context->pixel_address + r0 * context->stride + x0 * context->bytes_per_pixel;
  job.target_step = context->stride;
  job.width = static_cast<int>(width);
  job.rows = static_cast<int>(height);
  job.x = static_cast<int>(x0);
  job.first_row = static_cast<int>(r0);
  job.constant_alpha = constant_alpha;
  member(job);
}

// Runs `work` with a device context that has the bitmap selected: the one it
// is already selected into, or a temporary one.
template <class Work>
bool with_selected(native::Bitmap* bitmap, Work work) {
  if (bitmap->selected_into) return work(bitmap->selected_into);
  native::DeviceContext* dc = native::create_compatible_dc();
  if (!dc) return false;
  bool done = native::select_object(dc, bitmap) && work(dc);
  native::delete_dc(dc);
  return done;
}

// The smooth resampler for 32-bit sources works on whole 0xAARRGGBB arrays,
// which is exactly a 32-bit row's memory order.
bool resample_into(const native::DibSection& section, native::Bitmap* copy) {
  const native::BitmapDescription& source = section.bitmap;
  const std::size_t in_count = static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);
  const std::size_t out_count = static_cast<std::size_t>(copy->width) * static_cast<std::size_t>(copy->height);
  auto* in = static_cast<std::uint32_t*>(general_alloc_raw(in_count * 4));
  auto* out = static_cast<std::uint32_t*>(general_alloc_raw(out_count * 4));
  bool done = in && out;
  if (done) {
    const std::size_t source_stride = static_cast<std::size_t>(row_stride(source.width, 32));
    const bool top_down = section.header_height < 0;
    for (int line = 0; line < source.height; ++line) {
      int memory_row = top_down ? line : source.height - 1 - line;
      std::memcpy(in + static_cast<std::size_t>(line) * source.width,
                  static_cast<const std::uint8_t*>(source.bits) + memory_row * source_stride,
                  static_cast<std::size_t>(source.width) * 4);
    }
    done = native::resample(in, source.width, source.height, out, copy->width, copy->height, true);
  }
  if (done) {
    for (int line = 0; line < copy->height; ++line)
      std::memcpy(native::row_address(*copy, line), out + static_cast<std::size_t>(line) * copy->width,
                  static_cast<std::size_t>(copy->width) * 4);
  }
  general_free(in);
  general_free(out);
  return done;
}

// A bottom-up copy of a device-independent bitmap at another size (or at
// its own size when it has fewer than 24 bits): 32 bits when the source has
// more than 24, else 24.
native::Bitmap* sized_copy(native::Bitmap* bitmap, const native::DibSection& section, int width, int height) {
  if (width < 1 || height < 1) return nullptr;
  const native::BitmapDescription& source = section.bitmap;
  native::Bitmap* copy = native::create_dib_section(width, height, source.bits_per_pixel > 24 ? 32 : 24);
  if (!copy) return nullptr;
  bool done;
  if (width == source.width && height == source.height) {
    done = with_selected(bitmap, [&](native::DeviceContext* from) {
      return with_selected(
          copy, [&](native::DeviceContext* to) { return native::bit_blt(to, 0, 0, width, height, from, 0, 0); });
    });
  } else if (source.bits_per_pixel == 32) {
    done = resample_into(section, copy);
  } else {
    done = with_selected(bitmap, [&](native::DeviceContext* from) {
      return with_selected(copy, [&](native::DeviceContext* to) {
        native::set_stretch_blt_mode(to, native::STRETCH_HALFTONE);
        native::set_brush_org(to, 0, 0);
        return native::stretch_blt(to, 0, 0, width, height, from, 0, 0, source.width, source.height);
      });
    });
  }
  if (done) return copy;
  native::delete_object(copy);
  return nullptr;
}

// A device-independent copy of a device-dependent bitmap. Such bitmaps
// rarely carry alpha: a 32-bit copy with no alpha at all is made opaque.
native::Bitmap* independent_copy(native::Bitmap* bitmap) {
  native::BitmapDescription description{};
  if (!native::get_bitmap(bitmap, description)) return nullptr;
  const int bits = description.bits_per_pixel > 24 ? 32 : 24;
  native::Bitmap* copy = native::create_dib_section(description.width, description.height, bits);
  if (!copy) return nullptr;
  if (native::get_di_bits(bitmap, 0, description.height, copy->bits, bits, false) != description.height) {
    native::delete_object(copy);
    return nullptr;
  }
  if (bits == 32) {
    const std::size_t size = copy->stride * static_cast<std::size_t>(copy->height);
    bool any_alpha = false;
    for (std::size_t i = 3; i < size && !any_alpha; i += 4) any_alpha = copy->bits[i] != 0;
    if (!any_alpha)
      for (std::size_t i = 3; i < size; i += 4) copy->bits[i] = 255;
  }
  return copy;
}

// Requested sizes of -1 keep the bitmap's own size in that dimension.
void blit_dispatch(DrawingContext* context, void* handle, int x, int y, int width, int height,
                   std::uint32_t constant_alpha, bool use_source_alpha) {
  // Anything but a bitmap would be an icon, and no icons are ever made.
  if (native::get_object_type(handle) != native::ObjectType::bitmap) return;
  auto* bitmap = static_cast<native::Bitmap*>(handle);
  native::DibSection section{};
  if (!native::get_dib_section(handle, section)) {
    native::Bitmap* copy = independent_copy(bitmap);
    if (!copy) return;
    blit_dispatch(context, copy, x, y, width, height, constant_alpha, use_source_alpha);
    native::delete_object(copy);
    return;
  }
  const native::BitmapDescription& source = section.bitmap;
  const bool own_size = (width == -1 || width == source.width) && (height == -1 || height == source.height);
  if (own_size && source.bits_per_pixel >= 24) {
    direct_blit(context, section, x, y, constant_alpha, use_source_alpha);
    return;
  }
  native::Bitmap* copy =
      sized_copy(bitmap, section, width == -1 ? source.width : width, height == -1 ? source.height : height);
  if (!copy) return;
  native::DibSection copy_section{};
  if (native::get_dib_section(copy, copy_section))
    direct_blit(context, copy_section, x, y, constant_alpha, use_source_alpha);
  native::delete_object(copy);
}

void* as_handle(ObjectId handle) { return reinterpret_cast<void*>(handle); }

}  // namespace

void image_blit(DrawingContext* context, ObjectId handle, int x, int y) {
  if (handle) blit_dispatch(context, as_handle(handle), x, y, -1, -1, 255, false);
}

void sized_image_blit(DrawingContext* context, ObjectId handle, int x, int y, int width, int height) {
  if (handle) blit_dispatch(context, as_handle(handle), x, y, width, height, 255, false);
}

void alpha_image_blit(DrawingContext* context, ObjectId handle, int x, int y, std::uint32_t alpha) {
  if (handle) blit_dispatch(context, as_handle(handle), x, y, -1, -1, std::min<std::uint32_t>(alpha, 255), true);
}

void draw_image(ObjectId handle, int x, int y) {
  if (DrawingContext* context = current_context())
    context->image_blit(context, handle, offset_x(context, x), offset_y(context, y));
}

void draw_image_sized(ObjectId handle, int x, int y, int width, int height) {
  if (DrawingContext* context = current_context())
    context->sized_image_blit(context, handle, offset_x(context, x), offset_y(context, y), width, height);
}

void draw_image_alpha(ObjectId handle, int x, int y, std::uint32_t alpha) {
  if (DrawingContext* context = current_context())
    context->alpha_image_blit(context, handle, offset_x(context, x), offset_y(context, y), alpha);
}
