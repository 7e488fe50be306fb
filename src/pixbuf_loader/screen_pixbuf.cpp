#include "screen_pixbuf.h"

GdkPixbuf* screen_pixbuf(const SamScreen& screen, int palette_phase, int attribute_phase, GError** error) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, shown_width(screen), shown_height(screen));
  if (!pixbuf) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                        "not enough memory for a SAM screen");
    return nullptr;
  }
  frame_pixels(screen, palette_phase, attribute_phase, ChannelOrder::rgb, gdk_pixbuf_get_pixels(pixbuf),
               gdk_pixbuf_get_rowstride(pixbuf));
  return pixbuf;
}

void refuse_file(const std::string& why, GError** error) {
  g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, "not a SAM screen: %s", why.c_str());
}
