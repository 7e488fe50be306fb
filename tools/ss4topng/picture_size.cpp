#include "picture_size.h"

#include <algorithm>

namespace {

constexpr int SCREEN_WIDTH = 256;
constexpr int SCREEN_HEIGHT = 192;

}  // namespace

PictureSize picture_at_scale(int scale) { return {scale, SCREEN_WIDTH * scale, SCREEN_HEIGHT * scale}; }

PictureSize picture_within(int limit) {
  if (limit >= 2 * SCREEN_WIDTH) return picture_at_scale(2);
  if (limit >= SCREEN_WIDTH) return picture_at_scale(1);
  // limit * 3 / 4, rounded half up.
  int height = (limit * SCREEN_HEIGHT * 2 + SCREEN_WIDTH) / (SCREEN_WIDTH * 2);
  return {1, limit, std::max(height, 1)};
}

bool is_shrunk(const PictureSize& size) {
  return size.width != SCREEN_WIDTH * size.scale || size.height != SCREEN_HEIGHT * size.scale;
}
