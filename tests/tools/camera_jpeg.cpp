#include "camera_jpeg.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>

std::vector<std::uint8_t> saved_as(const char* format, const std::vector<std::uint8_t>& rgb, int width, int height,
                                   int quality) {
  GdkPixbuf* pixbuf =
      gdk_pixbuf_new_from_data(rgb.data(), GDK_COLORSPACE_RGB, FALSE, 8, width, height, width * 3, nullptr, nullptr);
  gchar* bytes = nullptr;
  gsize size = 0;
  const std::string quality_text = std::to_string(quality);
  const bool jpeg = std::string(format) == "jpeg";
  const bool saved = gdk_pixbuf_save_to_buffer(pixbuf, &bytes, &size, format, nullptr, jpeg ? "quality" : nullptr,
                                               quality_text.c_str(), nullptr);
  g_object_unref(pixbuf);
  std::vector<std::uint8_t> file;
  if (saved) file.assign(reinterpret_cast<std::uint8_t*>(bytes), reinterpret_cast<std::uint8_t*>(bytes) + size);
  g_free(bytes);
  return file;
}

std::vector<std::uint8_t> camera_jpeg(const std::vector<std::uint8_t>& rgb, int width, int height, int orientation,
                                      int quality) {
  std::vector<std::uint8_t> jpeg = saved_as("jpeg", rgb, width, height, quality);
  if (jpeg.empty() || orientation == 0) return jpeg;
  // APP1 "Exif", 34 bytes counting its length: a big-endian TIFF header and
  // one directory with one entry, the orientation, a SHORT held in the entry
  // itself. Right after the start-of-image marker, where cameras put it.
  const auto value = static_cast<std::uint8_t>(orientation);
  const std::uint8_t exif[] = {0xFF, 0xE1, 0,   34,                               // marker, length
                               'E',  'x',  'i', 'f', 0, 0,                        // identifier
                               'M',  'M',  0,   42,  0, 0, 0, 8,                  // TIFF header, directory at 8
                               0,    1,                                           // one entry
                               0x01, 0x12, 0,   3,   0, 0, 0, 1, 0, value, 0, 0,  // orientation, SHORT, 1
                               0,    0,    0,   0};                               // no next directory
  jpeg.insert(jpeg.begin() + 2, std::begin(exif), std::end(exif));
  return jpeg;
}
