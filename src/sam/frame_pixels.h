#pragma once
// A frame of a screen as 8-bit pixels at its shown size: 256 × 192, or
// 512 × 384 in mode 3, whose pixels are half as wide as high, so that each
// of its rows is shown twice and the picture keeps the display's shape.
#include "sam/sam_screen.h"

#include <cstddef>
#include <cstdint>

int shown_width(const SamScreen& screen);
int shown_height(const SamScreen& screen);

enum class ChannelOrder { rgb, bgr };

// Writes shown_height rows of shown_width pixels of three bytes, `stride`
// bytes apart, top row first.
void frame_pixels(const SamScreen& screen, int palette_phase, int attribute_phase, ChannelOrder order,
                  std::uint8_t* out, std::ptrdiff_t stride);
