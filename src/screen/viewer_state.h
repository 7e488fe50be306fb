#pragma once
// What the viewer knows about the screen it shows: one instance for the whole
// run, owned by the main program.
#include <array>
#include <cstdint>
#include <string>

using Colour = std::uint32_t;  // 0x00BBGGRR

struct ViewerState {
  std::u16string file_name;           // empty when nothing is loaded
  std::int32_t file_size = -1;        // -1 when nothing is loaded
  std::uint8_t* file_data = nullptr;  // the whole file, a memory block
  std::int32_t scale = 2;             // 1 or 2
  std::array<std::int32_t, 16> clut{};     // SAM palette indices, 0-127
  std::array<Colour, 128> palette{};       // colour of each SAM palette index
};

ViewerState& viewer_state();
