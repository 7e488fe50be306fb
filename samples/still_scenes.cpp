// Close-up scenes: surfaces, objects and a face.
#include "photo_scenes.h"
#include "value_noise.h"

#include <array>
#include <cstdlib>

namespace photo {

namespace {

constexpr int W = RgbPicture::WIDTH;
constexpr int H = RgbPicture::HEIGHT;

// Lambert shading of a sphere of radius r at (dx, dy) from its centre, lit
// from the upper left and in front, in 0..ONE; -1 outside it.
int sphere_light(int dx, int dy, int r) {
  int u = dx * ONE / r, v = dy * ONE / r;
  std::int64_t rest = std::int64_t{ONE} * ONE - std::int64_t{u} * u - std::int64_t{v} * v;
  if (rest < 0) return -1;
  int depth = isqrt(rest);
  return std::clamp((-u * 1843 - v * 2253 + depth * 2867) / ONE, 0, ONE);
}

// A sharp highlight from a shading level: its sixteenth power.
int glint(int light) {
  for (int i = 0; i < 4; ++i) light = light * light / ONE;
  return light;
}

template <std::size_t N>
Rgb pick(const Rgb (&choices)[N], std::uint32_t h) {
  return choices[h % N];
}

}  // namespace

RgbPicture marble() {
  RgbPicture p;
  p.paint([](int x, int y) {
    // Veins where a wave bent by turbulence crosses zero; cubed, they stay thin.
    int vein = ONE - std::abs(isin(x * 6 + y * 10 + fractal_noise(x, y, 96, 6, 81) * 3 / 2));
    vein = vein * vein / ONE * vein / ONE;
    int faint = ONE - std::abs(isin(x * 3 - y * 8 + fractal_noise(x, y, 64, 5, 83)));
    faint = faint * faint / ONE * faint / ONE * faint / ONE;
    Rgb c = mix({238, 234, 228}, {196, 192, 190}, fractal_noise(x, y, 32, 4, 82));
    c = mix(c, {150, 146, 140}, faint / 2);
    return mix(c, {84, 82, 92}, vein * 85 / 100);
  });
  return p;
}

RgbPicture wood() {
  RgbPicture p;
  p.paint([](int x, int y) {
    // Planks 48 rows high, each cut from a different place in the trunk.
    int plank = y / 48, ly = y % 48;
    std::uint32_t h = hash(plank, 0, 90);
    int cx = -60 - static_cast<int>(h % 80), cy = static_cast<int>(h >> 8) % 48;
    int r = length(x - cx, (ly - cy) * 5) + wobble(fractal_noise(x, y * 4, 64, 3, 91 + plank), 24);
    int ring = isin(r * ONE / 10);
    Rgb c = mix({206, 150, 92}, {128, 76, 40}, smoothstep(-ONE / 2, ONE, ring));
    c = scaled(c, ONE * 85 / 100 + value_noise(x, y * 16, 32, 95) * 3 / 10);
    if (ly < 2) c = {52, 32, 20};
    return c;
  });
  return p;
}

RgbPicture portrait() {
  constexpr Rgb hair_dark = {56, 34, 22}, hair_light = {124, 82, 50};
  RgbPicture p;
  p.paint([&](int x, int y) {
    Rgb c = mix({96, 130, 140}, {24, 36, 48}, fraction(length(x - 128, y - 80), 190));
    c = scaled(c, ONE * 9 / 10 + fractal_noise(x, y, 64, 3, 101) / 5);
    Rgb hair = mix(hair_dark, hair_light, value_noise(x * 8, y, 64, 103));
    c = mix(c, hair, coverage(ellipse(x - 128, y - 84, 58, 70), ONE, ONE / 16));
    // Shoulders, with folds in the cloth.
    Rgb cloth = scaled({128, 34, 44}, ONE * 6 / 10 + (isin(x * 14 + value_noise(x, y, 32, 102)) + ONE) / 6);
    c = mix(c, cloth, coverage(ellipse(x - 128, y - 214, 118, 72), ONE, ONE / 30));
    if (y > 110 && y < 150) c = mix(c, {150, 96, 76}, coverage(std::abs(x - 128), 18, 3));  // the neck
    // The face: a lit ellipsoid with eyes, brows, nose and mouth.
    int face = ellipse(x - 128, y - 92, 44, 56);
    if (face < ONE + ONE / 8) {
      int u = (x - 128) * ONE / 44, v = (y - 92) * ONE / 56;
      int depth = isqrt(std::max<std::int64_t>(0, std::int64_t{ONE} * ONE - std::int64_t{u} * u - std::int64_t{v} * v));
      int light = std::clamp((-u * 1638 - v * 1229 + depth * 3547) / ONE, 0, ONE);
      Rgb skin = mix({120, 70, 56}, {246, 200, 170}, light);
      for (int side : {-1, 1}) {
        int ex = 128 + side * 18;
        skin = mix(skin, {230, 130, 120}, coverage(length(x - 128 - side * 22, y - 108), 12, 10) * 3 / 10);
        skin = mix(skin, hair_dark, coverage(ellipse(x - ex, y - 74, 11, 3), ONE, ONE / 4));
        skin = mix(skin, {232, 226, 220}, coverage(ellipse(x - ex, y - 84, 9, 4), ONE, ONE / 4));
        skin = mix(skin, {70, 50, 40}, coverage(length(x - ex, y - 84), 3, 1));
        skin = mix(skin, {10, 8, 8}, coverage(length(x - ex, y - 84), 1, 1));
      }
      skin = mix(skin, scaled(skin, ONE * 8 / 10), coverage(ellipse(x - 131, y - 100, 4, 10), ONE, ONE / 2));
      skin = mix(skin, {168, 72, 76}, coverage(ellipse(x - 128, y - 121, 13, 4), ONE, ONE / 3));
      c = mix(c, skin, coverage(face, ONE, ONE / 16));
    }
    // A fringe over the forehead.
    if (y < 58 + isin(x * 30) * 4 / ONE) c = mix(c, hair, coverage(ellipse(x - 128, y - 84, 58, 70), ONE, ONE / 16));
    return c;
  });
  return p;
}

RgbPicture fruit() {
  struct Fruit {
    int x, y, r;
    Rgb colour;
  };
  static constexpr Fruit bowl[] = {
      {92, 118, 34, {196, 30, 30}}, {204, 130, 20, {120, 170, 40}}, {158, 124, 28, {240, 140, 30}},
      {42, 140, 9, {96, 40, 110}},  {58, 142, 9, {96, 40, 110}},    {50, 128, 9, {110, 50, 124}},
      {34, 154, 9, {90, 36, 100}},  {52, 156, 9, {104, 44, 116}},   {68, 154, 9, {96, 40, 110}},
  };
  RgbPicture p;
  p.paint([&](int x, int y) {
    Rgb c = scaled(mix({204, 194, 172}, {140, 128, 110}, y * ONE / 130), ONE * 9 / 10 + value_noise(x, y, 24, 131) / 5);
    if (y >= 128) {
      c = mix({128, 80, 46}, {88, 52, 30}, value_noise(x, y * 12, 40, 132));
      for (const Fruit& f : bowl)  // shadows fall to the right
        c = mix(c, scaled(c, ONE / 2),
                coverage(ellipse(x - f.x - 10, y - f.y - f.r * 8 / 10, f.r * 11 / 10, f.r / 3 + 1), ONE, ONE / 3));
    }
    for (const Fruit& f : bowl) {
      int light = sphere_light(x - f.x, y - f.y, f.r);
      if (light < 0) continue;
      Rgb skin = mix(scaled(f.colour, ONE / 4), f.colour, light);
      skin = scaled(skin, ONE * 95 / 100 + value_noise(x * 4, y * 4, 16, 133) / 10);
      c = mix(skin, {255, 255, 250}, glint(light) * 8 / 10);
    }
    if (std::abs(x - 94) <= 1 && y > 76 && y < 86) c = {80, 56, 30};  // the apple's stalk
    return c;
  });
  return p;
}

RgbPicture fire() {
  static constexpr Rgb heat_colours[] = {{0, 0, 0},      {90, 8, 4},     {200, 40, 8},
                                         {250, 120, 20}, {255, 200, 60}, {255, 250, 200}};
  RgbPicture p;
  p.paint([](int x, int y) {
    int height = (H - y) * ONE / H;
    int n = fractal_noise(x * 2, y, 48, 5, 121);
    int tongues = isin(x * 20 + n / 2) * 15 / 100;
    int heat = std::clamp(ONE * 11 / 10 - height * 14 / 10 + (n - ONE / 2) * 9 / 10 + tongues, 0, ONE);
    Rgb c = ramp(heat_colours, heat);
    std::uint32_t h = hash(x, y, 122);
    if (h % 300 == 0 && heat < ONE / 3) c = {240, 130, 30};  // sparks
    return c;
  });
  return p;
}

RgbPicture spectrum() {
  RgbPicture p;
  p.paint([](int x, int y) {
    int hue = (x * 6 * ONE / W + wobble(value_noise(x, y, 48, 141), ONE / 2) + 6 * ONE) % (6 * ONE);
    int f = hue % ONE * 255 / ONE;
    static constexpr int order[6][3] = {{2, 1, 0}, {3, 2, 0}, {0, 2, 1}, {0, 3, 2}, {1, 0, 2}, {2, 0, 3}};
    // 0 none, 1 rising, 2 full, 3 falling.
    auto level = [f](int shape) { return shape == 0 ? 0 : shape == 1 ? f : shape == 2 ? 255 : 255 - f; };
    const int* s = order[hue / ONE];
    Rgb c = {level(s[0]), level(s[1]), level(s[2])};
    int t = y * ONE / H;
    c = t < ONE / 2 ? mix({255, 255, 255}, c, t * 2) : mix(c, {0, 0, 0}, (t - ONE / 2) * 2);
    return scaled(c, ONE * 92 / 100 + fractal_noise(x, y, 16, 3, 142) * 16 / 100);
  });
  return p;
}

RgbPicture bokeh() {
  static constexpr Rgb lights[] = {{255, 180, 80},  {255, 120, 60},  {120, 200, 255},
                                   {255, 230, 160}, {200, 110, 255}, {120, 255, 160}};
  RgbPicture p;
  p.paint([](int x, int y) {
    Rgb c = mix({8, 10, 28}, {44, 14, 40}, (x + y) * ONE / (W + H));
    for (int i = 0; i < 36; ++i) {
      std::uint32_t h = hash(i, 0, 151);
      int cx = static_cast<int>(h % W), cy = static_cast<int>((h >> 8) % H), r = 8 + static_cast<int>((h >> 16) % 20);
      if (std::abs(x - cx) > r || std::abs(y - cy) > r) continue;
      int d = length(x - cx, y - cy);
      int disc = coverage(d, r, 2);
      int rim = smoothstep(r * 6 / 10, r, d) * disc / ONE;
      c = c + scaled(pick(lights, h >> 24), disc * 3 / 10 + rim / 4);
    }
    return scaled(c, ONE * 94 / 100 + value_noise(x, y, 4, 152) / 8);
  });
  return p;
}

RgbPicture bricks() {
  static constexpr Rgb clays[] = {{150, 64, 44}, {170, 80, 52}, {128, 52, 40}, {160, 96, 70}, {104, 44, 36}};
  RgbPicture p;
  p.paint([](int x, int y) {
    constexpr int bw = 32, bh = 12, mortar = 2;
    int row = y / bh, ly = y % bh;
    int bx = x + (row % 2) * bw / 2;
    int lx = bx % bw;
    Rgb c;
    if (ly < mortar || lx < mortar) {
      c = scaled({176, 168, 152}, ONE * 8 / 10 + value_noise(x * 2, y * 2, 8, 161) * 3 / 10);
    } else {
      c = scaled(pick(clays, hash(bx / bw, row, 162)), ONE * 8 / 10 + fractal_noise(x * 2, y * 2, 32, 4, 163) * 4 / 10);
      if (lx == mortar || ly == mortar) c = scaled(c, ONE * 115 / 100);  // worn top and left edges
      if (lx == bw - 1 || ly == bh - 1) c = scaled(c, ONE * 75 / 100);
    }
    // A lamp up and to the right, warm and falling off.
    int lamp = ONE - fraction(length(x - 200, y - 20), 300);
    c = scaled(c, ONE / 4 + lamp);
    return mix(c, {255, 200, 120}, lamp / 5);
  });
  return p;
}

RgbPicture pebbles() {
  static constexpr Rgb stones[] = {{150, 140, 130}, {120, 100, 80},  {180, 170, 150}, {90, 90, 96},
                                   {170, 120, 80},  {200, 190, 170}, {110, 120, 100}};
  RgbPicture p;
  p.paint([](int x, int y) {
    // Stones are the cells around random points; the gap between the
    // nearest and next-nearest point is the distance to the stone's edge.
    constexpr int cell = 32;
    int nearest = 1 << 20, next = 1 << 20, dx = 0, dy = 0;
    std::uint32_t stone = 0;
    for (int gy = y / cell - 1; gy <= y / cell + 1; ++gy)
      for (int gx = x / cell - 1; gx <= x / cell + 1; ++gx) {
        std::uint32_t h = hash(gx, gy, 171);
        int px = gx * cell + 4 + static_cast<int>(h % 24), py = gy * cell + 4 + static_cast<int>((h >> 8) % 24);
        int d = length(x - px, y - py);
        if (d < nearest) {
          next = nearest, nearest = d, dx = x - px, dy = y - py, stone = h;
        } else if (d < next) {
          next = d;
        }
      }
    int edge = next - nearest;
    Rgb soil = scaled({48, 40, 34}, ONE * 7 / 10 + value_noise(x, y, 4, 172) * 6 / 10);
    int dome = ONE / 2 + smoothstep(0, 14, edge) * 3 / 10 + std::clamp((-dx - dy) * ONE / 60, -ONE / 5, ONE / 5);
    Rgb c = scaled(pick(stones, stone >> 16), dome + fractal_noise(x * 3, y * 3, 32, 3, 173) * 4 / 10);
    return mix(soil, c, smoothstep(1, 4, edge));
  });
  return p;
}

}  // namespace photo
