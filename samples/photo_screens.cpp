#include "photo_screens.h"

#include "dither.h"
#include "line_palette.h"
#include "photo_scenes.h"
#include "sam/screen_decoder.h"
#include "value_noise.h"

#include <algorithm>
#include <array>
#include <optional>

namespace photo {

namespace {

// Every fourth screen and the last have long tables, as a naive encoder
// writes them; two of those run to the end of the file, and photo_16 is
// larger than the 64 KiB the fuzzers take.
constexpr PhotoScreen corpus[] = {
    {sunset, 0, true},   {marble, 0, true},     {clouds, 0, true},     {portrait, 15, true}, {hills, 0, true},
    {wood, 0, true},     {night_city, 0, true}, {fruit, 23, false},    {dunes, 0, true},     {fire, 0, true},
    {forest, 0, true},   {spectrum, 31, true},  {underwater, 0, true}, {bokeh, 0, true},     {mountains, 0, true},
    {bricks, 63, false}, {aurora, 0, true},     {pebbles, 11, true},
};

void add_record(std::vector<std::uint8_t>& file, int line, int entry, int colour) {
  file.insert(file.end(), {static_cast<std::uint8_t>(line), static_cast<std::uint8_t>(entry),
                           static_cast<std::uint8_t>(colour), 0});
}

}  // namespace

std::span<const PhotoScreen> photo_corpus() { return corpus; }

std::string photo_screen_name(std::size_t index) {
  std::string number = std::to_string(index + 1);
  return "photo_" + std::string(number.size() < 2 ? 1 : 0, '0') + number;
}

std::vector<std::uint8_t> make_photo_screen(const PhotoScreen& screen) {
  RgbPicture picture = screen.paint();
  picture.add_grain();
  std::vector<std::uint8_t> file(LINE_TABLE_OFFSET, 0);
  Clut clut = starting_clut(picture);
  std::copy(clut.begin(), clut.end(), file.begin() + CLUT_OFFSET);

  RowDither dither(picture);
  std::array<std::uint8_t, SCREEN_WIDTH> entries;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    if (y > 0) {
      // A record on line y - 1 takes effect from row y.
      const int line = y - 1;
      RowDither::Row wanted = dither.wanted(y, clut);
      std::optional<LineChange> change = best_line_change(wanted, clut);
      if (change) {
        clut[change->entry] = static_cast<std::uint8_t>(change->colour);
        add_record(file, line, change->entry, change->colour);
      }
      // Only the first usable record of a line counts, and none with an
      // entry of 16 or more; a line without a change gets only those.
      for (int k = 0; k < screen.extra_records_per_line; ++k) {
        std::uint32_t h = hash(line, k, 1);
        int entry = change ? static_cast<int>(h % 32) : 16 + static_cast<int>(h % 16);
        add_record(file, line, entry, static_cast<int>(h >> 8) % 128);
      }
    }
    dither.dither_row(y, clut, entries);
    for (int x = 0; x < SCREEN_WIDTH; x += 2)
      file[static_cast<std::size_t>(y * SCREEN_WIDTH / 2 + x / 2)] =
          static_cast<std::uint8_t>(entries[x] << 4 | entries[x + 1]);
  }
  if (screen.end_mark) file.push_back(LINE_TABLE_END);
  return file;
}

}  // namespace photo
