#pragma once
// A SAM screen mode 4 file decoded from its bytes: the look-up entry of
// every pixel, and the look-up table in force on every row once the file's
// line changes are applied. No files, windows or drawing: every front end
// (the viewer, the converter, a fuzzer) starts from here.
//
// The file: 24,576 bytes of picture (192 rows of 128 bytes, two 4-bit pixels
// a byte, high nibble first), 16 look-up bytes, 24 unused bytes, then 4-byte
// line-change records up to a line byte of 191 or more or the end of the file.
#include <array>
#include <cstdint>
#include <span>

constexpr int SCREEN_WIDTH = 256;
constexpr int SCREEN_HEIGHT = 192;
constexpr std::int32_t SCREEN_BYTES = 24576;
constexpr std::int32_t CLUT_OFFSET = 0x6000;
constexpr std::int32_t LINE_TABLE_OFFSET = 0x6028;
constexpr std::uint8_t LINE_TABLE_END = 191;
// The bytes before the line-change table plus one byte of it.
constexpr std::int32_t MIN_SS4_SIZE = 24617;

// What a file of the wrong size is told, by the viewer and the converter.
inline constexpr char16_t BAD_SIZE_TEXT[] = u"Bad size or file not exists";

enum class ScreenSize { usable, too_small, too_large };

// The size rule: at least MIN_SS4_SIZE bytes, and less than 2 GiB, since a
// screen's size is kept in 32 bits and a larger one would be cut into a
// different, smaller file.
ScreenSize screen_size_rule(std::int64_t size);

struct DecodedScreen {
  std::array<std::uint8_t, SCREEN_WIDTH * SCREEN_HEIGHT> pixels;     // look-up entries 0-15, top row first
  std::array<std::array<std::uint8_t, 16>, SCREEN_HEIGHT> row_clut;  // SAM palette indices 0-127 per row
};

// The 24,576 bytes of a mode 4 picture to one look-up entry a pixel.
void unpack_mode4_pixels(const std::uint8_t* in, std::uint8_t* out);

// Decodes a whole file's bytes, or the bytes a bounded read keeps of it (the
// fixed part, the records the picture uses and an end mark), which decode
// to the same screen. `screen` is filled only when the size is usable.
ScreenSize decode_screen(std::span<const std::uint8_t> file, DecodedScreen& screen);
