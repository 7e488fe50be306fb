#pragma once
// The little arithmetic the scenes need, in integers: no libm and no
// floating point, so every machine and compiler paints the same bytes.
#include <algorithm>
#include <cstdint>

namespace photo {

constexpr int ONE = 4096;  // 1.0 in the scenes' fixed point

// sin of `turn` 4096ths of a whole turn, times ONE. A parabola refined
// once (within 0.2%), plenty for waves and rings.
constexpr int isin(int turn) {
  int t = (turn % ONE + ONE) % ONE;
  int u = (t % (ONE / 2)) * 2;  // 0..ONE across each half turn
  auto y = static_cast<int>(std::int64_t{4} * u * (ONE - u) / ONE);
  auto s = static_cast<int>(std::int64_t{y} * (3174 + 922 * y / ONE) / ONE);
  return t < ONE / 2 ? s : -s;
}

constexpr int isqrt(std::int64_t v) {
  if (v <= 0) return 0;
  std::int64_t root = 0;
  std::int64_t bit = std::int64_t{1} << 62;
  while (bit > v) bit >>= 2;
  for (; bit != 0; bit >>= 2) {
    if (v >= root + bit) {
      v -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
  }
  return static_cast<int>(root);
}

// 0 up to `from`, ONE from `to`, and a smooth S between.
constexpr int smoothstep(int from, int to, int x) {
  if (x <= from) return 0;
  if (x >= to) return ONE;
  std::int64_t t = std::int64_t{x - from} * ONE / (to - from);
  return static_cast<int>(t * t * (3 * ONE - 2 * t) / (std::int64_t{ONE} * ONE));
}

// a + (b - a) * t for t in 0..ONE.
constexpr int lerp(int a, int b, int t) { return a + static_cast<int>(std::int64_t{b - a} * t / ONE); }

constexpr int length(int dx, int dy) { return isqrt(std::int64_t{dx} * dx + std::int64_t{dy} * dy); }

// Where (dx, dy) lies against an ellipse with radii rx and ry about the
// origin: ONE on its edge, less inside.
constexpr int ellipse(int dx, int dy, int rx, int ry) {
  std::int64_t u = std::int64_t{dx} * ONE / rx;
  std::int64_t v = std::int64_t{dy} * ONE / ry;
  return isqrt(u * u + v * v);
}

// How much a shape covers a point at distance d from its centre: ONE
// inside `radius`, 0 outside, with an edge `soft` wide so it is not jagged.
constexpr int coverage(int d, int radius, int soft) { return ONE - smoothstep(radius - soft, radius, d); }

// numerator / denominator in ONE units, held to 0..ONE.
constexpr int fraction(int numerator, int denominator) {
  return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{numerator} * ONE / denominator, 0, ONE));
}

}  // namespace photo
