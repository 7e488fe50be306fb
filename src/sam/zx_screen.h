#pragma once
// A ZX Spectrum screen, as Spectrum disk systems store it on a SAM disk:
// 6,912 bytes of display (the bitmap, then the attributes), the layout of
// the SAM's mode 1, but no palette table. The SAM shows such a screen in
// mode 1 with the colours BASIC starts with, so that is what it becomes: a
// mode 1 body with those colours in both phases (nothing flashes but the
// attributes' own flash).
#include "sam/screen_modes.h"

#include <array>
#include <cstdint>
#include <span>

// The palette table BASIC sets up at start and restores with a bare
// PALETTE: entries 0-7 the eight plain colours, 8-15 the same made bright
// (bright black stays black), the four parked mode 3 colours, and the same
// twenty again for the alternate phase.
extern const std::array<std::uint8_t, PALTAB_BYTES> DEFAULT_PALTAB;

using SpectrumScreenBody = std::array<std::uint8_t, least_body(1)>;

// The mode 1 body of the screen whose display is the first 6,912 bytes
// (display_bytes(1)) of `display`, which must hold them: the display, DEFAULT_PALTAB and the
// records' end mark.
SpectrumScreenBody spectrum_screen_body(std::span<const std::uint8_t> display);
