#pragma once
// The size of the PNG ss4topng writes: the screen rendered at scale 1 or 2,
// or, under a limit smaller than the single-size render, that render shrunk.

struct PictureSize {
  int scale = 2;  // the render is 256 x 192 times this
  // The PNG; smaller than the render only when it is shrunk.
  int width = 512;
  int height = 384;
};

// The render at a scale (1 or 2), unshrunk.
PictureSize picture_at_scale(int scale);

// The largest exact render no wider than `limit` (the screen is wider than it
// is tall); below 256 the single-size render shrunk to `limit` pixels wide
// and as near 4:3 as whole pixels allow, at least 1 pixel high. `limit` >= 1.
PictureSize picture_within(int limit);

// Whether the PNG is smaller than the render it comes from.
bool is_shrunk(const PictureSize& size);
