#pragma once
// Shrinking a picture by area averaging (a box filter): every output pixel is
// the mean of the source area it covers, a source pixel cut by the output
// pixel's edge counting by the share of it that falls inside. Exact integer
// arithmetic, rounded half up, so an output pixel over a whole 2 x 2 block is
// exactly that block's rounded mean.
#include <cstdint>
#include <span>
#include <vector>

// Pixels are 32 bits, each of the four bytes averaged on its own; rows top
// first, without padding. All sizes >= 1 and `in` holds in_width * in_height
// pixels. Answers out_width * out_height pixels.
std::vector<std::uint32_t> box_downscale(std::span<const std::uint32_t> in, int in_width, int in_height, int out_width,
                                         int out_height);
