#include "value_noise.h"

namespace photo {

namespace {

int floor_div(int a, int b) { return a >= 0 ? a / b : -((b - 1 - a) / b); }

int lattice(int x, int y, std::uint32_t seed) { return static_cast<int>(hash(x, y, seed) % ONE); }

// 3t² - 2t³: the lattice stays invisible because the slope is zero there.
int ease(int t) { return smoothstep(0, ONE, t); }

}  // namespace

std::uint32_t hash(int x, int y, std::uint32_t seed) {
  std::uint32_t h =
      seed * 0x9E3779B9u ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu ^ static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

int value_noise(int x, int y, int cell, std::uint32_t seed) {
  int gx = floor_div(x, cell);
  int gy = floor_div(y, cell);
  int fx = ease((x - gx * cell) * ONE / cell);
  int fy = ease((y - gy * cell) * ONE / cell);
  int top = lerp(lattice(gx, gy, seed), lattice(gx + 1, gy, seed), fx);
  int bottom = lerp(lattice(gx, gy + 1, seed), lattice(gx + 1, gy + 1, seed), fx);
  return lerp(top, bottom, fy);
}

int fractal_noise(int x, int y, int cell, int octaves, std::uint32_t seed) {
  int sum = 0;
  int total = 0;
  int weight = ONE;
  for (int i = 0; i < octaves && weight > 0; ++i) {
    sum += value_noise(x, y, cell, seed + static_cast<std::uint32_t>(i)) * (weight / 64);
    total += weight / 64;
    weight /= 2;
    cell = cell > 1 ? cell / 2 : 1;
  }
  return total > 0 ? sum / total : 0;
}

}  // namespace photo
