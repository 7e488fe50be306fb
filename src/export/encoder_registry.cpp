#include "export/encoder_registry.h"

#include "export/bmp_writer.h"
#include "export/composite.h"
#include "runtime/general_heap.h"

#include <cstddef>
#include <cstdint>

namespace {

// Filled at start-up, kept for the life of the process; entries are never
// removed.
ImageEncoder* encoders[MAX_ENCODERS];
int count = 0;

// Copies 32-bit rows into a new 24-bit buffer, each pixel composited over
// white. Rows keep their memory order and index. Null when out of memory.
std::uint8_t* composite_to_24(const std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride,
                              std::int32_t stride24) {
  auto* buffer =
      static_cast<std::uint8_t*>(general_alloc(static_cast<std::size_t>(stride24) * static_cast<std::size_t>(height)));
  if (!buffer) return nullptr;
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* in = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    std::uint8_t* out = buffer + static_cast<std::ptrdiff_t>(y) * stride24;
    for (std::int32_t x = 0; x < width; ++x, in += 4, out += 3) {
      out[0] = composite_over_white(in[0], in[3]);
      out[1] = composite_over_white(in[1], in[3]);
      out[2] = composite_over_white(in[2], in[3]);
    }
  }
  return buffer;
}

}  // namespace

void register_encoder(ImageEncoder* encoder) {
  // Overflowing the fixed list would corrupt whatever follows it.
  if (!encoder || count >= MAX_ENCODERS) return;
  encoders[count++] = encoder;
}

int encoder_count() { return count; }

const ImageEncoder* find_encoder(std::uint32_t code) {
  for (int i = 0; i < count; ++i)
    if (encoders[i]->code == code) return encoders[i];
  return nullptr;
}

std::int32_t write_image_file(const char16_t* name, const std::uint8_t* pixels, std::uint32_t encoder,
                              std::int32_t width, std::int32_t height, std::int32_t stride, std::int32_t image_depth,
                              std::uint32_t layout, std::uint32_t options, std::int32_t depth) {
  if (encoder == ENCODER_BMP)
    return write_bmp(name, pixels, stride, width, height, image_depth, layout, options, depth);

  const ImageEncoder* entry = find_encoder(encoder);
  if (!entry) return 0;

  if (image_depth == 32) {
    if (entry->write_32 && depth == 32)
      return entry->write_32(name, pixels, width, height, stride, layout, options, depth);

    // The conversion reads every source row, so the sizes must describe a
    // real buffer before anything is touched.
    if (!pixels || width <= 0 || height <= 0) return 0;
    std::int64_t stride24 = (3 * (static_cast<std::int64_t>(width) + 1)) & ~std::int64_t{3};
    if (stride24 > INT32_MAX || stride < 4 * static_cast<std::int64_t>(width)) return 0;
    if (static_cast<std::uint64_t>(stride24) * static_cast<std::uint64_t>(height) > SIZE_MAX / 2) return 0;

    std::uint8_t* buffer = composite_to_24(pixels, width, height, stride, static_cast<std::int32_t>(stride24));
    if (!buffer) return 0;
    std::int32_t result =
        entry->write_24(name, buffer, width, height, static_cast<std::int32_t>(stride24), layout, options, depth);
    general_free(buffer);
    return result;
  }

  if (image_depth == 24) return entry->write_24(name, pixels, width, height, stride, layout, options, depth);
  return 0;
}
