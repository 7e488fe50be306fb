#pragma once
// Resampling of 0xAARRGGBB pixel arrays (rows top first, no padding).
#include <cstdint>

namespace native {

// Smooth: a separable tent filter whose width follows the scale, so shrinking
// averages every source pixel and enlarging interpolates linearly. With
// premultiply set, colours are weighted by alpha so transparent pixels do not
// bleed their colour into opaque ones. False when memory runs out.
bool resample(const std::uint32_t* in, int in_width, int in_height, std::uint32_t* out, int out_width, int out_height,
              bool premultiply = false);
// Nearest pixel.
void resample_nearest(const std::uint32_t* in, int in_width, int in_height, std::uint32_t* out, int out_width,
                      int out_height);

}  // namespace native
