// The encoder on pictures made here, each with and without line changes:
// smooth gradients (every hue down the screen, four corner colours blended,
// a dusk sky), a colour wheel (hue around,
// saturation out), a value-noise landscape standing in for a photo, and
// black strokes on white like text. Time per picture, the mean ΔE of what
// the file shows (mean_dE), and with line changes the error they save
// against the same picture without them (reduction_pct).
#include "encoder/screen_encoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr int W = 256, H = 192;
constexpr double PI = 3.14159265358979323846;

using Colour3 = std::array<double, 3>;  // 0-255 a channel

template <typename F>
RgbPicture paint(F colour) {
  RgbPicture p{W, H, {}};
  p.rgb.reserve(W * H * 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const Colour3 c = colour(x, y);
      for (double v : c) p.rgb.push_back(static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))));
    }
  return p;
}

Colour3 blend(const Colour3& p, const Colour3& q, double t) {
  return {p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t, p[2] + (q[2] - p[2]) * t};
}

Colour3 hsv(double hue, double saturation, double value) {
  const double h = std::fmod(hue, 1.0) * 6;
  const int sector = static_cast<int>(h);
  const double f = h - sector, p = value * (1 - saturation), q = value * (1 - saturation * f),
               t = value * (1 - saturation * (1 - f));
  const std::array<Colour3, 6> rgb = {
      {{value, t, p}, {q, value, p}, {p, value, t}, {p, q, value}, {t, p, value}, {value, p, q}}};
  const Colour3& c = rgb[static_cast<std::size_t>(sector % 6)];
  return {c[0] * 255, c[1] * 255, c[2] * 255};
}

// Every hue from top to bottom, dark at the left and pale at the right.
RgbPicture gradient() {
  return paint([](int x, int y) {
    const double u = x / (W - 1.0);
    return hsv(y / (H - 1.0) * 0.85, u < 0.5 ? 1.0 : 1.0 - (u - 0.5) * 1.4, u < 0.5 ? 0.25 + 1.5 * u : 1.0);
  });
}

// A sky at dusk: deep blue over orange over purple, lighter to one side.
RgbPicture sky() {
  const std::array<Colour3, 4> stops = {{{10, 20, 90}, {90, 110, 200}, {250, 150, 60}, {70, 20, 80}}};
  return paint([&](int x, int y) {
    const double v = y / (H - 1.0) * (stops.size() - 1);
    const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(v), stops.size() - 2);
    const Colour3 c = blend(stops[i], stops[i + 1], v - static_cast<double>(i));
    return blend(c, {255, 255, 255}, 0.15 * x / (W - 1.0));
  });
}

RgbPicture corner_gradient() {
  const Colour3 top_left{20, 40, 160}, top_right{250, 170, 40}, bottom_left{30, 170, 90}, bottom_right{200, 60, 170};
  return paint([&](int x, int y) {
    const double u = x / (W - 1.0), v = y / (H - 1.0);
    return blend(blend(top_left, top_right, u), blend(bottom_left, bottom_right, u), v);
  });
}

RgbPicture colour_wheel() {
  return paint([](int x, int y) {
    const double dx = x - W / 2.0 + 0.5, dy = y - H / 2.0 + 0.5;
    const double radius = std::min(1.0, std::hypot(dx, dy) / (H / 2.0));
    return hsv(std::atan2(dy, dx) / (2 * PI) + 0.5, radius, 0.95);
  });
}

// Smoothly eased random heights on a lattice, in 0-1.
double value_noise(double x, double y, std::uint32_t seed) {
  auto lattice = [seed](int i, int j) {
    std::uint32_t h =
        seed * 0x9E3779B9u ^ static_cast<std::uint32_t>(i) * 0x85EBCA6Bu ^ static_cast<std::uint32_t>(j) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    return (h & 0xFFFF) / 65535.0;
  };
  const int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(y));
  auto ease = [](double t) { return t * t * (3 - 2 * t); };
  const double u = ease(x - i), v = ease(y - j);
  const double top = lattice(i, j) + (lattice(i + 1, j) - lattice(i, j)) * u;
  const double bottom = lattice(i, j + 1) + (lattice(i + 1, j + 1) - lattice(i, j + 1)) * u;
  return top + (bottom - top) * v;
}

double fractal(double x, double y, std::uint32_t seed) {
  double sum = 0, weight = 0.5, total = 0;
  for (int octave = 0; octave < 5; ++octave, x *= 2, y *= 2, weight /= 2) {
    sum += weight * value_noise(x, y, seed + static_cast<std::uint32_t>(octave));
    total += weight;
  }
  return sum / total;
}

// Sky over hills over a field: the colours change down the picture, as in
// most photographs, with texture everywhere.
RgbPicture photo() {
  return paint([](int x, int y) {
    const double cloud = fractal(x / 48.0, y / 24.0, 7);
    const double ridge = 80 + 30 * fractal(x / 64.0, 0.5, 11);
    const double grain = fractal(x / 6.0, y / 6.0, 13);
    if (y < ridge) return blend({70, 120, 210}, {235, 240, 250}, std::clamp((cloud - 0.45) * 3, 0.0, 1.0));
    if (y < 140) return blend({40, 70, 35}, {120, 140, 60}, grain * 0.7 + (y - ridge) / 140.0);
    return blend({150, 110, 40}, {220, 190, 90}, grain * 0.6 + (y - 140) / 130.0);
  });
}

// Black strokes on white: lines of short bars and arcs like handwriting.
RgbPicture text() {
  return paint([](int x, int y) {
    const int line = y / 16, in_line = y % 16;
    if (in_line < 3 || in_line > 12 || x < 12 || x > 243) return Colour3{255, 255, 255};
    const int glyph = (x + line * 5) / 9, gx = (x + line * 5) % 9;
    const std::uint32_t shape = (static_cast<std::uint32_t>(glyph * 31 + line * 17) * 2654435761u) >> 28;
    const bool space = shape % 7 == 0;
    const bool stem = gx == 1 || (shape & 1 && gx == 6);
    const bool bar = (shape & 2 && in_line == 4) || (shape & 4 && in_line == 8) || (shape & 8 && in_line == 12);
    const bool ink = !space && gx < 8 && (stem || (bar && gx >= 1 && gx <= 6));
    return ink ? Colour3{10, 10, 20} : Colour3{255, 255, 255};
  });
}

struct Picture {
  const char* name;
  RgbPicture (*make)();
};
constexpr std::array<Picture, 6> PICTURES = {{{"gradient", gradient},
                                              {"colour wheel", colour_wheel},
                                              {"photo", photo},
                                              {"text", text},
                                              {"four-corner gradient", corner_gradient},
                                              {"sky", sky}}};

void BM_encode(benchmark::State& state) {
  const Picture& which = PICTURES[static_cast<std::size_t>(state.range(0))];
  const bool changes = state.range(1) != 0;
  const RgbPicture picture = which.make();
  const EncoderOptions options{changes, Dither::diffusion, 191};
  EncodedScreen encoded;
  for (auto _ : state) {
    encoded = encode_screen(picture, options);
    benchmark::DoNotOptimize(encoded.file.data());
  }
  std::string label = which.name;
  label += changes ? ", line changes" : ", one table";
  state.SetLabel(label);
  state.counters["mean_dE"] = encoded.mean_error;
  state.counters["changes"] = encoded.changes;
  state.counters["colours"] = encoded.colours_used;
  if (changes) {
    const double without = encode_screen(picture, {false, Dither::diffusion, 191}).mean_error;
    state.counters["reduction_pct"] = 100 * (1 - encoded.mean_error / without);
  }
}
BENCHMARK(BM_encode)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})->Unit(benchmark::kMillisecond);

// The same without dithering: what the palette choice alone achieves.
void BM_encode_undithered(benchmark::State& state) {
  const Picture& which = PICTURES[static_cast<std::size_t>(state.range(0))];
  const bool changes = state.range(1) != 0;
  const RgbPicture picture = which.make();
  EncodedScreen encoded;
  for (auto _ : state) {
    encoded = encode_screen(picture, {changes, Dither::none, 191});
    benchmark::DoNotOptimize(encoded.file.data());
  }
  std::string label = which.name;
  label += changes ? ", line changes" : ", one table";
  state.SetLabel(label);
  state.counters["mean_dE"] = encoded.mean_error;
  if (changes) {
    const double without = encode_screen(picture, {false, Dither::none, 191}).mean_error;
    state.counters["reduction_pct"] = 100 * (1 - encoded.mean_error / without);
  }
}
BENCHMARK(BM_encode_undithered)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
