#include "encoder/colour_space.h"
#include "encoder/screen_encoder.h"
#include "encoder/seen_error.h"
#include "full_colour_pictures.h"
#include "sam/sam_colour.h"
#include "sam/screen_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

namespace {

using Paint = std::function<std::array<std::uint8_t, 3>(int x, int y)>;

RgbPicture paint(const Paint& colour) {
  RgbPicture p{256, 192, {}};
  for (int y = 0; y < 192; ++y)
    for (int x = 0; x < 256; ++x) {
      const auto c = colour(x, y);
      p.rgb.insert(p.rgb.end(), c.begin(), c.end());
    }
  return p;
}

std::array<std::uint8_t, 3> palette_rgb(int index) {
  const Colour c = sam_colour(index);
  return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>(c >> 8 & 0xFF),
          static_cast<std::uint8_t>(c >> 16 & 0xFF)};
}

std::uint32_t mix(std::uint32_t h) {
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  return h;
}

// Three bands of 16 palette colours each, all different, in stripes: no
// one table holds two bands, so the table must change at each band's top.
RgbPicture bands() {
  return paint([](int x, int y) { return palette_rgb((y / 64) * 40 + (x / 16 + y / 64) % 16 * 2 + y / 64 % 2); });
}

std::string dither_name(Dither d) {
  return d == Dither::none ? "none" : d == Dither::ordered ? "ordered" : "diffusion";
}

constexpr std::array<Dither, 3> DITHERS = {Dither::none, Dither::ordered, Dither::diffusion};

TEST(EncoderTest, FlatPictureShowsOneColourWithoutChanges) {
  const std::array<std::array<std::uint8_t, 3>, 4> colours = {
      {{0, 0, 0}, {255, 255, 255}, {100, 150, 200}, {37, 0, 90}}};
  for (const auto& colour : colours)
    for (Dither dither : DITHERS) {
      SCOPED_TRACE(dither_name(dither) + " " + std::to_string(colour[0]) + "," + std::to_string(colour[1]) + "," +
                   std::to_string(colour[2]));
      const EncodedScreen s = encode_screen(paint([&](int, int) { return colour; }), {true, dither, 191});
      EXPECT_EQ(s.colours_used, 1);
      EXPECT_EQ(s.changes, 0);
      EXPECT_EQ(s.file.size(), std::size_t{LINE_TABLE_OFFSET} + 1);
    }
}

// Sixteen palette colours scattered at random come back exactly, line
// changes or not.
TEST(EncoderTest, SixteenPaletteColoursReproducedExactly) {
  const std::array<int, 16> chosen = {0, 7, 18, 29, 40, 51, 62, 73, 84, 95, 106, 117, 120, 121, 126, 127};
  const RgbPicture picture = paint([&](int x, int y) {
    return palette_rgb(chosen[mix(static_cast<std::uint32_t>(y * 256 + x) * 2654435761u) % 16]);
  });
  for (bool changes : {false, true}) {
    const EncodedScreen s = encode_screen(picture, {changes, Dither::none, 191});
    EXPECT_EQ(s.shown.rgb, picture.rgb);
    EXPECT_EQ(s.mean_error, 0.0);
    EXPECT_EQ(s.colours_used, 16);
    EXPECT_EQ(s.changes, 0);
  }
}

TEST(EncoderTest, TableChangesAtBandEdges) {
  const RgbPicture picture = bands();
  const EncodedScreen with = encode_screen(picture, {true, Dither::none, 191});
  const EncodedScreen without = encode_screen(picture, {false, Dither::none, 191});
  std::set<int> lines;
  for (std::size_t at = LINE_TABLE_OFFSET; with.file[at] < LINE_TABLE_END; at += 4) lines.insert(with.file[at]);
  EXPECT_TRUE(lines.count(63));
  EXPECT_TRUE(lines.count(127));
  EXPECT_GT(with.colours_used, 16);
  EXPECT_LT(with.mean_error, without.mean_error * 0.5);
}

RgbPicture noise() {
  return paint([](int x, int y) {
    const std::uint32_t h = mix(static_cast<std::uint32_t>((y / 3) * 977 + x / 5) * 2246822519u);
    return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8),
                                       static_cast<std::uint8_t>((h >> 16) / 2 + static_cast<unsigned>(y))};
  });
}

struct Case {
  const char* name;
  RgbPicture (*picture)();
};

// Whatever the picture and options, the file is one the viewer reads as
// written, and it shows exactly `shown`, with the errors reported.
TEST(EncoderTest, FileIsValidAndShowsWhatIsReported) {
  const std::array<Case, 3> pictures = {{{"gradient", full_colour::gradient}, {"noise", noise}, {"bands", bands}}};
  const std::array<EncoderOptions, 4> options = {
      {{true, Dither::none, 191}, {true, Dither::none, 5}, {false, Dither::none, 191}, {true, Dither::none, 0}}};
  for (const Case& c : pictures) {
    const RgbPicture picture = c.picture();
    for (Dither dither : DITHERS) {
      for (std::size_t k = 0; k < options.size(); ++k) {
        EncoderOptions o = options[k];
        o.dither = dither;
        SCOPED_TRACE(std::string(c.name) + " " + dither_name(dither) + " changes " + std::to_string(o.line_changes) +
                     " max " + std::to_string(o.max_changes));
        const EncodedScreen s = encode_screen(picture, o);
        const auto& f = s.file;
        ASSERT_EQ(f.size(), std::size_t{LINE_TABLE_OFFSET} + 4 * static_cast<std::size_t>(s.changes) + 1);
        EXPECT_EQ(f.back(), 255);
        EXPECT_LE(s.changes, o.line_changes ? o.max_changes : 0);
        for (int i = 0; i < 16; ++i) EXPECT_LT(f[CLUT_OFFSET + i], 128);
        for (int i = CLUT_OFFSET + 16; i < LINE_TABLE_OFFSET; ++i) EXPECT_EQ(f[i], 0);
        int previous = -1;
        for (std::size_t at = LINE_TABLE_OFFSET; at + 1 < f.size(); at += 4) {
          EXPECT_GT(f[at], previous) << "one record a row, in order";
          EXPECT_LT(f[at], LINE_TABLE_END);
          EXPECT_LT(f[at + 1], 16);
          EXPECT_LT(f[at + 2], 128);
          EXPECT_EQ(f[at + 3], 0);
          previous = f[at];
        }

        DecodedScreen decoded;
        ASSERT_EQ(decode_screen(f, decoded), ScreenSize::usable);
        std::set<int> used;
        for (std::size_t i = 0; i < 256 * 192; ++i) {
          const int colour = decoded.row_clut[i / 256][decoded.pixels[i]];
          used.insert(colour);
          const auto rgb = palette_rgb(colour);
          ASSERT_TRUE(std::equal(rgb.begin(), rgb.end(), s.shown.rgb.begin() + static_cast<std::ptrdiff_t>(i * 3)))
              << "pixel " << i;
        }
        EXPECT_EQ(s.colours_used, static_cast<int>(used.size()));
        EXPECT_GT(s.mean_error, 0.0);
        EXPECT_NEAR(s.seen_error, encoder::seen_error(picture, s.shown), 1e-9);
        if (k == 0) {
          EXPECT_EQ(encode_screen(picture, o).file, f) << "not deterministic";
        }
      }
    }
  }
}

// Fewer changes allowed cost error, but every allowance still buys some:
// on a gradient, whose colours change all the way down, the few allowed
// must be spread down the screen, not spent where the top rows gain most.
TEST(EncoderTest, FewerChangesCostError) {
  const RgbPicture picture = full_colour::gradient();
  double previous = 0;
  for (int max : {191, 40, 10, 0}) {
    const EncodedScreen s = encode_screen(picture, {true, Dither::none, max});
    EXPECT_GT(s.seen_error, previous) << max;
    previous = s.seen_error;
  }
}

// Line changes are written only when they lower the error seen, whatever
// the dithering and however few are allowed (cutting them down is the same
// for every dithering, so it is tried once); by default, on pictures whose
// colours change down the screen, they lower it well.
TEST(EncoderTest, LineChangesLowerTheSeenError) {
  struct Expected {
    const char* name;
    RgbPicture (*picture)();
    double most;  // by default, at most this share of the seen error without changes
  };
  const std::array<Expected, 3> pictures = {{{"gradient", full_colour::gradient, 0.85},
                                             {"sky", full_colour::sky, 0.7},
                                             {"foliage", full_colour::foliage, 1.0}}};
  for (const Expected& e : pictures) {
    const RgbPicture picture = e.picture();
    for (Dither dither : DITHERS) {
      const double without = encode_screen(picture, {false, dither, 191}).seen_error;
      for (int max : {191, 5}) {
        if (max < 191 && dither != Dither::diffusion) continue;
        SCOPED_TRACE(std::string(e.name) + " " + dither_name(dither) + " max " + std::to_string(max));
        const EncodedScreen with = encode_screen(picture, {true, dither, max});
        EXPECT_LE(with.seen_error, without);
        if (dither == Dither::diffusion && max == 191 && e.most < 1) {
          EXPECT_LE(with.seen_error, e.most * without);
          EXPECT_GT(with.changes, 0);
        }
      }
    }
  }
}

// Plain CIELAB ΔE a pixel, for contrast with the error seen.
double plain_error(const RgbPicture& p, const RgbPicture& q) {
  double sum = 0;
  for (std::size_t i = 0; i < p.rgb.size(); i += 3)
    sum += encoder::delta_e(encoder::lab_of_rgb(&p.rgb[i]), encoder::lab_of_rgb(&q.rgb[i]));
  return sum / static_cast<double>(p.rgb.size() / 3);
}

RgbPicture small(int width, int height, const Paint& colour) {
  RgbPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto c = colour(x, y);
      p.rgb.insert(p.rgb.end(), c.begin(), c.end());
    }
  return p;
}

std::array<std::uint8_t, 3> grey(std::uint8_t v) { return {v, v, v}; }

// The error seen, worked out here from its definition alone, in doubles:
// each pixel the Gaussian-weighted mean of the light about it (the edge
// pixels going on beyond the edges) in Lab; the mean ΔE of those.
double seen_error_by_definition(const RgbPicture& p, const RgbPicture& q) {
  double kernel = 0;
  for (int k = -3; k <= 3; ++k) kernel += std::exp(-k * k / 2.0);
  auto linear = [](std::uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
  auto seen = [&](const RgbPicture& picture, int x, int y) {
    std::array<double, 3> light{};
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx) {
        const int at =
            std::clamp(y + dy, 0, picture.height - 1) * picture.width + std::clamp(x + dx, 0, picture.width - 1);
        for (int c = 0; c < 3; ++c)
          light[c] += std::exp(-(dx * dx + dy * dy) / 2.0) / (kernel * kernel) * linear(picture.rgb[at * 3 + c]);
      }
    const auto [r, g, b] = light;
    const double fx = f((0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047);
    const double fy = f(0.2126729 * r + 0.7151522 * g + 0.0721750 * b);
    const double fz = f((0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883);
    return std::array<double, 3>{116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
  };
  double sum = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const auto s = seen(p, x, y), t = seen(q, x, y);
      sum += std::hypot(s[0] - t[0], s[1] - t[1], s[2] - t[2]);
    }
  return sum / (p.width * p.height);
}

Paint random_colours(std::uint32_t seed) {
  return [seed](int x, int y) {
    const std::uint32_t h = mix(static_cast<std::uint32_t>(y * 977 + x) * 2654435761u ^ seed);
    return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8),
                                       static_cast<std::uint8_t>(h >> 16)};
  };
}

// The eye averages light: a fine checkerboard of black and white looks like
// the grey of half the light (sRGB 188), though every pixel is far from it,
// and not like the grey of the mean sRGB level (128). Any pictures are seen
// as the definition says, edges and all.
TEST(SeenErrorTest, KnownPictures) {
  const auto board = [](int x, int y) { return grey((x + y) % 2 ? 255 : 0); };
  const auto black = [](int, int) { return grey(0); };
  struct Case {
    const char* name;
    RgbPicture picture, shown;
    double plain_at_least, seen_from, seen_to;  // seen_to 0: as the definition says
  };
  const std::array<Case, 5> cases = {{
      {"checkerboard, grey of half the light", small(16, 16, board), small(16, 16, [](int, int) { return grey(188); }),
       40, 0, 1.5},
      {"checkerboard, grey of the mean level", small(16, 16, board), small(16, 16, [](int, int) { return grey(128); }),
       20, 15, 30},
      {"lone dot", small(16, 16, [](int x, int y) { return grey(x == 8 && y == 8 ? 255 : 0); }), small(16, 16, black),
       0, 0, 0},
      {"dot in a corner", small(9, 5, [](int x, int y) { return grey(x == 0 && y == 0 ? 255 : 0); }),
       small(9, 5, black), 0, 0, 0},
      {"random colours", small(13, 7, random_colours(1)), small(13, 7, random_colours(2)), 0, 0, 0},
  }};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_GE(plain_error(c.picture, c.shown), c.plain_at_least);
    const double seen = encoder::seen_error(c.picture, c.shown);
    if (c.seen_to > 0) {
      EXPECT_GE(seen, c.seen_from);
      EXPECT_LE(seen, c.seen_to);
    } else {
      EXPECT_NEAR(seen, seen_error_by_definition(c.picture, c.shown), 1e-4);
    }
  }
}

}  // namespace
