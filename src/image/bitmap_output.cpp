#include "image/bitmap_output.h"

#include "image/images.h"

#include "native/graphics/bitmap.h"
#include "native/graphics/device_context.h"

DrawingContext* bitmap_output(native::Bitmap* bitmap, std::uint32_t format, ReleaseEntry release) {
  native::DibSection section{};
  if (!native::get_dib_section(bitmap, section) || !section.bitmap.bits) return nullptr;
  native::DeviceContext* dc = native::create_compatible_dc();
  if (!dc) return nullptr;
  DrawingContext* context = new_context(format);
  if (!context) {
    native::delete_dc(dc);
    return nullptr;
  }
  context->target_bitmap = bitmap;
  context->start_returns_address = 0;
  // A batch limit of 1 keeps drawing made through the device context in step
  // with the direct byte access.
  context->saved_batch_limit = native::gdi_get_batch_limit();
  native::gdi_set_batch_limit(1);
  context->device_context = dc;
  context->release = release;
  // Holding the selection is what keeps the buffer alive if its owner frees
  // it mid-pass; a bitmap that cannot be selected cannot be drawn on.
  if (!native::select_object(dc, bitmap)) {
    drop_context(context);
    return nullptr;
  }
  context->pixel_address = static_cast<std::uint8_t*>(section.bitmap.bits);
  context->stride = row_stride(section.bitmap.width, section.bitmap.bits_per_pixel);
  context->width = section.bitmap.width;
  context->height = section.bitmap.height;
  context->depth = (format & FORMAT_32_BGRA) ? 32 : 24;
  return context;
}

void release_bitmap_output(DrawingContext* context) {
  native::delete_dc(context->device_context);
  context->device_context = nullptr;
  native::gdi_set_batch_limit(context->saved_batch_limit);
}
