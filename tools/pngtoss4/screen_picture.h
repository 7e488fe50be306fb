#pragma once
// SAM screens of any mode as pictures to encode, read by the SAM formats'
// own reader rather than a gdk-pixbuf loader: a mode 1, 2 or 3 screen (or a
// flashing one) becomes the mode 4 screen nearest its main frame. Mode 3's
// picture is 512 × 384, each row twice, so that it is fitted with the
// display's shape.
#include "picture_reader.h"

#include <string>

// Reads `name` (the bytes it is) as a screen: of `named_mode` when the
// name gives one, else only when a SCREEN$ header agreeing with its length
// says so (`not_picture` otherwise).
PictureRead read_screen_picture(const std::string& name, int named_mode);
