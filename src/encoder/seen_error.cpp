#include "encoder/seen_error.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace encoder {

namespace {

constexpr int RADIUS = 3;  // the taps beyond 3σ weigh under 0.5 %
// exp(-k² / 2) for k = -3..3, divided by their sum.
constexpr std::array<float, 2 * RADIUS + 1> KERNEL = {0.00443305f, 0.05400558f, 0.24203623f, 0.39905027f,
                                                      0.24203623f, 0.05400558f, 0.00443305f};

// CIELAB's f(t). The cube root starts from a guess read off the float's
// bits and takes two Halley steps (to float precision): unlike std::cbrt,
// it vectorises.
inline float lab_f(float t) {
  constexpr float EPSILON = 216.0f / 24389.0f;
  constexpr float KAPPA = 24389.0f / 27.0f;
  const float u = t > EPSILON ? t : EPSILON;
  const auto bits = static_cast<float>(std::bit_cast<std::int32_t>(u));
  float y = std::bit_cast<float>(static_cast<std::int32_t>(bits * (1.0f / 3.0f)) + 709921077);
  float cube = y * y * y;
  y = y * (cube + 2.0f * u) / (2.0f * cube + u);
  cube = y * y * y;
  y = y * (cube + 2.0f * u) / (2.0f * cube + u);
  const float toe = (KAPPA * t + 16.0f) * (1.0f / 116.0f);
  return t > EPSILON ? y : toe;
}

// Linear light to Lab, a row of planes at a time (planes apart, so that
// the loop vectorises without checking for overlaps).
void row_lab(const float* __restrict r, const float* __restrict g, const float* __restrict b, int w,
             float* __restrict l, float* __restrict a, float* __restrict bb) {
  for (int x = 0; x < w; ++x) {
    // sRGB primaries to XYZ, already divided by the D65 white.
    const float fx = lab_f((0.4124564f * r[x] + 0.3575761f * g[x] + 0.1804375f * b[x]) / 0.95047f);
    const float fy = lab_f(0.2126729f * r[x] + 0.7151522f * g[x] + 0.0721750f * b[x]);
    const float fz = lab_f((0.0193339f * r[x] + 0.1191920f * g[x] + 0.9503041f * b[x]) / 1.08883f);
    l[x] = 116.0f * fy - 16.0f, a[x] = 500.0f * (fx - fy), bb[x] = 200.0f * (fy - fz);
  }
}

// One plane's row blurred across: `padded` holds the row with RADIUS
// copies of its edge pixels on either side.
void blur_across(const float* padded, int w, float* out) {
  for (int x = 0; x < w; ++x) {
    float sum = 0;
    for (int k = 0; k <= 2 * RADIUS; ++k) sum += KERNEL[static_cast<std::size_t>(k)] * padded[x + k];
    out[x] = sum;
  }
}

}  // namespace

LinearPicture linear_picture(const RgbPicture& picture) {
  LinearPicture out{std::max(0, picture.width), std::max(0, picture.height), {}};
  const std::size_t n = static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height);
  out.pixels.resize(n);
  for (std::size_t i = 0; i < n && i * 3 + 2 < picture.rgb.size(); ++i) {
    const std::uint8_t* p = &picture.rgb[i * 3];
    out.pixels[i] = {linear_level(p[0]), linear_level(p[1]), linear_level(p[2])};
  }
  return out;
}

SeenRows::Planes::Planes(int width, int height) {
  for (auto& plane : c)
    plane = std::make_unique_for_overwrite<float[]>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}

SeenRows::SeenRows(const LinearPicture& picture)
    : width_(picture.width),
      height_(picture.height),
      picture_(width_, height_),
      across_(width_, height_),
      padded_(static_cast<std::size_t>(width_ + 2 * RADIUS)),
      down_(static_cast<std::size_t>(width_) * 3) {
  // The picture as seen is what showing it exactly would show.
  for (int y = 0; y < height_; ++y)
    show_row(y, &picture.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)]);
  for (int y = 0; y < height_; ++y)
    seen_row(y, height_, picture_.row(0, y, width_), picture_.row(1, y, width_), picture_.row(2, y, width_));
}

void SeenRows::show_row(int y, const Linear* row) {
  if (width_ <= 0) return;
  for (int p = 0; p < 3; ++p) {
    float Linear::*component = p == 0 ? &Linear::r : p == 1 ? &Linear::g : &Linear::b;
    for (int x = -RADIUS; x < width_ + RADIUS; ++x)
      padded_[static_cast<std::size_t>(x + RADIUS)] = row[std::clamp(x, 0, width_ - 1)].*component;
    blur_across(padded_.data(), width_, across_.row(p, y, width_));
  }
}

void SeenRows::seen_row(int y, int shown, float* l, float* a, float* b) const {
  const std::size_t w = static_cast<std::size_t>(width_);
  float* sum[3] = {&down_[0], &down_[w], &down_[2 * w]};
  for (int p = 0; p < 3; ++p) {
    std::fill(sum[p], sum[p] + w, 0.0f);
    for (int k = -RADIUS; k <= RADIUS; ++k) {
      const float* in = across_.row(p, std::clamp(y + k, 0, shown - 1), width_);
      const float t = KERNEL[static_cast<std::size_t>(k + RADIUS)];
      for (std::size_t x = 0; x < w; ++x) sum[p][x] += t * in[x];
    }
  }
  row_lab(sum[0], sum[1], sum[2], width_, l, a, b);
}

double SeenRows::error(int first, int last, int shown, double bound) const {
  const std::size_t w = static_cast<std::size_t>(width_);
  std::vector<float> seen(w * 4);
  float *l = &seen[0], *a = &seen[w], *b = &seen[2 * w], *distance = &seen[3 * w];
  double total = 0;
  for (int y = std::max(0, first); y < std::min({last, shown, height_}) && total <= bound; ++y) {
    seen_row(y, shown, l, a, b);
    const float *want_l = picture_.row(0, y, width_), *want_a = picture_.row(1, y, width_),
                *want_b = picture_.row(2, y, width_);
    for (std::size_t x = 0; x < w; ++x) {
      const float dl = l[x] - want_l[x], da = a[x] - want_a[x], db = b[x] - want_b[x];
      distance[x] = std::sqrt(dl * dl + da * da + db * db);
    }
    for (std::size_t x = 0; x < w; ++x) total += distance[x];
  }
  return total;
}

double seen_error(const RgbPicture& picture, const RgbPicture& shown) {
  if (picture.width != shown.width || picture.height != shown.height || picture.width <= 0 || picture.height <= 0)
    return 0;
  SeenRows seen(linear_picture(picture));
  const LinearPicture s = linear_picture(shown);
  for (int y = 0; y < s.height; ++y)
    seen.show_row(y, &s.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width)]);
  return seen.error(0, s.height, s.height) / (static_cast<double>(s.width) * s.height);
}

}  // namespace encoder
