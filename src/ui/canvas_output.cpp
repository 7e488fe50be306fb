// The canvas output provider: a drawing context on the backing store. Ending
// the pass paints the canvas at once, so the picture shows without waiting
// for the next paint message.
#include "ui/canvas_state.h"

#include "image/images.h"
#include "native/bitmap.h"
#include "native/device_context.h"
#include "native/gdi_object.h"

namespace {

void release_canvas_output(DrawingContext* context, int commit) {
  native::delete_dc(context->device_context);
  context->device_context = nullptr;
  native::gdi_set_batch_limit(context->saved_batch_limit);
  if (!commit) return;
  // The canvas may have gone (or been replaced) during the pass.
  if (GadgetRecord* record = canvas_record(context->canvas_number)) repaint_canvas(record);
}

}  // namespace

DrawingContext* canvas_output(ObjectId number) {
  GadgetRecord* record = canvas_record(number);
  if (!record) return nullptr;
  native::Bitmap* bitmap = record->canvas.bitmap;
  native::DibSection section{};
  if (!native::get_dib_section(bitmap, section) || !section.bitmap.bits) return nullptr;

  native::DeviceContext* dc = native::create_compatible_dc();
  if (!dc) return nullptr;
  DrawingContext* context = new_context(FORMAT_24_BGR | FORMAT_BOTTOM_UP);
  if (!context) {
    native::delete_dc(dc);
    return nullptr;
  }
  context->target_bitmap = bitmap;
  context->canvas_number = number;
  context->start_returns_address = 0;
  // A batch limit of 1 keeps drawing made through the device context in step
  // with the direct byte access.
  context->saved_batch_limit = native::gdi_get_batch_limit();
  native::gdi_set_batch_limit(1);
  context->device_context = dc;
  context->release = release_canvas_output;
  if (!native::select_object(dc, bitmap)) {
    drop_context(context);
    return nullptr;
  }
  context->pixel_address = static_cast<std::uint8_t*>(section.bitmap.bits);
  context->stride = row_stride(section.bitmap.width, section.bitmap.bits_per_pixel);
  context->width = section.bitmap.width;
  context->height = section.bitmap.height;
  context->depth = 24;
  return context;
}
