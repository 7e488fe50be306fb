#include "image/save_image.h"

#include "export/encoder_registry.h"
#include "image/images.h"
#include "native/graphics/bitmap.h"

std::int32_t save_image(ObjectId number, const char16_t* name, std::uint32_t encoder, std::uint32_t options,
                        std::int32_t depth) {
  if (!name || name[0] == 0) return 0;
  auto* record = static_cast<ImageRecord*>(get_object(image_table(), number));
  if (!record) return 0;
  native::DibSection section{};
  if (!native::get_dib_section(record->handle, section) || !section.bitmap.bits) return 0;
  if (depth == -1) depth = record->creation_depth;
  const std::int32_t stride = row_stride(section.bitmap.width, section.bitmap.bits_per_pixel);
  // Image rows are always stored bottom-up.
  return write_image_file(name, static_cast<const std::uint8_t*>(section.bitmap.bits), encoder, record->width,
                          record->height, stride, record->depth, ROWS_BOTTOM_UP, options, depth);
}
