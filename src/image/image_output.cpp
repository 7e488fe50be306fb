// The image output provider: a drawing context on an image's pixel buffer.
#include "image/bitmap_output.h"
#include "image/images.h"

#include "native/graphics/bitmap.h"
#include "native/graphics/gdi_object.h"

namespace {

// Commit makes no difference to an image: its bytes are the result. An image
// freed during the pass only loses its buffer once this deselects it.
void release_image_output(DrawingContext* context, int) { release_bitmap_output(context); }

}  // namespace

DrawingContext* image_output(ObjectId number) {
  auto* record = static_cast<ImageRecord*>(get_object(image_table(), number));
  if (!record || native::get_object_type(record->handle) != native::ObjectType::bitmap) return nullptr;
  const std::uint32_t format = (record->depth == 32 ? FORMAT_32_BGRA : FORMAT_24_BGR) | FORMAT_BOTTOM_UP;
  return bitmap_output(static_cast<native::Bitmap*>(record->handle), format, release_image_output);
}
