#pragma once
// The error seen at viewing distance. Close up the eye sees each dot; from
// a normal distance it averages neighbouring dots into one colour, which is
// what dithering counts on. So both pictures are blurred with a Gaussian of
// σ = 1 pixel, in linear light (the eye averages light, not sRGB levels or
// Lab), and only then compared in CIELAB.
#include "encoder/colour_space.h"
#include "encoder/screen_encoder.h"

#include <cmath>
#include <memory>
#include <vector>

namespace encoder {

// A picture in linear light, top row first.
struct LinearPicture {
  int width = 0, height = 0;
  std::vector<Linear> pixels;
};

LinearPicture linear_picture(const RgbPicture& picture);

// Mean ΔE between two pictures of the same size, both as seen; 0 when
// either is empty or their sizes differ.
double seen_error(const RgbPicture& picture, const RgbPicture& shown);

// The seen error against a picture of what is shown, built a row at a time
// top down, for a search that tries the rows ahead in different ways: rows
// shown stay until shown again, and the rows below the last shown are taken
// to go on as it does. Beyond the picture's edges its edge pixels go on.
class SeenRows {
 public:
  explicit SeenRows(const LinearPicture& picture);

  // Shows row y: the picture's width of pixels, in linear light.
  void show_row(int y, const Linear* row);
  // Total ΔE over rows [first, last) with rows [0, shown) shown; or, once
  // it passes `bound`, some total beyond it.
  double error(int first, int last, int shown, double bound = HUGE_VAL) const;

 private:
  // Three planes of floats, a component each, so that the loops vectorise.
  // Left as allocated: every row is written before it is read.
  struct Planes {
    std::unique_ptr<float[]> c[3];
    Planes(int width, int height);
    float* row(int plane, int y, int width) {
      return &c[plane][static_cast<std::size_t>(y) * static_cast<std::size_t>(width)];
    }
    const float* row(int plane, int y, int width) const {
      return &c[plane][static_cast<std::size_t>(y) * static_cast<std::size_t>(width)];
    }
  };

  // Row y as seen, in Lab, with rows [0, shown) shown.
  void seen_row(int y, int shown, float* l, float* a, float* b) const;

  int width_, height_;
  Planes picture_;  // the picture as seen, in Lab
  Planes across_;   // the rows shown, blurred across, in linear light
  std::vector<float> padded_;
  mutable std::vector<float> down_;  // a row blurred down, in linear light
};

}  // namespace encoder
