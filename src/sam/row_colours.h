#pragma once
// The colour of every look-up entry on every row, in each palette phase:
// the palette table's sixteen colours (main at +0, alternate at +20), then
// the line records. For each row only the first record in file order whose
// entry is below 16 counts; it takes effect from the row after its line and
// stays. Bit 7 of every colour is dropped.
#include "sam/screen_modes.h"

#include <array>
#include <cstdint>
#include <span>

using RowColours = std::array<std::array<std::uint8_t, 16>, SAM_ROWS>;

// `body` is a screen's body from its display data on, `records_at` where its
// records start (the palette table is the 40 bytes before). `alternate` may
// be null when only the main phase is wanted.
void fill_row_colours(std::span<const std::uint8_t> body, std::int32_t records_at, RowColours& main,
                      RowColours* alternate);
