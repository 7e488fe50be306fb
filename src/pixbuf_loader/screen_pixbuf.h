#pragma once
// What the image loader module hands gdk-pixbuf: one frame of a decoded
// screen as an RGB pixbuf with ss4topng -s 1's pixels (256 × 192, or
// 512 × 384 in mode 3, each row twice), and the errors for files that are
// not screens.
#include "sam/frame_pixels.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>

// A new pixbuf holding a frame, or null with `error` set when there is no
// memory for it.
GdkPixbuf* screen_pixbuf(const SamScreen& screen, int palette_phase, int attribute_phase, GError** error);

// Sets `error` to say why a file is not a screen.
void refuse_file(const std::string& why, GError** error);
