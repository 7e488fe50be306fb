#pragma once
// The routines that fill a context's operation table, for new_context and
// set_drawing_mode. Not for drawing code: commands call through the table.
#include "image/drawing_context.h"
#include "image/pixel_rules.h"

#include <cstdint>

// Rectangle fill or outline, one instance per pixel size and write rule.
BoxEntry box_routine(int bytes_per_pixel, PixelRule rule, bool outlined);
// Plots with the front colour and with a given colour.
PlotEntry plot_routine(int bytes_per_pixel, PixelRule rule);
PlotColourEntry plot_colour_routine(int bytes_per_pixel, PixelRule rule);
// Point readers: with the alpha byte in the top byte, or with 0 there.
std::uint32_t point_with_alpha(DrawingContext* context, int x, int y);
std::uint32_t point_without_alpha(DrawingContext* context, int x, int y);

// Image blits through the blit dispatcher.
void image_blit(DrawingContext* context, ObjectId handle, int x, int y);
void sized_image_blit(DrawingContext* context, ObjectId handle, int x, int y, int width, int height);
void alpha_image_blit(DrawingContext* context, ObjectId handle, int x, int y, std::uint32_t alpha);

double default_gradient_function(int x, int y);
std::uint32_t default_custom_filter(int x, int y, std::uint32_t colour, std::uint32_t target);
