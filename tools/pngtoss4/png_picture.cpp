#include "png_picture.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

struct ImageRelease {
  void operator()(png_image* image) const { png_image_free(image); }
};

}  // namespace

PictureRead read_png_picture(const std::string& name) {
  PictureRead result;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.c_str(), "rb"));
  if (!file) {
    result.error = errno;
    return result;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::unique_ptr<png_image, ImageRelease> held(&image);
  if (!png_image_begin_read_from_stdio(&image, file.get())) {
    result.status = std::ferror(file.get()) ? PictureReadStatus::unreadable : PictureReadStatus::not_png;
    result.error = std::ferror(file.get()) ? errno : 0;
    result.detail = image.message;
    return result;
  }
  const std::uint64_t pixels = std::uint64_t{image.width} * image.height;
  if (pixels > MAX_PICTURE_PIXELS) {
    result.status = PictureReadStatus::too_large;
    result.detail = std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels";
    return result;
  }
  image.format = PNG_FORMAT_RGB;
  RgbPicture& picture = result.picture;
  try {
    picture.rgb.resize(static_cast<std::size_t>(pixels) * 3);
  } catch (const std::bad_alloc&) {
    result.status = PictureReadStatus::too_large;
    result.detail = "not enough memory";
    return result;
  }
  // Transparent pixels go onto black, as the screen around a fitted picture.
  const png_color black{0, 0, 0};
  if (!png_image_finish_read(&image, &black, picture.rgb.data(), 0, nullptr)) {
    result.status = PictureReadStatus::not_png;
    result.detail = image.message;
    picture = {};
    return result;
  }
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  result.status = PictureReadStatus::read;
  return result;
}
