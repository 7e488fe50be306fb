#include "screen/sam_palette.h"

void build_palette() {
  ViewerState& v = viewer_state();
  for (int i = 0; i < 128; ++i) {
    if (i < 16) v.clut[i] = i;
    v.palette[i] = sam_colour(i);
  }
}
