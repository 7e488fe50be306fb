#pragma once
// Pictures for the encoder's tests and benchmark, in full colour before any
// reduction to the machine's: the corpus's photo-like scenes with their
// grain, and what else photographs are made of (a face close up, a clear
// sky, foliage, a smooth gradient, text). Integer maths only, so every machine
// makes the same pixels.
#include "encoder/screen_encoder.h"

#include <span>

namespace full_colour {

struct NamedPicture {
  const char* name;
  RgbPicture (*make)();
};

// Every picture below and every corpus scene, by name.
std::span<const NamedPicture> all_pictures();

RgbPicture gradient();  // every hue from top to bottom, dark at the left and pale at the right
RgbPicture sky();       // deep blue overhead to pale at the horizon, a little grain
RgbPicture face();      // a face filling the frame: skin lit from one side, hair, eyes, lips
RgbPicture foliage();   // overlapping leaves in many greens, light and shade, gaps of sky
RgbPicture text();      // black strokes on white, like handwriting: no line change helps

}  // namespace full_colour
