#pragma once
// What the viewer knows about the screen it shows: one instance for the whole
// run, owned by the main program.
#include "sam/sam_colour.h"

#include <array>
#include <cstdint>
#include <string>

struct ViewerState {
  std::u16string file_name;     // empty when nothing is loaded
  std::int32_t file_size = -1;  // the file's size; -1 when nothing is loaded
  // A memory block: the file's first LINE_TABLE_OFFSET bytes as they are,
  // then the line-change records the picture uses, ended by a line byte of
  // LINE_TABLE_END. data_size bytes of it are meaningful.
  std::uint8_t* file_data = nullptr;
  std::int32_t data_size = 0;
  std::int32_t scale = 2;               // 1 or 2
  std::array<std::int32_t, 16> clut{};  // SAM palette indices, 0-127
  std::array<Colour, 128> palette{};    // colour of each SAM palette index
};

ViewerState& viewer_state();
