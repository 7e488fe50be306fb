#pragma once
// The photo-like corpus: procedural scenes reduced to screens the way an
// encoder for the machine would, with a line change on nearly every row
// and error-diffusion dithering, so that benchmarks, tests and fuzzing see
// what real screens look like rather than flat colour. Every byte is the
// same on every machine.
#include "rgb_picture.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace photo {

struct PhotoScreen {
  RgbPicture (*paint)();
  // Records written after each line's change that change nothing, as a
  // naive encoder writes them; 0 for one record per changed row.
  int extra_records_per_line;
  bool end_mark;  // false: the table runs to the end of the file
};

std::span<const PhotoScreen> photo_corpus();

// "photo_01" for the first screen, and so on.
std::string photo_screen_name(std::size_t index);

// The whole file.
std::vector<std::uint8_t> make_photo_screen(const PhotoScreen& screen);

}  // namespace photo
