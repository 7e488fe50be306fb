#include "screen_pixbuf.h"

#include "sam/sam_colour.h"

#include <array>
#include <cstring>

int shown_width(const SamScreen& screen) { return screen.width; }
// Mode 3's pixels are half as wide as they are high: each row twice keeps
// the display's shape.
int shown_height(const SamScreen& screen) { return screen.width == WIDEST_ROW ? 2 * SAM_ROWS : SAM_ROWS; }

GdkPixbuf* screen_pixbuf(const SamScreen& screen, int palette_phase, int attribute_phase, GError** error) {
  const int width = shown_width(screen), height = shown_height(screen);
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  if (!pixbuf) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                        "not enough memory for a SAM screen");
    return nullptr;
  }
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const int repeat = height / SAM_ROWS;
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  const auto& entries = attribute_phase ? screen.flashed_entries : screen.entries;
  for (int y = 0; y < SAM_ROWS; ++y) {
    // The row's sixteen colours as R, G, B first: one look-up a pixel.
    std::array<std::array<guchar, 3>, 16> colours;
    for (int i = 0; i < 16; ++i) {
      Colour c = sam_colour(screen.row_colours[palette_phase][y][i]);
      colours[i] = {static_cast<guchar>(c), static_cast<guchar>(c >> 8), static_cast<guchar>(c >> 16)};
    }
    const std::uint8_t* row = entries.data() + y * width;
    guchar* out = pixels + y * repeat * stride;
    for (int x = 0; x < width; ++x) std::memcpy(out + 3 * x, colours[row[x]].data(), 3);
    for (int r = 1; r < repeat; ++r) std::memcpy(out + r * stride, out, static_cast<std::size_t>(3 * width));
  }
  return pixbuf;
}

void refuse_file(const std::string& why, GError** error) {
  g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, "not a SAM screen: %s", why.c_str());
}
