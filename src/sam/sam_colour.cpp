#include "sam/sam_colour.h"

namespace {
int bit(int value, int n) { return (value >> n) & 1; }
}  // namespace

Colour sam_colour(int i) {
  int bright = bit(i, 3);
  int red = bit(i, 5) * 4 + bit(i, 1) * 2 + bright;
  int green = bit(i, 6) * 4 + bit(i, 2) * 2 + bright;
  int blue = bit(i, 4) * 4 + bit(i, 0) * 2 + bright;
  return rgb(colour_levels[red], colour_levels[green], colour_levels[blue]);
}
