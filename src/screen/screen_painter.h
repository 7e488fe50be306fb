#pragma once
// Drawing a decoded screen into image 0, at single or double size. Needs
// the image and drawing services only, no window.
#include "sam/screen_decoder.h"
#include "screen/viewer_state.h"

#include <array>

// Paints the screen into the drawing pass under way, one box a pixel of
// scale × scale, each in the colour its row's look-up table gives.
void paint_screen(const DecodedScreen& screen, const std::array<Colour, 128>& palette, int scale);

// Makes image 0 anew at the screen's size times the viewer's scale and
// paints the loaded screen into it. False while nothing is loaded; the
// look-up table in the viewer state is then the last row's.
bool paint_loaded_screen();
