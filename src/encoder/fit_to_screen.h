#pragma once
// Fitting a picture into the screen straight from the rows a picture reader
// holds, without copying it: 3 bytes a pixel (RGB) or 4 (RGBA, put onto
// black), turned the way the camera recorded it should be seen. Memory
// follows the screen, not the picture: a few rows of the screen's width.
#include "encoder/screen_encoder.h"

#include <cstdint>

// A picture as stored, and how it is turned to be seen (the orientation
// cameras record, 1 to 8): 1 as stored, 2 mirrored left to right, 3 turned
// half round, 4 mirrored top to bottom, 5 mirrored across the diagonal from
// the top left, 6 turned a quarter clockwise, 7 mirrored across the other
// diagonal, 8 turned a quarter anticlockwise. Anything else counts as 1.
struct PictureView {
  int width = 0;      // as stored
  int height = 0;     // as stored
  int rowstride = 0;  // bytes from one stored row to the next
  int channels = 3;   // 3 or 4; the fourth is alpha, not premultiplied
  const std::uint8_t* pixels = nullptr;
  int orientation = 1;
};

// The size as seen: turned a quarter (5 to 8), width and height swap.
int seen_width(const PictureView& picture);
int seen_height(const PictureView& picture);

// How much a picture of this size as seen is scaled on the screen: to fit
// with its shape kept, or with `crop` to fill.
double screen_scale(int width, int height, bool crop);

// As fit_to_screen(RgbPicture): transparent pixels go onto black in linear
// light, as light through a partly covered window would.
RgbPicture fit_to_screen(const PictureView& picture, bool crop);
