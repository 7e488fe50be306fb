#pragma once
// Drawing commands. Each works on the current drawing context, under its
// drawing mode, and does nothing when no context is current. Coordinates
// count from the top-left of the drawable area; whatever falls outside it is
// clipped away. No command reports anything.
#include "runtime/object_table.h"

#include <cstdint>

// Fills (or, with MODE_OUTLINED, outlines) a rectangle; a negative width or
// height extends it to the left or upwards. The colour becomes the front
// colour.
void box(int x, int y, int width, int height, std::uint32_t colour);

// One pixel with the front colour, or with a given colour.
void plot(int x, int y);
void plot(int x, int y, std::uint32_t colour);
// The pixel as a colour (red in the low byte); 0 outside the drawable area.
std::uint32_t point(int x, int y);

// Draws a bitmap (an image's image_id) at its own size with its top-left
// corner at (x, y). A 32-bit image's alpha is not used.
void draw_image(ObjectId handle, int x, int y);
// The same, stretched to width x height (-1 keeps that dimension).
void draw_image_sized(ObjectId handle, int x, int y, int width, int height);
// The same at its own size, blended by a constant alpha (0..255) and, for
// 32-bit images, by their own alpha.
void draw_image_alpha(ObjectId handle, int x, int y, std::uint32_t alpha);
