#include "sam/zx_screen.h"

#include <algorithm>

namespace {

// Colours are green, red and blue high bits (6, 5, 4), the half step (3),
// and their low bits (2, 1, 0). Entries 0-7 are the Spectrum's colours in
// its order (blue, red and green in bits 0-2 of the entry number) at the
// high bit alone, white with the half step as well; 8-15 the same at both
// bits, and white at full; then mode 3's black, blue, red and white.
constexpr std::uint8_t MAIN_COLOURS[ALTERNATE_COLOURS] = {
    0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x78,  // black ... white
    0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x7F,  // the same, bright
    0x00, 0x11, 0x22, 0x7F,                          // mode 3's four
};

constexpr std::array<std::uint8_t, PALTAB_BYTES> both_phases() {
  std::array<std::uint8_t, PALTAB_BYTES> table{};
  for (int i = 0; i < PALTAB_BYTES; ++i) table[i] = MAIN_COLOURS[i % ALTERNATE_COLOURS];
  return table;
}

}  // namespace

const std::array<std::uint8_t, PALTAB_BYTES> DEFAULT_PALTAB = both_phases();

SpectrumScreenBody spectrum_screen_body(std::span<const std::uint8_t> display) {
  SpectrumScreenBody body;
  std::copy_n(display.begin(), display_bytes(1), body.begin());
  std::copy(DEFAULT_PALTAB.begin(), DEFAULT_PALTAB.end(), body.begin() + paltab_offset(1));
  body[records_offset(1)] = 0xFF;
  return body;
}
