#pragma once
// Drawing modes spelt out for parameterised test names and failure messages:
// "Default", "AlphaBlend", "Custom_Outlined"; the modifiers come last.
#include "image/drawing_modes.h"

#include <cstdint>
#include <string>

inline std::string mode_name(std::uint32_t mode) {
  static constexpr struct {
    std::uint32_t bit;
    const char* name;
  } bits[] = {{MODE_XOR, "Xor"},
              {MODE_ALPHA_CHANNEL, "AlphaChannel"},
              {MODE_ALPHA_BLEND, "AlphaBlend"},
              {MODE_ALPHA_CLIP, "AlphaClip"},
              {MODE_GRADIENT, "Gradient"},
              {MODE_CUSTOM, "Custom"},
              {MODE_ALL_CHANNELS, "AllChannels"},
              {MODE_OUTLINED, "Outlined"},
              {MODE_TRANSPARENT, "Transparent"}};
  std::string name;
  for (const auto& b : bits) {
    if (!(mode & b.bit)) continue;
    if (!name.empty()) name += '_';
    name += b.name;
  }
  return name.empty() ? "Default" : name;
}
