#pragma once
// A frame of a decoded screen at ss4topng's picture size: as SAM colours for
// the animation, as blue-green-red pixels for the PNG.
#include "picture_size.h"

#include "sam/sam_screen.h"

#include <cstdint>
#include <memory>
#include <vector>

// The frame's SAM colours (0-127), one byte a pixel, top row first, at the
// exact render's size: each screen pixel drawn as a block of the render's
// scale (mode 3's rows twice). `out` holds render_width * render_height.
void render_colours(const SamScreen& screen, int palette_phase, int attribute_phase, const PictureSize& size,
                    std::uint8_t* out);

// The main frame as the PNG stores it: three bytes a pixel (blue, green,
// red), rows of width * 3 bytes, top row first, at the picture's size; a
// shrunk picture is the render averaged down (box_downscale).
// Its bytes are all written: nothing is spent clearing them first.
std::unique_ptr<std::uint8_t[]> picture_bgr(const SamScreen& screen, const PictureSize& size);
