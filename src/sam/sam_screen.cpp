#include "sam/sam_screen.h"

#include "sam/screen_decoder.h"

#include <algorithm>

namespace {

constexpr int ATTRIBUTE_FLASH = 0x80;
constexpr int ATTRIBUTE_BRIGHT = 0x40;

// Where row y's bitmap starts in mode 1: the ZX Spectrum's thirds, each of
// eight character rows of eight pixel rows.
int mode1_row(int y) { return ((y & 0xC0) << 5) | ((y & 7) << 8) | ((y & 0x38) << 2); }

// Modes 1 and 2: one bit a pixel, ink where set, paper where clear, from an
// attribute byte for each eight pixels; bright lifts both to entries 8-15.
void decode_attribute_mode(int mode, const std::uint8_t* body, SamScreen& s) {
  for (int y = 0; y < SAM_ROWS; ++y) {
    const std::uint8_t* bits = body + (mode == 1 ? mode1_row(y) : y * 32);
    const std::uint8_t* attributes = body + (mode == 1 ? 6144 + (y / 8) * 32 : 8192 + y * 32);
    std::uint8_t* main = s.entries.data() + y * 256;
    std::uint8_t* flashed = s.flashed_entries.data() + y * 256;
    for (int c = 0; c < 32; ++c) {
      const int a = attributes[c];
      const int bright = a & ATTRIBUTE_BRIGHT ? 8 : 0;
      const auto ink = static_cast<std::uint8_t>((a & 7) + bright);
      const auto paper = static_cast<std::uint8_t>((a >> 3 & 7) + bright);
      const bool flash = a & ATTRIBUTE_FLASH && ink != paper;
      s.attributes_flash |= flash;
      for (int b = 0; b < 8; ++b) {
        const bool set = bits[c] & (0x80 >> b);
        main[c * 8 + b] = set ? ink : paper;
        flashed[c * 8 + b] = set != flash ? ink : paper;
      }
    }
  }
}

// Mode 3: four pixels a byte, leftmost in bits 7-6; the hardware swaps
// entries 1 and 2.
void decode_mode3(const std::uint8_t* body, SamScreen& s) {
  static constexpr std::uint8_t SHOWN[4] = {0, 2, 1, 3};
  for (int i = 0; i < display_bytes(3); ++i)
    for (int p = 0; p < 4; ++p) s.entries[i * 4 + p] = SHOWN[body[i] >> (6 - 2 * p) & 3];
}

// Whether the two palette phases show any pixel in different colours.
bool phases_differ(const SamScreen& s) {
  for (int y = 0; y < SAM_ROWS; ++y) {
    if (s.row_colours[0][y] == s.row_colours[1][y]) continue;
    std::array<bool, 16> used{};
    for (int x = 0; x < s.width; ++x) {
      used[s.entries[y * s.width + x]] = true;
      used[s.flashed_entries[y * s.width + x]] = true;
    }
    for (int i = 0; i < 16; ++i)
      if (used[i] && s.row_colours[0][y][i] != s.row_colours[1][y][i]) return true;
  }
  return false;
}

}  // namespace

void decode_sam_screen(int mode, std::span<const std::uint8_t> body, SamScreen& s) {
  s.mode = mode;
  s.width = picture_width(mode);
  s.attributes_flash = false;
  if (mode <= 2) {
    decode_attribute_mode(mode, body.data(), s);
  } else {
    if (mode == 3)
      decode_mode3(body.data(), s);
    else
      unpack_mode4_pixels(body.data(), s.entries.data());
    std::copy_n(s.entries.begin(), s.width * SAM_ROWS, s.flashed_entries.begin());
  }
  fill_row_colours(body, records_offset(mode), s.row_colours[0], &s.row_colours[1]);
  s.palette_flashes = phases_differ(s);
}

void frame_colours(const SamScreen& s, int palette_phase, int attribute_phase, std::span<std::uint8_t> out) {
  const auto& entries = attribute_phase ? s.flashed_entries : s.entries;
  for (int y = 0; y < SAM_ROWS; ++y) {
    const auto& colours = s.row_colours[palette_phase][y];
    for (int x = 0; x < s.width; ++x) out[y * s.width + x] = colours[entries[y * s.width + x]];
  }
}
