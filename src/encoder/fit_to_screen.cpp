// Resampling in linear light, one axis at a time: each output pixel takes
// the exact mean of the source area it covers when shrinking (so fine detail
// averages instead of aliasing), and a bilinear blend of its two nearest
// source pixels when enlarging (a box would only make blocks).
#include "encoder/colour_space.h"
#include "encoder/screen_encoder.h"
#include "screen/screen_decoder.h"

#include <algorithm>
#include <cmath>

namespace {

struct Tap {
  int source;
  float weight;
};

// For each of `count` output pixels, the source pixels and weights that
// make it, covering source positions [start, start + span) of `size`.
std::vector<std::vector<Tap>> axis_taps(int count, double start, double span, int size) {
  std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(count));
  const double step = span / count;
  for (int i = 0; i < count; ++i) {
    auto& out = taps[static_cast<std::size_t>(i)];
    if (step >= 1.0) {
      const double from = start + i * step, to = from + step;
      for (int s = static_cast<int>(std::floor(from)); s < to && s < size; ++s) {
        const double cover = std::min<double>(to, s + 1) - std::max<double>(from, s);
        if (s >= 0 && cover > 0) out.push_back({s, static_cast<float>(cover / step)});
      }
    } else {
      const double centre = start + (i + 0.5) * step - 0.5;
      const int left = static_cast<int>(std::floor(centre));
      const float t = static_cast<float>(centre - left);
      out.push_back({std::clamp(left, 0, size - 1), 1.0f - t});
      out.push_back({std::clamp(left + 1, 0, size - 1), t});
    }
  }
  return taps;
}

}  // namespace

RgbPicture fit_to_screen(const RgbPicture& picture, bool crop) {
  RgbPicture out{SCREEN_WIDTH, SCREEN_HEIGHT,
                 std::vector<std::uint8_t>(static_cast<std::size_t>(SCREEN_WIDTH * SCREEN_HEIGHT * 3), 0)};
  const int w = picture.width, h = picture.height;
  if (w <= 0 || h <= 0 || picture.rgb.size() < static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3)
    return out;

  // Where the picture lands on the screen, and which part of it is used.
  const double fit = std::min(double{SCREEN_WIDTH} / w, double{SCREEN_HEIGHT} / h);
  const double fill = std::max(double{SCREEN_WIDTH} / w, double{SCREEN_HEIGHT} / h);
  int out_w = SCREEN_WIDTH, out_h = SCREEN_HEIGHT;
  double src_x = 0, src_y = 0, src_w = w, src_h = h;
  if (crop) {
    src_w = SCREEN_WIDTH / fill;
    src_h = SCREEN_HEIGHT / fill;
    src_x = (w - src_w) / 2;
    src_y = (h - src_h) / 2;
  } else {
    out_w = std::clamp(static_cast<int>(std::lround(w * fit)), 1, SCREEN_WIDTH);
    out_h = std::clamp(static_cast<int>(std::lround(h * fit)), 1, SCREEN_HEIGHT);
  }
  const int left = (SCREEN_WIDTH - out_w) / 2, top = (SCREEN_HEIGHT - out_h) / 2;
  const auto across = axis_taps(out_w, src_x, src_w, w);
  const auto down = axis_taps(out_h, src_y, src_h, h);

  // Across first, only the source rows some output row needs.
  std::vector<char> needed(static_cast<std::size_t>(h), 0);
  for (const auto& row : down)
    for (const Tap& t : row) needed[static_cast<std::size_t>(t.source)] = 1;
  std::vector<float> narrowed(static_cast<std::size_t>(out_w) * static_cast<std::size_t>(h) * 3, 0.0f);
  for (int y = 0; y < h; ++y) {
    if (!needed[static_cast<std::size_t>(y)]) continue;
    const std::uint8_t* src = picture.rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 3;
    float* dst = narrowed.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(out_w) * 3;
    for (int x = 0; x < out_w; ++x)
      for (const Tap& t : across[static_cast<std::size_t>(x)])
        for (int c = 0; c < 3; ++c) dst[x * 3 + c] += t.weight * encoder::linear_level(src[t.source * 3 + c]);
  }
  for (int y = 0; y < out_h; ++y) {
    std::uint8_t* dst = out.rgb.data() + (static_cast<std::size_t>(top + y) * SCREEN_WIDTH + left) * 3;
    for (int x = 0; x < out_w; ++x)
      for (int c = 0; c < 3; ++c) {
        float sum = 0;
        for (const Tap& t : down[static_cast<std::size_t>(y)])
          sum += t.weight * narrowed[(static_cast<std::size_t>(t.source) * static_cast<std::size_t>(out_w) +
                                      static_cast<std::size_t>(x)) *
                                         3 +
                                     static_cast<std::size_t>(c)];
        dst[x * 3 + c] = encoder::srgb_level(sum);
      }
  }
  return out;
}
