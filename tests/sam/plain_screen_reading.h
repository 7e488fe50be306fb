#pragma once
// A second reading of a SAM screen file, written straight from the format
// notes, one pixel at a time and nothing shared with src/sam: the yardstick
// the decoder is held against.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

struct PlainScreen {
  int width = 256;  // 512 in mode 3
  // The SAM colour (0-127) of every pixel, `width` × 192 from the top left,
  // for each [palette phase][attribute phase].
  std::array<std::array<std::vector<std::uint8_t>, 2>, 2> colours;
};

// `file` is a whole screen file of `mode` (1-4), after a 9-byte header when
// `header`.
PlainScreen plain_screen_reading(std::span<const std::uint8_t> file, int mode, bool header);
