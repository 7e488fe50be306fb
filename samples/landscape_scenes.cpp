// Outdoor scenes: skies, land and water.
#include "photo_scenes.h"
#include "value_noise.h"

#include <array>
#include <cstdlib>

namespace photo {

namespace {

constexpr int W = RgbPicture::WIDTH;
constexpr int H = RgbPicture::HEIGHT;

// Scattered stars: one pixel in `rarity`, of random brightness.
Rgb with_stars(Rgb c, int x, int y, std::uint32_t rarity) {
  std::uint32_t h = hash(x, y, 7);
  if (h % rarity != 0) return c;
  return c + scaled({200, 200, 230}, static_cast<int>(h >> 20) % ONE);
}

}  // namespace

RgbPicture sunset() {
  static constexpr Rgb sky[] = {{38, 22, 84}, {128, 48, 120}, {236, 104, 72}, {255, 190, 100}};
  constexpr int horizon = 124, sun_x = 172, sun_y = 100;
  RgbPicture p;
  p.paint([&](int x, int y) {
    int sun = length(x - sun_x, y - sun_y);
    if (y < horizon) {
      Rgb c = ramp(sky, y * ONE / horizon);
      c = c + scaled({110, 60, 10}, ONE - fraction(sun, 90));
      int streak = smoothstep(ONE * 55 / 100, ONE * 85 / 100, value_noise(x, y * 10, 48, 5));
      c = mix(c, {196, 84, 112}, streak * (horizon - y) / horizon);
      c = mix(c, {255, 236, 180}, coverage(sun, 20, 2));
      int ridge = 106 + isin(x * 10 + 700) * 8 / ONE + wobble(fractal_noise(x * 8, 0, 256, 4, 3), 24);
      if (y >= ridge) c = scaled({64, 30, 60}, ONE * 3 / 4 + fractal_noise(x, y, 16, 3, 4) / 3);
      return c;
    }
    // The sea, lit along the sun's path where the waves catch the light.
    Rgb c = mix({110, 50, 90}, {18, 14, 48}, fraction(y - horizon, H - horizon));
    int wave = value_noise(x, y * 8, 48, 9);
    int path = ONE - fraction(std::abs(x - sun_x), 12 + (y - horizon));
    c = mix(c, {255, 200, 120}, path * smoothstep(ONE / 2, ONE * 8 / 10, wave) / ONE);
    return c + scaled({40, 20, 40}, wave / 2 - ONE / 4);
  });
  return p;
}

RgbPicture clouds() {
  RgbPicture p;
  p.paint([](int x, int y) {
    Rgb sky = mix({40, 96, 200}, {176, 208, 240}, y * ONE / H);
    int density = fractal_noise(x, y * 2, 128, 5, 21);  // clouds are wider than tall
    int cover = smoothstep(ONE * 45 / 100, ONE * 70 / 100, density);
    int shadow = smoothstep(ONE * 55 / 100, ONE * 90 / 100, density) * 3 / 4 + y * ONE / H / 4;
    Rgb c = mix(sky, mix({255, 255, 255}, {146, 152, 176}, shadow), cover);
    int land = 172 + wobble(fractal_noise(x * 4, 0, 128, 4, 22), 16);
    if (y >= land) c = scaled({40, 72, 36}, ONE / 2 + fractal_noise(x, y, 8, 3, 23) * 2 / 3);
    return c;
  });
  return p;
}

RgbPicture hills() {
  struct Layer {
    int base, amplitude, wave, phase;
    Rgb top, bottom;
  };
  static constexpr Layer layers[] = {{84, 14, 9, 300, {128, 164, 176}, {96, 140, 150}},
                                     {110, 16, 13, 1200, {120, 168, 76}, {72, 140, 60}},
                                     {146, 20, 7, 2500, {96, 184, 56}, {44, 128, 32}}};
  RgbPicture p;
  p.paint([&](int x, int y) {
    Rgb c = mix({100, 160, 230}, {224, 232, 240}, fraction(y, 110));
    for (int i = 0; i < 3; ++i) {
      const Layer& l = layers[i];
      auto seed = static_cast<std::uint32_t>(30 + i);
      int top = l.base + isin(x * l.wave + l.phase) * l.amplitude / ONE +
                wobble(fractal_noise(x * 4, 0, 128, 3, seed), l.amplitude);
      if (y < top) continue;
      c = mix(l.top, l.bottom, fraction(y - top, 40));
      if (i == 1) {
        // Fields in strips across the middle hill.
        int strip = (x + 2 * y + wobble(value_noise(x, y, 32, 34), 24) + 64) / 18 % 3;
        static constexpr Rgb fields[] = {{150, 160, 70}, {90, 150, 60}, {70, 110, 50}};
        c = mix(c, fields[strip], ONE / 2);
      }
      c = scaled(c, ONE * 8 / 10 + fractal_noise(x, y, 16, 3, seed + 10) * 4 / 10);
    }
    if (y > 150 && hash(x, y, 35) % 61 == 0) c = {240, 226, 96};  // flowers in the grass
    return c;
  });
  return p;
}

RgbPicture night_city() {
  // Buildings side by side: each column's roof line and which building.
  std::array<int, W> roof{}, building{};
  for (int x = 0, i = 0; x < W; ++i) {
    int width = 12 + static_cast<int>(hash(i, 0, 43) % 20);
    int top = 72 + static_cast<int>(hash(i, 1, 43) % 72);
    for (int k = 0; k < width && x < W; ++k, ++x) roof[x] = top, building[x] = i;
  }
  RgbPicture p;
  p.paint([&](int x, int y) {
    Rgb c = mix({4, 6, 24}, {52, 36, 88}, fraction(y, 150));
    c = with_stars(c, x, y, 280);
    int moon = length(x - 56, y - 38);
    c = c + scaled({50, 50, 72}, ONE - fraction(moon, 64));
    c = mix(c, scaled({236, 232, 200}, ONE * 8 / 10 + fractal_noise(x, y, 8, 2, 44) / 4), coverage(moon, 15, 2));
    if (y >= roof[x]) {
      c = mix({30, 28, 44}, {12, 12, 20}, fraction(y - roof[x], 60));
      // Windows in a grid, some lit in warm colours.
      int lx = x % 5, ly = (y - roof[x]) % 7;
      if (lx >= 2 && ly >= 3 && ly <= 5 && y > roof[x] + 3) {
        std::uint32_t h = hash(building[x] * 64 + x / 5, (y - roof[x]) / 7, 45);
        if (h % 3 == 0) c = mix({255, 214, 110}, {250, 150, 60}, static_cast<int>(h >> 12) % ONE);
      }
    }
    if (y > 176) c = c + scaled({90, 56, 20}, fraction(y - 176, 16));  // street lights below
    return c;
  });
  return p;
}

RgbPicture dunes() {
  RgbPicture p;
  p.paint([](int x, int y) {
    Rgb c = mix({96, 140, 214}, {250, 214, 170}, fraction(y, 96));
    for (int i = 0; i < 3; ++i) {
      // Heights in sixteenths of a pixel, for the slope that lights the sand.
      auto height = [i](int at) {
        return (80 + 34 * i) * 16 + isin(at * (5 + 3 * i) + 900 * i) * (14 + 4 * i) * 16 / ONE +
               isin(at * (13 + 5 * i) + 300) * 5 * 16 / ONE;
      };
      int top = height(x) / 16;
      if (y < top) continue;
      int slope = height(x + 1) - height(x - 1);
      int light = std::clamp(ONE / 2 + slope * ONE / 48, 0, ONE);
      // Shadows take the blue of the sky, sunlit sand the sun's warmth.
      Rgb sand = ramp(std::array<Rgb, 3>{{{112, 84, 120}, {196, 120, 70}, {252, 210, 140}}}, light);
      int ripple = isin(x * 40 + y * 120 + value_noise(x, y, 32, 50) * 2);
      sand = scaled(sand, ONE * 92 / 100 + ripple / 14);
      c = mix(sand, {240, 200, 176}, (2 - i) * ONE / 6);  // haze over the far dunes
    }
    // Scrub here and there.
    std::uint32_t bush = hash(x / 24, y / 16, 51);
    if (y > 120 && bush % 5 == 0) {
      int d = length(x % 24 - 12, (y % 16 - 10) * 2);
      c = mix(c, scaled({70, 90, 40}, ONE / 2 + value_noise(x * 2, y * 2, 4, 52) / 2), coverage(d, 6, 3));
    }
    return c;
  });
  return p;
}

RgbPicture forest() {
  // Two rows of trunks, far and near: each column's trunk, if any, and
  // where across it the column lies.
  std::array<int, W> depth{}, across{}, width{};
  for (int layer = 1; layer <= 2; ++layer)
    for (int i = 0; i < (layer == 1 ? 14 : 6); ++i) {
      std::uint32_t h = hash(i, layer, 60);
      int w = layer == 1 ? 5 + static_cast<int>(h % 6) : 12 + static_cast<int>(h % 12);
      int left = static_cast<int>(h >> 8) % (W + w) - w;
      for (int x = std::max(0, left); x < std::min(W, left + w); ++x)
        depth[x] = layer, across[x] = x - left, width[x] = w;
    }
  RgbPicture p;
  p.paint([&](int x, int y) {
    Rgb c = mix({176, 204, 150}, {40, 80, 40}, y * ONE / H);
    c = scaled(c, ONE * 8 / 10 + fractal_noise(x, y, 32, 4, 61) * 4 / 10);
    if (depth[x] > 0) {
      int round = isin(across[x] * ONE / 2 / width[x]);  // brighter in the middle, dark at the sides
      int bark = value_noise(x * 8, y, 40, 62);
      Rgb trunk = depth[x] == 1 ? Rgb{112, 120, 96} : Rgb{92, 64, 40};
      c = scaled(trunk, ONE * 4 / 10 + round * 5 / 10 + bark / 6);
    }
    int shaft = smoothstep(ONE * 7 / 10, ONE, isin((x - y / 2) * 20));
    c = c + scaled({70, 70, 36}, shaft * (H - y) / H);
    int canopy = 36 + wobble(fractal_noise(x * 2, 0, 64, 4, 63), 50);
    if (y < canopy) c = scaled({40, 96, 36}, ONE / 2 + fractal_noise(x, y, 16, 4, 64) * 3 / 4);
    int floor = 164 + wobble(value_noise(x, 0, 40, 65), 12);
    if (y >= floor) c = mix({110, 80, 40}, {70, 100, 40}, fractal_noise(x, y, 8, 3, 66));
    return c;
  });
  return p;
}

RgbPicture underwater() {
  static constexpr Rgb water[] = {{60, 180, 190}, {20, 110, 150}, {6, 40, 90}, {2, 16, 50}};
  RgbPicture p;
  p.paint([](int x, int y) {
    int depth = y * ONE / H;
    Rgb c = ramp(water, depth);
    // Caustics: bright where two noise fields cross, fading with depth.
    int crossing = std::abs(value_noise(x * 2, y * 3, 48, 51) - value_noise(x * 2, y * 3, 48, 52));
    int caustic = ONE - smoothstep(0, ONE / 10, crossing);
    c = c + scaled({90, 120, 110}, caustic * (ONE - depth) / ONE);
    int ray = smoothstep(ONE * 6 / 10, ONE, isin(x * 12 - y * 5 + value_noise(x, y, 64, 53) / 2));
    c = c + scaled({40, 64, 64}, ray * (ONE - depth) / ONE);
    int floor = 162 + isin(x * 6) * 4 / ONE + wobble(value_noise(x, 0, 32, 54), 8);
    if (y >= floor) {
      int ripple = isin(x * 20 + y * 60 + value_noise(x, y, 16, 55));
      c = scaled({150, 136, 96}, ONE * 7 / 10 + ripple / 8 + caustic / 5);
    }
    // A few bubbles, as rings.
    for (int i = 0; i < 7; ++i) {
      std::uint32_t h = hash(i, 0, 56);
      int ring =
          std::abs(length(x - 40 - static_cast<int>(h % 180), y - 20 - static_cast<int>(h >> 8) % 130) - 3 - i % 4);
      c = c + scaled({100, 130, 130}, coverage(ring, 1, 1));
    }
    return c;
  });
  return p;
}

RgbPicture mountains() {
  std::array<int, W> ridge{};
  for (int x = 0; x < W; ++x) ridge[x] = 30 + fractal_noise(x * 16, 0, 1024, 5, 61) * 100 / ONE;
  static constexpr Rgb strata[] = {{120, 96, 88}, {150, 110, 84}, {96, 92, 100}, {140, 124, 110}};
  RgbPicture p;
  p.paint([&](int x, int y) {
    Rgb c = mix({40, 70, 150}, {250, 196, 170}, fraction(y, 110));  // evening
    if (y >= ridge[x]) {
      // Faces turned to the upper left catch the low sun.
      auto relief = [](int at_x, int at_y) { return fractal_noise(at_x * 2, at_y * 2, 64, 5, 66); };
      int light = std::clamp(ONE / 2 + (relief(x - 2, y - 2) - relief(x + 2, y + 2)) * 4, 0, ONE);
      int snowline = ridge[x] + 18 + wobble(fractal_noise(x, y, 16, 3, 62), 28);
      Rgb rock = ramp(strata, (y * ONE / 24 + value_noise(x, y, 32, 63)) % ONE);
      rock = scaled(rock, ONE * 4 / 10 + light * 8 / 10);
      Rgb snow = mix({120, 140, 200}, {255, 224, 212}, light);
      c = y < snowline ? snow : rock;
      c = mix(c, {210, 180, 190}, (ONE - fraction(y, 160)) / 5);  // haze
    }
    // Autumn woods in the valley.
    int woods = 150 + wobble(fractal_noise(x * 4, 0, 64, 3, 64), 20);
    if (y >= woods) {
      static constexpr Rgb leaves[] = {{40, 80, 40}, {150, 120, 30}, {170, 70, 30}, {60, 100, 30}};
      Rgb leaf = ramp(leaves, fractal_noise(x, y, 24, 3, 67));
      c = scaled(leaf, ONE / 2 + fractal_noise(x * 2, y, 8, 3, 65) * 3 / 4);
    }
    return c;
  });
  return p;
}

RgbPicture aurora() {
  constexpr int shore = 150;
  auto sky = [](int x, int y) {
    Rgb c = mix({2, 6, 20}, {30, 48, 84}, y * ONE / shore);
    int centre = 92 + isin(x * 9 + 400) * 18 / ONE + wobble(fractal_noise(x * 8, 0, 512, 3, 71), 40);
    int above = centre - y;
    // Bright at the lower edge, fading slowly upwards, in vertical rays.
    int glow = above >= 0 ? ONE - smoothstep(0, 64, above) : ONE - smoothstep(0, 10, -above);
    int rays = ONE / 3 + value_noise(x * 16, y, 64, 72) * 2 / 3;
    Rgb light = mix({60, 250, 140}, {200, 80, 230}, smoothstep(6, 48, above));
    return c + scaled(light, glow * rays / ONE * 9 / 10);
  };
  RgbPicture p;
  p.paint([&](int x, int y) {
    // Below the shore the lake gives the sky back, darker and rippled,
    // foreshortened as a low viewpoint sees it.
    Rgb c = y < shore
                ? with_stars(sky(x, y), x, y, 200)
                : scaled(sky(x + wobble(value_noise(x, y * 6, 32, 75), 8), shore - (y - shore) * 2), ONE * 7 / 10);
    // Pines against the sky on the far shore.
    int ground = shore - 4 + isin(x * 5) * 3 / ONE;
    int tree = x / 12;
    int tree_top = ground - 12 - static_cast<int>(hash(tree, 0, 73) % 26);
    if ((y >= ground && y < shore + 2) ||
        (y >= tree_top && y < ground && std::abs(x - tree * 12 - 6) <= (y - tree_top) / 3))
      c = scaled({10, 14, 18}, ONE / 2 + fractal_noise(x, y, 8, 2, 74) / 2);
    return c;
  });
  return p;
}

}  // namespace photo
