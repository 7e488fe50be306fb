#pragma once
// Floyd–Steinberg error diffusion, a row at a time so that each row is
// dithered with the look-up table in force on it. All in integers: the
// same bytes on every machine.
#include "rgb_picture.h"
#include "sam_colours.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace photo {

class RowDither {
 public:
  using Row = std::array<Rgb, RgbPicture::WIDTH>;

  explicit RowDither(const RgbPicture& picture);

  // The colours row y asks for when dithered with `clut`: the picture's,
  // with the error carried into each pixel. Nothing is dithered yet.
  Row wanted(int y, const Clut& clut) const;

  // Row y's look-up entries, into `entries`. Rows come from the top down,
  // each once.
  void dither_row(int y, const Clut& clut, std::span<std::uint8_t, RgbPicture::WIDTH> entries);

 private:
  // Dithers row y with the error carried into it from above in `here`,
  // leaving the error for the row below in `below`; `wanted` and
  // `entries`, where given, get each pixel's colour with its error and the
  // entry chosen.
  void diffuse(int y, const Clut& clut, std::vector<Rgb>& here, std::vector<Rgb>& below, Row* wanted,
               std::uint8_t* entries) const;

  const RgbPicture& picture_;
  // Error carried into the next row, in sixteenths, with a spare pixel at
  // each side so that the edges need no tests.
  std::vector<Rgb> carry_;
};

}  // namespace photo
