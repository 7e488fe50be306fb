#pragma once
// What the image loader module hands gdk-pixbuf: a decoded screen as a
// 256 × 192 RGB pixbuf with the viewer's single-size pixels, and the errors
// for files that are not screens.
#include "screen/screen_decoder.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>

// A new pixbuf holding the screen, or null with `error` set when there is no
// memory for it.
GdkPixbuf* screen_pixbuf(const DecodedScreen& screen, GError** error);

// Sets `error` to say why a file of `size` bytes is not a screen.
void refuse_size(ScreenSize verdict, std::int64_t size, GError** error);
