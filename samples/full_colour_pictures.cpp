#include "full_colour_pictures.h"

#include "photo_scenes.h"
#include "rgb_picture.h"
#include "value_noise.h"

#include <array>
#include <cstdlib>

namespace full_colour {

namespace {

using photo::coverage;
using photo::ellipse;
using photo::fraction;
using photo::hash;
using photo::isin;
using photo::isqrt;
using photo::length;
using photo::mix;
using photo::ONE;
using photo::Rgb;
using photo::scaled;
using photo::smoothstep;
using photo::value_noise;
using photo::wobble;

constexpr int W = photo::RgbPicture::WIDTH;
constexpr int H = photo::RgbPicture::HEIGHT;

RgbPicture as_rgb(const photo::RgbPicture& p) {
  RgbPicture out{W, H, {}};
  out.rgb.reserve(std::size_t{W} * H * 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const Rgb c = p.at(x, y);
      out.rgb.insert(out.rgb.end(),
                     {static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g), static_cast<std::uint8_t>(c.b)});
    }
  return out;
}

// Fine grain of ±amplitude / 2 levels, each channel apart.
Rgb grained(Rgb c, int x, int y, int amplitude) {
  auto wob = [&](std::uint32_t seed) {
    return static_cast<int>(hash(x, y, seed) % 4096) * amplitude / ONE - amplitude / 2;
  };
  return {c.r + wob(301), c.g + wob(302), c.b + wob(303)};
}

// A fully saturated hue, hue in 0..6 ONE.
Rgb hue_colour(int hue) {
  const int f = hue % ONE * 255 / ONE;
  static constexpr int order[6][3] = {{2, 1, 0}, {3, 2, 0}, {0, 2, 1}, {0, 3, 2}, {1, 0, 2}, {2, 0, 3}};
  // 0 none, 1 rising, 2 full, 3 falling.
  auto level = [f](int shape) { return shape == 0 ? 0 : shape == 1 ? f : shape == 2 ? 255 : 255 - f; };
  const int* s = order[hue / ONE % 6];
  return {level(s[0]), level(s[1]), level(s[2])};
}

template <photo::RgbPicture (*Paint)()>
RgbPicture scene() {
  photo::RgbPicture p = Paint();
  p.add_grain();
  return as_rgb(p);
}

constexpr NamedPicture PICTURES[] = {
    {"gradient", gradient},
    {"sky", sky},
    {"face", face},
    {"foliage", foliage},
    {"text", text},
    {"sunset", scene<photo::sunset>},
    {"clouds", scene<photo::clouds>},
    {"hills", scene<photo::hills>},
    {"night city", scene<photo::night_city>},
    {"dunes", scene<photo::dunes>},
    {"forest", scene<photo::forest>},
    {"underwater", scene<photo::underwater>},
    {"mountains", scene<photo::mountains>},
    {"aurora", scene<photo::aurora>},
    {"marble", scene<photo::marble>},
    {"wood", scene<photo::wood>},
    {"portrait", scene<photo::portrait>},
    {"fruit", scene<photo::fruit>},
    {"fire", scene<photo::fire>},
    {"spectrum", scene<photo::spectrum>},
    {"bokeh", scene<photo::bokeh>},
    {"bricks", scene<photo::bricks>},
    {"pebbles", scene<photo::pebbles>},
};

}  // namespace

std::span<const NamedPicture> all_pictures() { return PICTURES; }

RgbPicture gradient() {
  photo::RgbPicture p;
  p.paint([](int x, int y) {
    const Rgb hue = hue_colour(y * 6 * ONE * 85 / 100 / (H - 1));
    const int u = x * ONE / (W - 1);
    // Dark to full at the left half, full to pale at the right.
    return u < ONE / 2 ? scaled(hue, ONE / 4 + u * 3 / 2) : mix(hue, {255, 255, 255}, (u - ONE / 2) * 14 / 10);
  });
  return as_rgb(p);
}

RgbPicture sky() {
  static constexpr Rgb stops[] = {{26, 70, 160}, {56, 112, 198}, {110, 160, 224}, {196, 216, 236}};
  photo::RgbPicture p;
  p.paint([](int x, int y) {
    // Most of the change is near the horizon, as in a real sky.
    const int t = y * ONE / (H - 1);
    Rgb c = photo::ramp(stops, t * t / ONE);
    c = mix(c, {250, 246, 236}, x * ONE / (W - 1) * t / ONE / 8);  // the sun's side, low down
    return grained(c, x, y, 6);
  });
  return as_rgb(p);
}

RgbPicture face() {
  photo::RgbPicture p;
  p.paint([](int x, int y) {
    Rgb c = mix({70, 84, 90}, {30, 36, 44}, fraction(length(x - 60, y - 40), 260));
    // Hair behind and around the face.
    const int hair_shape = ellipse(x - 128, y - 70, 112, 120);
    const Rgb hair = mix({44, 28, 20}, {120, 80, 48}, value_noise(x * 6, y, 48, 311));
    c = mix(c, hair, coverage(hair_shape, ONE, ONE / 20));
    const int face_shape = ellipse(x - 128, y - 104, 84, 108);
    if (face_shape < ONE + ONE / 8) {
      const int u = (x - 128) * ONE / 84, v = (y - 104) * ONE / 108;
      const int depth =
          isqrt(std::max<std::int64_t>(0, std::int64_t{ONE} * ONE - std::int64_t{u} * u - std::int64_t{v} * v));
      const int light = std::clamp((-u * 2048 - v * 1024 + depth * 3400) / ONE, 0, ONE);
      Rgb skin = mix({112, 62, 48}, {250, 206, 178}, light);
      for (int side : {-1, 1}) {
        const int ex = 128 + side * 36;
        skin = mix(skin, {226, 120, 110}, coverage(length(x - 128 - side * 44, y - 132), 26, 22) * 3 / 10);
        skin = mix(skin, {62, 40, 28}, coverage(ellipse(x - ex, y - 62, 22, 5), ONE, ONE / 4));
        skin = mix(skin, {236, 230, 224}, coverage(ellipse(x - ex, y - 82, 17, 8), ONE, ONE / 4));
        skin = mix(skin, {76, 96, 70}, coverage(length(x - ex, y - 82), 7, 2));
        skin = mix(skin, {12, 10, 10}, coverage(length(x - ex, y - 82), 3, 1));
      }
      skin = mix(skin, scaled(skin, ONE * 78 / 100), coverage(ellipse(x - 134, y - 118, 8, 22), ONE, ONE / 2));
      skin = mix(skin, {176, 80, 84}, coverage(ellipse(x - 128, y - 162, 26, 8), ONE, ONE / 3));
      c = mix(c, skin, coverage(face_shape, ONE, ONE / 24));
    }
    // A fringe over the forehead.
    if (y < 40 + isin(x * 24) * 6 / ONE) c = mix(c, hair, coverage(hair_shape, ONE, ONE / 20));
    return grained(c, x, y, 10);
  });
  return as_rgb(p);
}

RgbPicture foliage() {
  static constexpr Rgb greens[] = {{64, 110, 36}, {96, 140, 44}, {40, 84, 40}, {140, 170, 60}, {72, 120, 70}};
  photo::RgbPicture p;
  p.paint([](int x, int y) {
    // Deep shade, with sky through the gaps near the top.
    Rgb c = mix({22, 40, 20}, {10, 22, 14}, value_noise(x, y, 24, 321));
    c = mix(c, {190, 214, 236}, smoothstep(ONE * 62 / 100, ONE * 80 / 100, value_noise(x, y, 40, 322)) * (H - y) / H);
    // Three layers of leaves, the nearer larger and better lit.
    for (int layer = 0; layer < 3; ++layer) {
      const int cell = 30 - layer * 6, length_ = 16 + layer * 4, width = 6 + layer * 2;
      const int gx = x / cell, gy = y / cell;
      for (int cy = gy - 1; cy <= gy + 1; ++cy)
        for (int cx = gx - 1; cx <= gx + 1; ++cx) {
          const std::uint32_t h = hash(cx, cy, 330 + static_cast<std::uint32_t>(layer));
          const int lx = cx * cell + static_cast<int>(h % static_cast<std::uint32_t>(cell));
          const int ly = cy * cell + static_cast<int>((h >> 8) % static_cast<std::uint32_t>(cell));
          const int turn = static_cast<int>((h >> 16) % ONE);
          const int cs = isin(turn + ONE / 4), sn = isin(turn);
          const int dx = x - lx, dy = y - ly;
          const int along = (dx * cs + dy * sn) / ONE, across = (-dx * sn + dy * cs) / ONE;
          const int shape = ellipse(along, across, length_, width);
          if (shape >= ONE) continue;
          const int light = ONE / 3 + layer * ONE / 5 + value_noise(x, y, 48, 340) / 3;
          Rgb leaf = scaled(greens[h >> 28 & 3], light + (across < 0 ? ONE / 8 : 0));
          if (std::abs(across) < 1 && std::abs(along) < length_ - 2) leaf = scaled(leaf, ONE * 7 / 10);  // the midrib
          c = mix(c, leaf, coverage(shape, ONE, ONE / 6));
        }
    }
    return grained(c, x, y, 12);
  });
  return as_rgb(p);
}

RgbPicture text() {
  photo::RgbPicture p;
  p.paint([](int x, int y) {
    const int line = y / 16, in_line = y % 16;
    if (in_line < 3 || in_line > 12 || x < 12 || x > 243) return Rgb{255, 255, 255};
    const int glyph = (x + line * 5) / 9, gx = (x + line * 5) % 9;
    const std::uint32_t shape = (static_cast<std::uint32_t>(glyph * 31 + line * 17) * 2654435761u) >> 28;
    const bool space = shape % 7 == 0;
    const bool stem = gx == 1 || (shape & 1 && gx == 6);
    const bool bar = (shape & 2 && in_line == 4) || (shape & 4 && in_line == 8) || (shape & 8 && in_line == 12);
    const bool ink = !space && gx < 8 && (stem || (bar && gx >= 1 && gx <= 6));
    return ink ? Rgb{10, 10, 20} : Rgb{255, 255, 255};
  });
  return as_rgb(p);
}

}  // namespace full_colour
