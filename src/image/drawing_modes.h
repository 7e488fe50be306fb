#pragma once
// Drawing modes: how every drawing primitive combines its colour with the
// pixels already there. Setting the mode picks the fill, plot and point
// routines once, so the drawing loops never test the mode per pixel.
#include "image/drawing_context.h"

#include <cstdint>

constexpr std::uint32_t MODE_DEFAULT = 0;
constexpr std::uint32_t MODE_TRANSPARENT = 0x01;  // text only
constexpr std::uint32_t MODE_XOR = 0x02;
constexpr std::uint32_t MODE_OUTLINED = 0x04;
constexpr std::uint32_t MODE_ALPHA_CHANNEL = 0x08;  // write only the alpha byte
constexpr std::uint32_t MODE_ALPHA_BLEND = 0x10;    // blend and update alpha
constexpr std::uint32_t MODE_ALPHA_CLIP = 0x20;     // blend and keep alpha
constexpr std::uint32_t MODE_GRADIENT = 0x40;
constexpr std::uint32_t MODE_CUSTOM = 0x80;
constexpr std::uint32_t MODE_ALL_CHANNELS = 0x100;

// Context entries.
void set_drawing_mode(DrawingContext* context, std::uint32_t mode);
// Prepare the front or back colour components (premultiplied under the blend
// flag). They do not store the colour itself.
void set_front_colour(DrawingContext* context, std::uint32_t colour);
void set_back_colour(DrawingContext* context, std::uint32_t colour);

// The write rule a mode gives on pixels of a size, ignoring the gradient and
// custom bits.
PixelRule write_rule_for(std::uint32_t mode, int bytes_per_pixel);

// Commands on the current context; no effect without one.
void set_drawing_mode(std::uint32_t mode);
void set_front_colour(std::uint32_t colour);
void set_back_colour(std::uint32_t colour);
void set_gradient_colours(std::uint32_t start, std::uint32_t end);
// Null restores the default (1.0 everywhere, i.e. the end colour).
void set_gradient_function(GradientFunction function);
// Null restores the default (the target colour unchanged).
void set_custom_filter(CustomFilter filter);
