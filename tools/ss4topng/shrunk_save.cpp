// Saving image 0 shrunk, for pictures smaller than any exact render.
#include "shrunk_save.h"

#include "box_downscale.h"

#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/images.h"
#include "image/save_image.h"

#include <cstddef>
#include <new>
#include <vector>

namespace {

// The number of the image that holds the shrunk picture while it is saved.
constexpr ObjectId SHRUNK_IMAGE = 1;

// The image's pixels as 0x00BBGGRR, top row first; empty when it cannot be
// read.
std::vector<std::uint32_t> read_pixels(ObjectId number, int& width, int& height) {
  std::vector<std::uint32_t> pixels;
  if (!start_drawing(image_output(number))) return pixels;
  width = current_context()->width;
  height = current_context()->height;
  pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(point(x, y));
  stop_drawing();
  return pixels;
}

bool write_pixels(ObjectId number, const std::vector<std::uint32_t>& pixels, int width, int height) {
  if (!create_image(number, width, height)) return false;
  if (!start_drawing(image_output(number))) return false;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) plot(x, y, pixels[static_cast<std::size_t>(y) * width + x]);
  stop_drawing();
  return true;
}

}  // namespace

std::int32_t save_image_shrunk(ObjectId number, int width, int height, const char16_t* name,
                               std::uint32_t encoder) try {
  int source_width = 0, source_height = 0;
  std::vector<std::uint32_t> source = read_pixels(number, source_width, source_height);
  if (source.empty() || width < 1 || height < 1 || width > source_width || height > source_height) return 0;
  std::vector<std::uint32_t> shrunk = box_downscale(source, source_width, source_height, width, height);
  std::int32_t saved = 0;
  if (write_pixels(SHRUNK_IMAGE, shrunk, width, height)) saved = save_image(SHRUNK_IMAGE, name, encoder);
  if (is_image(SHRUNK_IMAGE)) free_image(SHRUNK_IMAGE);
  return saved;
} catch (const std::bad_alloc&) {
  return 0;
}
