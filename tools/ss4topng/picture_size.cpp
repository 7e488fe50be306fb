#include "picture_size.h"

#include <algorithm>

namespace {

constexpr int SCREEN_WIDTH = 256;
constexpr int SCREEN_HEIGHT = 192;

PictureSize render(int width, int height) { return {width, height, width, height}; }

}  // namespace

PictureSize picture_size(const SizeChoice& choice, int mode) {
  int scale = choice.scale;
  if (choice.limit) scale = choice.limit >= 2 * SCREEN_WIDTH ? 2 : 1;
  PictureSize size =
      mode == 3 ? render(2 * SCREEN_WIDTH, 2 * SCREEN_HEIGHT) : render(SCREEN_WIDTH * scale, SCREEN_HEIGHT * scale);
  if (choice.limit && choice.limit < size.render_width) {
    // limit * 3 / 4, rounded half up.
    size.width = choice.limit;
    size.height = std::max((choice.limit * SCREEN_HEIGHT * 2 + SCREEN_WIDTH) / (SCREEN_WIDTH * 2), 1);
  }
  return size;
}

bool is_shrunk(const PictureSize& size) { return size.width != size.render_width || size.height != size.render_height; }
