#include "screen_pixbuf.h"

#include "screen/sam_colour.h"

#include <array>
#include <cstring>

GdkPixbuf* screen_pixbuf(const DecodedScreen& screen, GError** error) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, SCREEN_WIDTH, SCREEN_HEIGHT);
  if (!pixbuf) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                        "not enough memory for a SAM screen");
    return nullptr;
  }
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    // The row's sixteen colours as R, G, B first: one look-up a pixel.
    std::array<std::array<guchar, 3>, 16> colours;
    for (int i = 0; i < 16; ++i) {
      Colour c = sam_colour(screen.row_clut[y][i]);
      colours[i] = {static_cast<guchar>(c), static_cast<guchar>(c >> 8), static_cast<guchar>(c >> 16)};
    }
    const std::uint8_t* entries = screen.pixels.data() + y * SCREEN_WIDTH;
    guchar* out = pixels + y * stride;
    for (int x = 0; x < SCREEN_WIDTH; ++x) std::memcpy(out + 3 * x, colours[entries[x]].data(), 3);
  }
  return pixbuf;
}

void refuse_size(ScreenSize verdict, std::int64_t size, GError** error) {
  const long long bytes = size;
  if (verdict == ScreenSize::too_large)
    g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE,
                "Bad size: not a SAM screen: %lld bytes, less than 2 GiB needed", bytes);
  else
    g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE,
                "Bad size: not a SAM screen: %lld bytes, at least %d needed", bytes, static_cast<int>(MIN_SS4_SIZE));
}
