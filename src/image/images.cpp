#include "image/images.h"

#include "native/graphics/bitmap.h"
#include "native/graphics/device_context.h"
#include "native/graphics/gdi_object.h"
#include "native/system/library.h"
#include "runtime/object_table.h"

namespace {

constexpr std::int32_t IMAGE_GROW_STEP = 16;

struct ImageServices {
  native::Library* blend_library;
  std::int32_t alpha_blend_available;
};

ImageServices* services = nullptr;
ObjectTable* images = nullptr;

ImageRecord* live_image(ObjectId number) { return static_cast<ImageRecord*>(get_object(images, number)); }

std::intptr_t release_image(ObjectId number) { return free_image(number); }

// Every pixel of a 32-bit buffer, written directly: memory order is blue,
// green, red, alpha, so the colour's red and blue bytes change places.
void fill_32(const native::BitmapDescription& buffer, std::uint32_t colour) {
  const std::uint32_t pixel = (colour & 0xFF00FF00) | (colour & 0xFF) << 16 | (colour >> 16 & 0xFF);
  const std::int32_t stride = row_stride(buffer.width, buffer.bits_per_pixel);
  auto* base = static_cast<std::uint8_t*>(buffer.bits);
  for (int y = 0; y < buffer.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(base + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < buffer.width; ++x) row[x] = pixel;
  }
}

// Other buffers are painted with a solid brush. Without a device context or
// brush the buffer keeps its zero-filled (black) content.
void paint(native::Bitmap* bitmap, const native::BitmapDescription& buffer, std::uint32_t colour) {
  native::DeviceContext* dc = native::create_compatible_dc();
  if (!dc) return;
  native::Brush* brush = native::create_solid_brush(colour);
  if (brush && native::select_object(dc, bitmap))
    native::fill_rect(dc, native::Rect{0, 0, buffer.width, buffer.height}, brush);
  if (brush) native::delete_object(brush);
  native::delete_dc(dc);
}

}  // namespace

void init_image_services() {
  services = static_cast<ImageServices*>(allocate_state_block(sizeof(ImageServices), nullptr, nullptr));
  if (!services) return;
  services->blend_library = native::load_library("msimg32.dll");
  services->alpha_blend_available =
      services->blend_library && native::get_proc_address(services->blend_library, "AlphaBlend") ? 1 : 0;
}

void shutdown_image_services() {
  if (!services) return;
  if (services->blend_library) native::free_library(services->blend_library);
  services->blend_library = nullptr;
  services->alpha_blend_available = 0;
  services = nullptr;
}

bool alpha_blend_available() { return services && services->alpha_blend_available; }

void init_images() { images = create_table(sizeof(ImageRecord), IMAGE_GROW_STEP, release_image); }

ObjectTable* image_table() { return images; }

std::int32_t row_stride(std::int32_t width, std::int32_t depth) {
  switch (depth) {
    case 1: return ((width + 31) / 32) * 4;
    case 4: return ((width + 7) / 8) * 4;
    case 8: return ((width + 3) / 4) * 4;
    case 15:
    case 16: return ((width + 1) / 2) * 4;
    case 24: return ((width + 1) * 3 / 4) * 4;
    default: return width * 4;
  }
}

ObjectId create_image(ObjectId number, int width, int height, int depth, std::uint32_t colour) {
  if (depth == 32) colour = colour == 0xFFFFFFFF ? 0 : colour | 0xFF000000;

  // Reusing a number frees the old image here, before the new buffer exists.
  auto* record = static_cast<ImageRecord*>(allocate_object(images, number));
  if (!record) return 0;

  // Sizes must fit the record's 16-bit fields; a negative height would ask
  // for top-down rows, which images never have.
  native::Bitmap* bitmap = nullptr;
  if (width >= 1 && height >= 1 && width <= MAX_IMAGE_SIZE && height <= MAX_IMAGE_SIZE)
    bitmap = native::create_dib_section(width, height, depth < 24 ? 24 : depth);
  native::BitmapDescription buffer{};
  if (!bitmap || !native::get_bitmap(bitmap, buffer)) {
    if (bitmap) native::delete_object(bitmap);
    // A record made for OBJECT_ANY would otherwise stay behind, empty.
    if (number == OBJECT_ANY) free_object(images, handle_of(record));
    return 0;
  }

  if (buffer.bits_per_pixel == 32 && buffer.bits)
    fill_32(buffer, colour);
  else if ((colour & 0xFFFFFF) != 0)  // a new buffer is already black
    paint(bitmap, buffer, colour);

  record->handle = bitmap;
  record->width = static_cast<std::int16_t>(buffer.width);
  record->height = static_cast<std::int16_t>(buffer.height);
  record->depth = static_cast<std::uint8_t>(buffer.bits_per_pixel);
  record->creation_depth = record->depth;
  return number == OBJECT_ANY ? handle_of(record) : reinterpret_cast<ObjectId>(bitmap);
}

std::intptr_t free_image(ObjectId number) {
  if (number == OBJECT_ANY) {
    release_all(images);
    return 1;
  }
  ImageRecord* record = live_image(number);
  if (!record) return 0;
  // Only bitmaps are ever made here; other handles are left to their owner.
  if (native::get_object_type(record->handle) == native::ObjectType::bitmap) native::delete_object(record->handle);
  free_object(images, number);
  return 1;
}

void free_all_images() { release_all(images); }

bool is_image(ObjectId number) { return find_object(images, number) != nullptr; }

ObjectId image_id(ObjectId number) {
  ImageRecord* record = live_image(number);
  return record ? reinterpret_cast<ObjectId>(record->handle) : 0;
}
