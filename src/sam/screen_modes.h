#pragma once
// Where each screen mode keeps its picture, palette table and line records.
// A screen file's body is the display data, the 40-byte palette table
// (PALTAB) and the line records, ended by a line byte of 191 or more.
#include <cstdint>

constexpr int MODE_COUNT = 4;
constexpr int PALTAB_BYTES = 40;
// The alternate phase's colours follow the main ones at this distance.
constexpr int ALTERNATE_COLOURS = 20;
constexpr int SAM_ROWS = 192;
constexpr int WIDEST_ROW = 512;  // mode 3

// Modes 1 to 4.
constexpr std::int32_t display_bytes(int mode) { return mode == 1 ? 6912 : mode == 2 ? 14336 : 24576; }
constexpr std::int32_t paltab_offset(int mode) { return display_bytes(mode); }
constexpr std::int32_t records_offset(int mode) { return display_bytes(mode) + PALTAB_BYTES; }
// The display, the palette table and one byte of the records: the least a
// screen of the mode can be (the viewer's rule for mode 4).
constexpr std::int32_t least_body(int mode) { return records_offset(mode) + 1; }
// The most a screen is when BASIC wrote it: 127 records and the end mark.
constexpr std::int32_t most_written_body(int mode) { return records_offset(mode) + 127 * 4 + 1; }
// Pixels a row: mode 3's are half as wide, so the same display holds 512.
constexpr int picture_width(int mode) { return mode == 3 ? 512 : 256; }
