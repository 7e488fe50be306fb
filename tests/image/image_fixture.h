#pragma once
// A fresh runtime with the image services started for every test, and
// helpers that look at an image's bytes the way a picture is seen: (x, y)
// with y = 0 at the top, over bottom-up rows.
#include "runtime_fixture.h"

#include "image/images.h"

#include <cstdint>
#include <vector>

class ImageTest : public RuntimeTest {
 protected:
  void SetUp() override;
  // Also proves that no bitmap, device context or brush outlived the test.
  void TearDown() override;
};

// A copy of a whole pixel buffer, padding included.
struct Pixels {
  int width = 0;
  int height = 0;
  int stride = 0;
  int bytes = 0;  // per pixel
  std::vector<std::uint8_t> data;

  std::uint8_t* at(int x, int y) { return &data[static_cast<std::size_t>((height - 1 - y) * stride + x * bytes)]; }
};

// The image's buffer as it is now.
Pixels snapshot(ObjectId number);
// Writes a copy back into the image.
void restore(ObjectId number, const Pixels& pixels);
// Fills every byte of the image, padding included, with a pattern that
// differs from byte to byte, so a stray or missing write shows.
Pixels fill_pattern(ObjectId number, unsigned seed = 0);
// The image's pixel memory.
std::uint8_t* image_bits(ObjectId number);
// The image's record.
ImageRecord* image_record(ObjectId number);

// Runs a drawing pass on an image: start, the body, stop.
template <class Body>
void draw_on(ObjectId number, Body body) {
  if (start_drawing(image_output(number))) body();
  stop_drawing();
}
