#pragma once
// The built-in encoder: uncompressed bitmap files at 1, 4, 8, 24 or 32 bits
// per pixel, rows stored bottom-up.
#include <cstdint>

// Pixels are 3 bytes (blue, green, red) or 4 (blue, green, red, alpha) as
// image_depth says, rows stride bytes apart. 1 on success; 0 on failure, and
// then no file is left behind.
std::int32_t write_bmp(const char16_t* name, const std::uint8_t* pixels, std::int32_t stride, std::int32_t width,
                       std::int32_t height, std::int32_t image_depth, std::uint32_t layout, std::uint32_t options,
                       std::int32_t depth);
