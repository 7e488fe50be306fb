#pragma once
// A SAM screen of any mode, decoded from its body: the look-up entry of
// every pixel in both attribute phases, and the colour of every entry on
// every row in both palette phases. One frame of the screen is a pair of
// phases; the main frame is (0, 0).
#include "sam/row_colours.h"
#include "sam/screen_modes.h"

#include <array>
#include <cstdint>
#include <span>

struct SamScreen {
  int mode = 4;
  int width = 256;  // 512 in mode 3, whose pixels are half as wide
  // Look-up entries 0-15, `width` a row, top row first. Mode 3's entries are
  // those the hardware shows (pixel values 1 and 2 show entries 2 and 1).
  std::array<std::uint8_t, WIDEST_ROW * SAM_ROWS> entries;
  // The same where attribute flash has swapped ink and paper (modes 1 and
  // 2); a copy of `entries` otherwise.
  std::array<std::uint8_t, WIDEST_ROW * SAM_ROWS> flashed_entries;
  std::array<RowColours, 2> row_colours;  // main and alternate palette phase
  bool palette_flashes = false;           // the phases show different colours somewhere
  bool attributes_flash = false;          // some shown cell swaps ink and paper
};

// Decodes the body of a mode 1-4 screen: at least least_body(mode) bytes.
void decode_sam_screen(int mode, std::span<const std::uint8_t> body, SamScreen& screen);

// The SAM colour (0-127) of the pixel at (x, y) in a frame.
inline std::uint8_t frame_colour(const SamScreen& s, int palette_phase, int attribute_phase, int x, int y) {
  const auto& entries = attribute_phase ? s.flashed_entries : s.entries;
  return s.row_colours[palette_phase][y][entries[y * s.width + x]];
}

// A frame's SAM colours, `width` × 192, top row first, into `out`.
void frame_colours(const SamScreen& s, int palette_phase, int attribute_phase, std::span<std::uint8_t> out);
