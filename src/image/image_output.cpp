// The image output provider: a drawing context on an image's pixel buffer.
#include "image/images.h"

#include "native/bitmap.h"
#include "native/device_context.h"
#include "native/gdi_object.h"

namespace {

// Commit makes no difference to an image: its bytes are the result.
void release_image_output(DrawingContext* context, int) {
  // Deleting the device context deselects the bitmap; an image freed during
  // the pass only now loses its buffer.
  native::delete_dc(context->device_context);
  context->device_context = nullptr;
  native::gdi_set_batch_limit(context->saved_batch_limit);
}

}  // namespace

DrawingContext* image_output(ObjectId number) {
  auto* record = static_cast<ImageRecord*>(get_object(image_table(), number));
  if (!record || native::get_object_type(record->handle) != native::ObjectType::bitmap) return nullptr;
  native::DibSection section{};
  if (!native::get_dib_section(record->handle, section) || !section.bitmap.bits) return nullptr;

  native::DeviceContext* dc = native::create_compatible_dc();
  if (!dc) return nullptr;
  const std::uint32_t format = (record->depth == 32 ? FORMAT_32_BGRA : FORMAT_24_BGR) | FORMAT_BOTTOM_UP;
  DrawingContext* context = new_context(format);
  if (!context) {
    native::delete_dc(dc);
    return nullptr;
  }

  auto* bitmap = static_cast<native::Bitmap*>(record->handle);
  context->target_bitmap = bitmap;
  context->start_returns_address = 0;
  // A batch limit of 1 keeps drawing made through the device context in step
  // with the direct byte access.
  context->saved_batch_limit = native::gdi_get_batch_limit();
  native::gdi_set_batch_limit(1);
  context->device_context = dc;
  context->release = release_image_output;
  // Holding the selection is what keeps the buffer alive if the image is
  // freed mid-pass; a bitmap that cannot be selected cannot be drawn on.
  if (!native::select_object(dc, bitmap)) {
    drop_context(context);
    return nullptr;
  }
  context->pixel_address = static_cast<std::uint8_t*>(section.bitmap.bits);
  context->stride = row_stride(section.bitmap.width, section.bitmap.bits_per_pixel);
  context->width = record->width;
  context->height = record->height;
  context->depth = (format & FORMAT_32_BGRA) ? 32 : 24;
  return context;
}
