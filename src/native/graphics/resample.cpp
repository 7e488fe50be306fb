#include "native/graphics/resample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <new>
#include <vector>

namespace native {
namespace {

struct Tap {
  int index;
  float weight;
};

// For each output position, the source positions it draws from and their
// normalised weights.
std::vector<std::vector<Tap>> taps_for(int in_size, int out_size) {
  std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(out_size));
  double scale = static_cast<double>(in_size) / out_size;
  double support = std::max(scale, 1.0);
  for (int i = 0; i < out_size; ++i) {
    double centre = (i + 0.5) * scale - 0.5;
    int first = static_cast<int>(std::ceil(centre - support));
    int last = static_cast<int>(std::floor(centre + support));
    float total = 0;
    for (int j = first; j <= last; ++j) {
      auto w = static_cast<float>(1.0 - std::abs(j - centre) / support);
      if (w <= 0) continue;
      taps[i].push_back({std::clamp(j, 0, in_size - 1), w});
      total += w;
    }
    if (taps[i].empty()) {
      taps[i].push_back({std::clamp(static_cast<int>(std::lround(centre)), 0, in_size - 1), 1.0f});
      total = 1;
    }
    for (Tap& t : taps[i]) t.weight /= total;
  }
  return taps;
}

}  // namespace

namespace {

void resample_unchecked(const std::uint32_t* in, int in_width, int in_height, std::uint32_t* out, int out_width,
                        int out_height, bool premultiply) {
  auto across = taps_for(in_width, out_width);
  auto down = taps_for(in_height, out_height);
  // Channels in order blue, green, red, alpha.
  std::vector<float> wide(static_cast<std::size_t>(out_width) * in_height * 4);
  for (int y = 0; y < in_height; ++y) {
    const std::uint32_t* row = in + static_cast<std::size_t>(y) * in_width;
    for (int x = 0; x < out_width; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (const Tap& t : across[x]) {
        std::uint32_t p = row[t.index];
        float a = static_cast<float>(p >> 24);
        float k = premultiply ? t.weight * a / 255.0f : t.weight;
        acc[0] += k * static_cast<float>(p & 0xFF);
        acc[1] += k * static_cast<float>(p >> 8 & 0xFF);
        acc[2] += k * static_cast<float>(p >> 16 & 0xFF);
        acc[3] += t.weight * a;
      }
      std::copy(acc, acc + 4, &wide[(static_cast<std::size_t>(y) * out_width + x) * 4]);
    }
  }
  for (int y = 0; y < out_height; ++y) {
    for (int x = 0; x < out_width; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (const Tap& t : down[y]) {
        const float* p = &wide[(static_cast<std::size_t>(t.index) * out_width + x) * 4];
        for (int c = 0; c < 4; ++c) acc[c] += t.weight * p[c];
      }
      if (premultiply) {
        float scale = acc[3] > 0 ? 255.0f / acc[3] : 0.0f;
        for (int c = 0; c < 3; ++c) acc[c] *= scale;
      }
      std::uint32_t v = 0;
      for (int c = 0; c < 4; ++c) v |= static_cast<std::uint32_t>(std::clamp(std::lround(acc[c]), 0L, 255L)) << (8 * c);
      out[static_cast<std::size_t>(y) * out_width + x] = v;
    }
  }
}

}  // namespace

bool resample(const std::uint32_t* in, int in_width, int in_height, std::uint32_t* out, int out_width, int out_height,
              bool premultiply) {
  if (in_width <= 0 || in_height <= 0 || out_width <= 0 || out_height <= 0) return false;
  try {
    resample_unchecked(in, in_width, in_height, out, out_width, out_height, premultiply);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void resample_nearest(const std::uint32_t* in, int in_width, int in_height, std::uint32_t* out, int out_width,
                      int out_height) {
  for (int y = 0; y < out_height; ++y) {
    int sy = static_cast<int>(static_cast<long long>(y) * in_height / out_height);
    for (int x = 0; x < out_width; ++x) {
      int sx = static_cast<int>(static_cast<long long>(x) * in_width / out_width);
      out[static_cast<std::size_t>(y) * out_width + x] = in[static_cast<std::size_t>(sy) * in_width + sx];
    }
  }
}

}  // namespace native
