#pragma once
// A picture in full colour at the screen's size: what a scene paints before
// it is reduced to the machine's colours.
#include "fixed_math.h"
#include "value_noise.h"

#include <span>
#include <vector>

namespace photo {

struct Rgb {
  int r = 0, g = 0, b = 0;
};

constexpr Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
// The colour a fraction t (0..ONE) of the way from a to b.
constexpr Rgb mix(Rgb a, Rgb b, int t) { return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)}; }
// Brightened or darkened by t / ONE.
constexpr Rgb scaled(Rgb c, int t) { return {c.r * t / ONE, c.g * t / ONE, c.b * t / ONE}; }

// The colour at t (0..ONE) along evenly spaced stops.
inline Rgb ramp(std::span<const Rgb> stops, int t) {
  int span = static_cast<int>(stops.size()) - 1;
  int at = std::clamp(t, 0, ONE) * span;
  int i = std::min(at / ONE, span - 1);
  return mix(stops[i], stops[i + 1], at - i * ONE);
}

class RgbPicture {
 public:
  static constexpr int WIDTH = 256;
  static constexpr int HEIGHT = 192;

  RgbPicture() : pixels_(WIDTH * HEIGHT) {}

  Rgb at(int x, int y) const { return pixels_[y * WIDTH + x]; }

  // Sets every pixel to paint(x, y), each component held to 0..255.
  template <class Paint>
  void paint(Paint&& paint) {
    for (int y = 0; y < HEIGHT; ++y)
      for (int x = 0; x < WIDTH; ++x) {
        Rgb c = paint(x, y);
        pixels_[y * WIDTH + x] = {std::clamp(c.r, 0, 255), std::clamp(c.g, 0, 255), std::clamp(c.b, 0, 255)};
      }
  }

  // Film grain: a small wobble in each channel apart, as photographs have.
  // It is what gives a row more colours than its sixteen entries can hold,
  // so that line changes keep paying off all the way down.
  void add_grain() {
    for (int y = 0; y < HEIGHT; ++y)
      for (int x = 0; x < WIDTH; ++x) {
        Rgb& c = pixels_[y * WIDTH + x];
        c = {std::clamp(c.r + wobble(value_noise(x, y, 2, 201), 56), 0, 255),
             std::clamp(c.g + wobble(value_noise(x, y, 2, 202), 56), 0, 255),
             std::clamp(c.b + wobble(value_noise(x, y, 2, 203), 56), 0, 255)};
      }
  }

 private:
  std::vector<Rgb> pixels_;
};

}  // namespace photo
