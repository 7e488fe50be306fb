#pragma once
// Choosing a screen's colours the way an encoder for the machine would: a
// look-up table for the whole picture to start with, then on each row the
// one line change that most lowers that row's error.
#include "rgb_picture.h"
#include "sam_colours.h"

#include <optional>
#include <span>

namespace photo {

// Sixteen palette indices picked one at a time, each the one that most
// lowers the error over a sample of the whole picture.
Clut starting_clut(const RgbPicture& picture);

struct LineChange {
  int entry;
  int colour;
};

// The change of one entry that most lowers a row's error (the sum of each
// pixel's distance to its nearest entry) under `clut`; none when no change
// helps.
std::optional<LineChange> best_line_change(std::span<const Rgb> row, const Clut& clut);

}  // namespace photo
