#pragma once
// The encoder's colour science: sRGB to linear light to XYZ (D65) to CIELAB,
// and the 128 SAM colours in both. Every error the encoder weighs is ΔE76,
// the straight distance in Lab: cheap enough to try every colour on every
// row, and close enough to what the eye sees at the distances that matter.
#include <array>
#include <cmath>
#include <cstdint>

namespace encoder {

constexpr int PALETTE_COLOURS = 128;
constexpr int CLUT_ENTRIES = 16;

struct Lab {
  float l = 0, a = 0, b = 0;
};

struct Linear {
  float r = 0, g = 0, b = 0;
};

using Clut = std::array<std::uint8_t, CLUT_ENTRIES>;  // SAM palette indices

// An 8-bit sRGB level in linear light (0-1).
float linear_level(std::uint8_t level);
// A linear level (clamped to 0-1) back to 8-bit sRGB, rounded.
std::uint8_t srgb_level(float linear);
// A gamma-encoded level (0-1, not clamped beyond that) in linear light.
float linear_of_encoded(float encoded);

Lab lab_of(Linear c);
inline Lab lab_of_rgb(const std::uint8_t* rgb) {
  return lab_of({linear_level(rgb[0]), linear_level(rgb[1]), linear_level(rgb[2])});
}

const std::array<Lab, PALETTE_COLOURS>& palette_lab();
const std::array<Linear, PALETTE_COLOURS>& palette_linear();

inline float distance_squared(Lab p, Lab q) {
  const float dl = p.l - q.l, da = p.a - q.a, db = p.b - q.b;
  return dl * dl + da * da + db * db;
}
inline float delta_e(Lab p, Lab q) { return std::sqrt(distance_squared(p, q)); }

// The palette colour nearest to `c`; the lowest index on a tie (or near
// enough: within a part in 60,000).
int nearest_palette_colour(Lab c);

}  // namespace encoder
