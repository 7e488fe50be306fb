// Writes the sample screens of this folder, or the photo-like corpus.
// The build never writes the committed samples; to regenerate them:
//
//   cmake --build build --target make_samples && build/samples/make_samples samples
//
// The corpus is made by the build (the corpus target) into an existing
// folder, as photo_01.ss4 and on:
//
//   make_samples --corpus FOLDER
//
// Each screen is 24,576 bytes of picture (192 rows of 128 bytes, two pixels
// a byte, high nibble first), 16 look-up bytes, 24 unused bytes, and 4-byte
// line-change records (line, entry, colour, unused) ended by a line byte of
// 191. A record takes effect from row line + 1; one record per row at most.
#include "photo_screens.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool write_file(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (file) ok = std::fclose(file) == 0 && ok;
  if (!ok) std::fprintf(stderr, "make_samples: cannot write %s\n", name.c_str());
  return ok;
}

constexpr int WIDTH = 256;
constexpr int HEIGHT = 192;
constexpr int ROW_BYTES = 128;
constexpr std::size_t CLUT_OFFSET = 0x6000;
constexpr std::size_t LINE_TABLE_OFFSET = 0x6028;
constexpr std::uint8_t LINE_TABLE_END = 191;

// A SAM palette index from 2-bit red, green and blue and the shared
// brightness bit. Bits from 0: blue low, red low, green low, brightness,
// blue high, red high, green high.
constexpr std::uint8_t sam(int red, int green, int blue, bool bright = false) {
  return static_cast<std::uint8_t>((blue & 1) | (red & 1) << 1 | (green & 1) << 2 | (bright ? 8 : 0) |
                                   (blue >> 1) << 4 | (red >> 1) << 5 | (green >> 1) << 6);
}

class Screen {
 public:
  Screen() : bytes_(LINE_TABLE_OFFSET, 0) {}

  void set_pixel(int x, int y, int value) {
    std::uint8_t& b = bytes_[static_cast<std::size_t>(y * ROW_BYTES + x / 2)];
    b = (x % 2 == 0) ? static_cast<std::uint8_t>((b & 0x0F) | value << 4)
                     : static_cast<std::uint8_t>((b & 0xF0) | value);
  }
  void set_clut(const std::array<std::uint8_t, 16>& clut) {
    for (std::size_t i = 0; i < clut.size(); ++i) bytes_[CLUT_OFFSET + i] = clut[i];
  }
  // Entry `entry` becomes palette index `colour` from row `row` down.
  void change_from_row(int row, int entry, int colour) {
    bytes_.push_back(static_cast<std::uint8_t>(row - 1));
    bytes_.push_back(static_cast<std::uint8_t>(entry));
    bytes_.push_back(static_cast<std::uint8_t>(colour));
    bytes_.push_back(0);
  }

  std::vector<std::uint8_t> file() const {
    std::vector<std::uint8_t> bytes = bytes_;
    bytes.push_back(LINE_TABLE_END);
    return bytes;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Sky-coloured bars behind a checkered band: entry 0 (the background) gets a
// new colour on every even row and entry 1 (the checks) on every odd row, so
// a record takes effect on every row from 1 to 191.
Screen raster_bars() {
  Screen s;
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      bool in_band = y >= 64 && y < 128;
      int value = 0;
      if (in_band) value = ((x / 16 + (y - 64) / 16) % 2 == 0) ? 1 : 2 + x / 32 % 14;
      // A diagonal stripe of the fixed entries, untouched by the changes.
      if (!in_band && (x + y) % 64 < 4) value = 2 + (x / 16) % 14;
      s.set_pixel(x, y, value);
    }
  s.set_clut({sam(0, 0, 1), sam(3, 3, 3, true), sam(1, 0, 0), sam(2, 0, 0), sam(3, 0, 0), sam(3, 1, 0), sam(3, 2, 0),
              sam(3, 3, 0), sam(2, 3, 0), sam(0, 3, 0), sam(0, 3, 2), sam(0, 3, 3), sam(0, 2, 3), sam(0, 0, 3),
              sam(2, 0, 3), sam(3, 0, 3, true)});
  // Bars fade up and down through eight levels of one hue after another.
  constexpr std::array<std::array<int, 3>, 4> hues = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}}};
  for (int row = 1; row < HEIGHT; ++row) {
    if (row % 2 == 0) {
      int bar = row / 16;
      int step = row % 16 < 8 ? row % 8 : 7 - row % 8;  // 0..7..0 within each bar
      const auto& hue = hues[static_cast<std::size_t>(bar) % hues.size()];
      int level = step / 2;  // 0..3
      s.change_from_row(row, 0, sam(hue[0] * level, hue[1] * level, hue[2] * level, step % 2 == 1));
    } else {
      s.change_from_row(row, 1, sam((row / 4) % 4, 3 - (row / 4) % 4, 2, true));
    }
  }
  return s;
}

// All 128 colours: eight bands of 24 rows, each showing sixteen columns of
// one entry each. Band b shows palette indices 16b to 16b + 15; since only
// one change lands per row, entry k switches at row 24b + k, which gives
// each band its staircase top edge.
Screen colour_chart() {
  Screen s;
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) s.set_pixel(x, y, x / 16);
  std::array<std::uint8_t, 16> clut{};
  for (int i = 0; i < 16; ++i) clut[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  s.set_clut(clut);
  for (int band = 1; band < 8; ++band)
    for (int entry = 0; entry < 16; ++entry) s.change_from_row(24 * band + entry, entry, 16 * band + entry);
  return s;
}

// A fixed test pattern with no line changes: colour bars, a grey ramp, a
// checkerboard, a frame and crossing diagonals.
Screen test_pattern() {
  Screen s;
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      int value;
      if (y < 96) {
        value = x / 16;  // sixteen colour bars
      } else if (y < 128) {
        value = (x / 32) % 2 == 0 ? 0 : 15;
        if ((x / 4 + y / 4) % 2 == 0) value = 8;
      } else if (y < 160) {
        value = x * 8 / WIDTH;  // grey ramp: entries 0 to 7 are greys
      } else {
        value = ((x / 8 + y / 8) % 2 == 0) ? 0 : 15;  // checkerboard
      }
      if (x == y + 32 || x == WIDTH - 1 - (y + 32)) value = 12;
      if (x == 0 || y == 0 || x == WIDTH - 1 || y == HEIGHT - 1) value = 15;
      s.set_pixel(x, y, value);
    }
  s.set_clut({sam(0, 0, 0), sam(0, 0, 0, true), sam(1, 1, 1), sam(1, 1, 1, true), sam(2, 2, 2), sam(2, 2, 2, true),
              sam(3, 3, 3), sam(3, 3, 3, true), sam(3, 0, 0, true), sam(0, 3, 0, true), sam(0, 0, 3, true),
              sam(3, 3, 0, true), sam(3, 0, 3, true), sam(0, 3, 3, true), sam(3, 1, 0, true),
              static_cast<std::uint8_t>(0x80 | sam(3, 3, 3, true))});
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  int status = 0;
  if (argc == 3 && std::strcmp(argv[1], "--corpus") == 0) {
    auto corpus = photo::photo_corpus();
    for (std::size_t i = 0; i < corpus.size(); ++i) {
      std::string name = std::string(argv[2]) + "/" + photo::photo_screen_name(i) + ".ss4";
      if (!write_file(name, photo::make_photo_screen(corpus[i]))) status = 1;
    }
    return status;
  }
  std::string folder = argc > 1 ? argv[1] : ".";
  struct Sample {
    const char* name;
    Screen screen;
  };
  Sample samples[] = {
      {"raster_bars.ss4", raster_bars()}, {"colour_chart.ss4", colour_chart()}, {"test_pattern.ss4", test_pattern()}};
  for (Sample& sample : samples)
    if (!write_file(folder + "/" + sample.name, sample.screen.file())) status = 1;
  return status;
}
