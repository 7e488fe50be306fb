#include "sam/frame_pixels.h"

#include "sam/sam_colour.h"

#include <array>
#include <cstring>

int shown_width(const SamScreen& screen) { return screen.width; }
int shown_height(const SamScreen& screen) { return screen.width == WIDEST_ROW ? 2 * SAM_ROWS : SAM_ROWS; }

void frame_pixels(const SamScreen& screen, int palette_phase, int attribute_phase, ChannelOrder order,
                  std::uint8_t* out, std::ptrdiff_t stride) {
  const int width = shown_width(screen);
  const int repeat = shown_height(screen) / SAM_ROWS;
  const auto& entries = attribute_phase ? screen.flashed_entries : screen.entries;
  const int first = order == ChannelOrder::rgb ? 0 : 16, last = 16 - first;
  for (int y = 0; y < SAM_ROWS; ++y) {
    // The row's sixteen colours first: one look-up a pixel.
    std::array<std::array<std::uint8_t, 3>, 16> colours;
    for (int i = 0; i < 16; ++i) {
      const Colour c = sam_colour(screen.row_colours[palette_phase][y][i]);
      colours[i] = {static_cast<std::uint8_t>(c >> first), static_cast<std::uint8_t>(c >> 8),
                    static_cast<std::uint8_t>(c >> last)};
    }
    const std::uint8_t* row = entries.data() + y * width;
    std::uint8_t* line = out + y * repeat * stride;
    for (int x = 0; x < width; ++x) std::memcpy(line + 3 * x, colours[row[x]].data(), 3);
    for (int r = 1; r < repeat; ++r) std::memcpy(line + r * stride, line, static_cast<std::size_t>(3 * width));
  }
}
