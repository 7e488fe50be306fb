#pragma once
// The SAM Coupé's 128 colours. A palette index holds, from bit 0: blue low,
// red low, green low, brightness, blue high, red high, green high; each
// component's level is high × 4 + low × 2 + brightness. Pure: no viewer
// state, so that the image loader module can link it.
#include <array>
#include <cstdint>

using Colour = std::uint32_t;  // 0x00BBGGRR

inline constexpr std::array<std::uint8_t, 8> colour_levels = {0, 36, 73, 109, 146, 182, 219, 255};

constexpr Colour rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r + g * 256 + b * 65536; }

Colour sam_colour(int index);
