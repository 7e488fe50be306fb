#include "sam_screens.h"

#include "sam/file_header.h"
#include "sam/screen_modes.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// xorshift32: the same bytes on every machine, from any seed.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed * 2654435761u ^ 0x9E3779B9u) {
    if (state_ == 0) state_ = 1;
  }
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
  std::uint8_t byte() { return static_cast<std::uint8_t>(next() >> 24); }

 private:
  std::uint32_t state_;
};

constexpr std::array<std::array<int, 4>, 4> BAYER = {{{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}}};

// A level 0..levels-1 at (x, y): a diagonal ramp that wraps, ordered-dithered
// and jittered, so that every level turns up next to every other.
int noise_level(int x, int y, int levels, std::uint32_t seed, Random& random) {
  const int ramp = static_cast<int>((static_cast<std::uint32_t>(x * 11 + y * 7) + seed * 97) % 4096);
  const int threshold = BAYER[y & 3][x & 3] * 256 + random.below(256);
  return std::min(levels - 1, (ramp * levels + threshold) / 4096);
}

// A colour byte: 7 bits of colour, with bit 7 set now and then, which no
// reading may take as part of it.
std::uint8_t colour_byte(Random& random) {
  const int colour = random.below(128);
  return static_cast<std::uint8_t>(random.below(8) == 0 ? colour | 0x80 : colour);
}

// Another colour than `colour`'s low 7 bits.
std::uint8_t other_colour(std::uint8_t colour, Random& random) {
  return static_cast<std::uint8_t>(((colour & 0x7F) + 1 + random.below(127)) % 128);
}

void write_mode4(std::uint8_t* display, std::uint32_t seed, Random& random) {
  for (int y = 0; y < SAM_ROWS; ++y)
    for (int x = 0; x < 256; ++x) {
      const int entry = noise_level(x, y, 16, seed, random);
      display[y * 128 + x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? entry << 4 : entry);
    }
}

void write_mode3(std::uint8_t* display, std::uint32_t seed, Random& random) {
  for (int y = 0; y < SAM_ROWS; ++y)
    for (int x = 0; x < 512; ++x)
      display[y * 128 + x / 4] |= static_cast<std::uint8_t>(noise_level(x, y, 4, seed, random) << (6 - x % 4 * 2));
}

// Modes 1 and 2: a dithered bitmap, and attributes whose ink, paper and
// bright vary from cell to cell, some flashing when asked.
void write_attribute_mode(int mode, std::uint8_t* display, std::uint32_t seed, bool flash, Random& random) {
  for (int y = 0; y < SAM_ROWS; ++y) {
    const int row = mode == 1 ? ((y & 0xC0) << 5) | ((y & 7) << 8) | ((y & 0x38) << 2) : y * 32;
    for (int x = 0; x < 256; ++x)
      display[row + x / 8] |= static_cast<std::uint8_t>(noise_level(x, y, 2, seed, random) << (7 - x % 8));
  }
  const int attributes_at = mode == 1 ? 6144 : 8192;
  const int cells = mode == 1 ? 24 * 32 : SAM_ROWS * 32;
  // Mode 2's unshown bytes hold anything, flash bits included.
  if (mode == 2)
    for (int i = 6144; i < attributes_at; ++i) display[i] = random.byte();
  for (int i = 0; i < cells; ++i) {
    int attribute = random.below(128);
    // A cell whose ink and paper are the same shows no flash: such cells
    // carry the flash bit in screens that do not flash.
    const bool unseen = (attribute & 7) == (attribute >> 3 & 7);
    if (flash ? random.below(4) == 0 : unseen) attribute |= 0x80;
    display[attributes_at + i] = static_cast<std::uint8_t>(attribute);
  }
}

// The palette table: main colours, parked colours, their alternates (the
// same where shown unless the palette flashes, then several entries differ).
void write_paltab(std::uint8_t* paltab, int mode, bool flash, Random& random) {
  for (int i = 0; i < 20; ++i) paltab[i] = colour_byte(random);
  std::copy(paltab, paltab + 20, paltab + ALTERNATE_COLOURS);
  // Mode 3 shows entries 0-3 only: the others' phases may differ unseen.
  if (mode == 3 && !flash)
    for (int entry = 4; entry < 16; ++entry) paltab[ALTERNATE_COLOURS + entry] = other_colour(paltab[entry], random);
  if (!flash) return;
  const int flashing = 3 + random.below(4);
  for (int i = 0; i < flashing; ++i) {
    const int entry = random.below(16);
    paltab[ALTERNATE_COLOURS + entry] = other_colour(paltab[entry], random);
  }
  // Mode 3's four live colours are entries 0-3: one of them always flashes.
  const int live = random.below(4);
  paltab[ALTERNATE_COLOURS + live] = other_colour(paltab[live], random);
}

// Records in ascending line order, some lines twice (only the first counts).
void write_records(std::vector<std::uint8_t>& file, const ScreenRecipe& recipe, Random& random) {
  std::vector<int> lines(static_cast<std::size_t>(recipe.records));
  for (int& line : lines) line = random.below(191);
  std::sort(lines.begin(), lines.end());
  for (int line : lines) {
    const std::uint8_t a = colour_byte(random);
    const std::uint8_t b = recipe.palette_flash && random.below(2) == 0 ? other_colour(a, random) : a;
    const int entry = random.below(recipe.mode == 3 ? 4 : 16);
    file.insert(file.end(), {static_cast<std::uint8_t>(line), static_cast<std::uint8_t>(entry), a, b});
  }
}

}  // namespace

std::vector<std::uint8_t> screen_file_header(std::int64_t length, int mode) {
  return {SCREEN_FILE_TYPE,
          static_cast<std::uint8_t>(length % 16384 & 0xFF),
          static_cast<std::uint8_t>(length % 16384 >> 8),
          0x00,
          0x80,
          0xFF,
          0xFF,
          static_cast<std::uint8_t>(length / 16384),
          static_cast<std::uint8_t>(0x1E | (mode - 1) << 5)};
}

std::vector<std::uint8_t> sam_screen_file(const ScreenRecipe& recipe) {
  Random random(recipe.seed);
  const int mode = recipe.mode;
  std::vector<std::uint8_t> body(static_cast<std::size_t>(records_offset(mode)), 0);
  if (mode == 4)
    write_mode4(body.data(), recipe.seed, random);
  else if (mode == 3)
    write_mode3(body.data(), recipe.seed, random);
  else
    write_attribute_mode(mode, body.data(), recipe.seed, recipe.attribute_flash, random);
  write_paltab(body.data() + paltab_offset(mode), mode, recipe.palette_flash, random);
  write_records(body, recipe, random);
  body.push_back(0xFF);
  if (!recipe.header) return body;

  std::vector<std::uint8_t> file = screen_file_header(static_cast<std::int64_t>(body.size()), mode);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::vector<ScreenRecipe> sam_screen_corpus() {
  std::vector<ScreenRecipe> corpus;
  std::uint32_t seed = 1;
  for (int mode = 1; mode <= MODE_COUNT; ++mode)
    for (int flash = 0; flash < (mode <= 2 ? 4 : 2); ++flash)
      for (bool header : {false, true})
        for (int records : {0, 40, 127}) {
          ScreenRecipe recipe;
          recipe.mode = mode;
          recipe.seed = seed++;
          recipe.palette_flash = flash & 1;
          recipe.attribute_flash = flash & 2;
          recipe.header = header;
          recipe.records = records;
          recipe.name = "mode" + std::to_string(mode) + (recipe.palette_flash ? "-palette-flash" : "") +
                        (recipe.attribute_flash ? "-attribute-flash" : "") + (header ? "-header" : "") + "-records" +
                        std::to_string(records);
          corpus.push_back(recipe);
        }
  return corpus;
}
