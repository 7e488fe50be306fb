#pragma once
// The per-pixel write rules shared by rectangle fills, plots and blits. Each
// rule is a tiny formula on one pixel's bytes (blue, green, red and, on 4-byte
// pixels, alpha); the drawing loops are templates on the rule, so the formula
// is written once and inlined into every loop that uses it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

// A colour ready for drawing. With the blend flag the colour components are
// premultiplied by alpha (0..65025), otherwise they are the plain bytes.
struct PreparedColour {
  std::uint32_t red;
  std::uint32_t green;
  std::uint32_t blue;
  std::uint32_t alpha;
  std::uint32_t inverse_alpha;  // 255 - alpha
};

inline PreparedColour prepare_colour(std::uint32_t colour, bool premultiply) {
  std::uint32_t alpha = colour >> 24;
  std::uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
  if (premultiply) {
    red *= alpha;
    green *= alpha;
    blue *= alpha;
  }
  return {red, green, blue, alpha, 255 - alpha};
}

// Which formula a pixel gets. `per_pixel` means the colour is computed for
// each pixel (gradient, custom filter) before one of the others is applied.
enum class PixelRule : std::uint8_t {
  copy,              // B, G, R = colour; alpha untouched
  xor_colour,        // B, G, R ^= colour
  all_channels,      // B, G, R, A = colour (4-byte pixels only)
  alpha_only,        // A = alpha (4-byte pixels only)
  blend,             // blend by alpha; A updated on 4-byte pixels
  blend_keep_alpha,  // blend by alpha; A kept
  nothing,
  per_pixel,
};

constexpr int PIXEL_RULE_COUNT = 8;

// The blend rule. `c` holds premultiplied components. On 3-byte pixels each
// colour byte is a plain mix; on 4-byte pixels the old pixel is weighted by
// its own alpha t, so colour drawn onto a transparent pixel is stored as is.
template <int Bytes, bool UpdateAlpha>
inline void blend_pixel(std::uint8_t* p, const PreparedColour& c) {
  const std::uint32_t a = c.alpha, ia = c.inverse_alpha;
  if constexpr (Bytes == 3) {
    p[0] = static_cast<std::uint8_t>((p[0] * ia + c.blue) / 255);
    p[1] = static_cast<std::uint8_t>((p[1] * ia + c.green) / 255);
    p[2] = static_cast<std::uint8_t>((p[2] * ia + c.red) / 255);
  } else {
    if (a == 0) return;
    const std::uint32_t t = p[3];
    if (t == 0) {
      p[0] = static_cast<std::uint8_t>(c.blue / a);
      p[1] = static_cast<std::uint8_t>(c.green / a);
      p[2] = static_cast<std::uint8_t>(c.red / a);
    } else {
      const std::uint32_t old_weight = ia * t;
      const std::uint32_t total = a * 255 + old_weight;
      p[0] = static_cast<std::uint8_t>((c.blue * 255 + p[0] * old_weight) / total);
      p[1] = static_cast<std::uint8_t>((c.green * 255 + p[1] * old_weight) / total);
      p[2] = static_cast<std::uint8_t>((c.red * 255 + p[2] * old_weight) / total);
    }
    if constexpr (UpdateAlpha) p[3] = static_cast<std::uint8_t>((a * 255 + ia * t) / 255);
  }
}

// One pixel by a fixed rule. The blend rules expect premultiplied components.
template <int Bytes, PixelRule Rule>
inline void apply_rule(std::uint8_t* p, const PreparedColour& c) {
  if constexpr (Rule == PixelRule::copy) {
    p[0] = static_cast<std::uint8_t>(c.blue);
    p[1] = static_cast<std::uint8_t>(c.green);
    p[2] = static_cast<std::uint8_t>(c.red);
  } else if constexpr (Rule == PixelRule::xor_colour) {
    p[0] ^= static_cast<std::uint8_t>(c.blue);
    p[1] ^= static_cast<std::uint8_t>(c.green);
    p[2] ^= static_cast<std::uint8_t>(c.red);
  } else if constexpr (Rule == PixelRule::all_channels) {
    p[0] = static_cast<std::uint8_t>(c.blue);
    p[1] = static_cast<std::uint8_t>(c.green);
    p[2] = static_cast<std::uint8_t>(c.red);
    if constexpr (Bytes == 4) p[3] = static_cast<std::uint8_t>(c.alpha);
  } else if constexpr (Rule == PixelRule::alpha_only) {
    if constexpr (Bytes == 4) p[3] = static_cast<std::uint8_t>(c.alpha);
  } else if constexpr (Rule == PixelRule::blend) {
    blend_pixel<Bytes, true>(p, c);
  } else if constexpr (Rule == PixelRule::blend_keep_alpha) {
    blend_pixel<Bytes, false>(p, c);
  }
}

// The same with the rule chosen at run time, for the per-pixel paths.
template <int Bytes>
inline void apply_chosen_rule(PixelRule rule, std::uint8_t* p, const PreparedColour& c) {
  switch (rule) {
    case PixelRule::copy: apply_rule<Bytes, PixelRule::copy>(p, c); break;
    case PixelRule::xor_colour: apply_rule<Bytes, PixelRule::xor_colour>(p, c); break;
    case PixelRule::all_channels: apply_rule<Bytes, PixelRule::all_channels>(p, c); break;
    case PixelRule::alpha_only: apply_rule<Bytes, PixelRule::alpha_only>(p, c); break;
    case PixelRule::blend: apply_rule<Bytes, PixelRule::blend>(p, c); break;
    case PixelRule::blend_keep_alpha: apply_rule<Bytes, PixelRule::blend_keep_alpha>(p, c); break;
    case PixelRule::nothing:
    case PixelRule::per_pixel: break;
  }
}

inline bool rule_blends(PixelRule rule) { return rule == PixelRule::blend || rule == PixelRule::blend_keep_alpha; }

// A pixel as a colour: red in the low byte, alpha (when read) in the top byte.
template <int Bytes>
inline std::uint32_t pixel_colour(const std::uint8_t* p, bool with_alpha) {
  std::uint32_t colour = p[2] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[0]) << 16;
  if constexpr (Bytes == 4)
    if (with_alpha) colour |= static_cast<std::uint32_t>(p[3]) << 24;
  return colour;
}

// Picks the instance of a routine template (a struct with a static `run`) for
// a pixel size and rule chosen at run time, from tables built at compile time.
template <int Bytes, template <int, PixelRule> class Routine, std::size_t... Rules>
constexpr auto routine_table(std::index_sequence<Rules...>) {
  return std::array{&Routine<Bytes, static_cast<PixelRule>(Rules)>::run...};
}

template <template <int, PixelRule> class Routine>
auto pick_routine(int bytes_per_pixel, PixelRule rule) {
  static constexpr auto three = routine_table<3, Routine>(std::make_index_sequence<PIXEL_RULE_COUNT>{});
  static constexpr auto four = routine_table<4, Routine>(std::make_index_sequence<PIXEL_RULE_COUNT>{});
  return (bytes_per_pixel == 4 ? four : three)[static_cast<std::size_t>(rule)];
}
