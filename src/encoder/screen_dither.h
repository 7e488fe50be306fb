#pragma once
// Each pixel's look-up entry, under the table in force on its row.
#include "encoder/colour_space.h"
#include "encoder/screen_encoder.h"
#include "sam/screen_decoder.h"

#include <array>
#include <vector>

namespace encoder {

// Dithers a picture a row at a time, top down, so that a search can try
// tables on the rows ahead from where the rows above left off. Entries
// 0-15; `lab` holds the picture's pixels in Lab (256 x 192, top row first).
//  - none: the entry nearest in Lab;
//  - ordered: an 8 x 8 Bayer threshold added in gamma-encoded sRGB, which
//    spaces steps about as evenly as the eye does, then the nearest;
//  - diffusion: Floyd–Steinberg in Lab, serpentine, the carried error held
//    to about a palette step. In Lab each dot stays near the colour it
//    stands for; in linear light a poor table makes dots of far colours
//    that average right but look much worse.
class RowDither {
 public:
  // The error carried into the next row: all a row's dithering depends on
  // besides its table and its pixels. Plain data, cheap to copy for a trial.
  struct Carry {
    std::array<Lab, SCREEN_WIDTH + 2> error{};
  };

  // Keeps `lab`, which must outlive it.
  RowDither(const RgbPicture& picture, const std::vector<Lab>& lab, Dither mode);

  // Row y's 256 entries under `table`, from `carry` (which the call moves on
  // to the next row).
  void row(int y, const Clut& table, Carry& carry, std::uint8_t* entries) const;

 private:
  Dither mode_;
  std::vector<Lab> ordered_;  // ordered: each pixel with its threshold added
  const Lab* want_;           // what each pixel asks for before any carried error
};

}  // namespace encoder
