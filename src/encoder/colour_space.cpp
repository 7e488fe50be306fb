#include "encoder/colour_space.h"

#include "sam/sam_colour.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace encoder {

namespace {

float decode_gamma(float v) { return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); }

// CIELAB's f(t), with its linear toe for the darkest colours.
float lab_f(float t) {
  constexpr float EPSILON = 216.0f / 24389.0f;
  constexpr float KAPPA = 24389.0f / 27.0f;
  return t > EPSILON ? std::cbrt(t) : (KAPPA * t + 16.0f) / 116.0f;
}

const std::array<float, 256>& linear_table() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = decode_gamma(static_cast<float>(i) / 255.0f);
    return t;
  }();
  return table;
}

std::array<std::uint8_t, 3> channels(Colour c) {
  return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
          static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}

}  // namespace

float linear_level(std::uint8_t level) { return linear_table()[level]; }

float linear_of_encoded(float encoded) { return decode_gamma(std::clamp(encoded, 0.0f, 1.0f)); }

std::uint8_t srgb_level(float linear) {
  const float v = std::clamp(linear, 0.0f, 1.0f);
  const float encoded = v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
  return static_cast<std::uint8_t>(std::lround(std::clamp(encoded, 0.0f, 1.0f) * 255.0f));
}

Lab lab_of(Linear c) {
  // sRGB primaries to XYZ, already divided by the D65 white.
  const float x = (0.4124564f * c.r + 0.3575761f * c.g + 0.1804375f * c.b) / 0.95047f;
  const float y = 0.2126729f * c.r + 0.7151522f * c.g + 0.0721750f * c.b;
  const float z = (0.0193339f * c.r + 0.1191920f * c.g + 0.9503041f * c.b) / 1.08883f;
  const float fx = lab_f(x), fy = lab_f(y), fz = lab_f(z);
  return {116.0f * fy - 16.0f, 500.0f * (fx - fy), 200.0f * (fy - fz)};
}

const std::array<Linear, PALETTE_COLOURS>& palette_linear() {
  static const std::array<Linear, PALETTE_COLOURS> table = [] {
    std::array<Linear, PALETTE_COLOURS> t{};
    for (int i = 0; i < PALETTE_COLOURS; ++i) {
      const auto rgb = channels(sam_colour(i));
      t[i] = {linear_level(rgb[0]), linear_level(rgb[1]), linear_level(rgb[2])};
    }
    return t;
  }();
  return table;
}

const std::array<Lab, PALETTE_COLOURS>& palette_lab() {
  static const std::array<Lab, PALETTE_COLOURS> table = [] {
    std::array<Lab, PALETTE_COLOURS> t{};
    for (int i = 0; i < PALETTE_COLOURS; ++i) t[i] = lab_of(palette_linear()[i]);
    return t;
  }();
  return table;
}

int nearest_palette_colour(Lab c) {
  // The palette a component at a time, so that the distances vectorise.
  struct Planes {
    std::array<float, PALETTE_COLOURS> l, a, b;
  };
  static const Planes planes = [] {
    Planes p{};
    for (std::size_t i = 0; i < PALETTE_COLOURS; ++i)
      p.l[i] = palette_lab()[i].l, p.a[i] = palette_lab()[i].a, p.b[i] = palette_lab()[i].b;
    return p;
  }();
  // Each distance carries its colour in its lowest bits (distances are
  // never negative, so their bits order as integers do), and the least of
  // those keys, which vectorises, is the answer: distances that differ by
  // less than a part in 60,000 count as tied.
  std::int32_t best = INT32_MAX;
  for (std::size_t i = 0; i < PALETTE_COLOURS; ++i) {
    const float dl = c.l - planes.l[i], da = c.a - planes.a[i], db = c.b - planes.b[i];
    const std::int32_t key = (std::bit_cast<std::int32_t>(dl * dl + da * da + db * db) & ~(PALETTE_COLOURS - 1)) |
                             static_cast<std::int32_t>(i);
    best = std::min(best, key);
  }
  return best & (PALETTE_COLOURS - 1);
}

}  // namespace encoder
