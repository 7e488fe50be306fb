#pragma once
// The size of the picture ss4topng writes: a screen's exact render, or,
// under a limit smaller than the smallest exact render, that render shrunk.
// Modes 1, 2 and 4 render at 256 x 192 times the scale; mode 3, whose
// 512 pixels a row are half as wide as high, at 512 x 384 at either scale,
// each row twice, so that every mode keeps the display's 4:3 and loses no
// pixel.

// What the command line asks for: a scale (1 or 2), or a limit on the
// picture's longer side (--size; 0 when not given), which picks the scale.
struct SizeChoice {
  int scale = 2;
  int limit = 0;
};

struct PictureSize {
  int render_width = 512;  // the exact render
  int render_height = 384;
  int width = 512;  // the picture; smaller than the render only when shrunk
  int height = 384;
};

// For a screen of `mode` (1-4). Under a limit: the largest exact render no
// wider than it, else the smallest shrunk to `limit` pixels wide and as
// near 4:3 as whole pixels allow, at least 1 pixel high.
PictureSize picture_size(const SizeChoice& choice, int mode);

// Whether the picture is smaller than the render it comes from.
bool is_shrunk(const PictureSize& size);
