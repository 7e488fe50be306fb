#include "box_downscale.h"

#include <algorithm>
#include <cstddef>

namespace {

struct Share {
  int index;           // source pixel
  std::uint64_t part;  // how much of it falls inside
};

// Along one axis, measured in units where a source pixel is out_size long
// and an output pixel in_size long: the source pixels each output pixel
// covers and by how much. Each output pixel's parts add up to in_size.
std::vector<std::vector<Share>> shares_along(int in_size, int out_size) {
  std::vector<std::vector<Share>> shares(static_cast<std::size_t>(out_size));
  const std::int64_t in_unit = out_size, out_unit = in_size;
  for (int o = 0; o < out_size; ++o) {
    const std::int64_t start = o * out_unit, end = start + out_unit;
    for (auto i = static_cast<int>(start / in_unit); i < in_size && i * in_unit < end; ++i) {
      const std::int64_t part = std::min(end, (i + 1) * in_unit) - std::max(start, i * in_unit);
      if (part > 0) shares[static_cast<std::size_t>(o)].push_back({i, static_cast<std::uint64_t>(part)});
    }
  }
  return shares;
}

}  // namespace

std::vector<std::uint32_t> box_downscale(std::span<const std::uint32_t> in, int in_width, int in_height, int out_width,
                                         int out_height) {
  const auto across = shares_along(in_width, out_width);
  const auto down = shares_along(in_height, out_height);
  const std::uint64_t whole = static_cast<std::uint64_t>(in_width) * static_cast<std::uint64_t>(in_height);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(out_width) * static_cast<std::size_t>(out_height));
  for (int y = 0; y < out_height; ++y) {
    for (int x = 0; x < out_width; ++x) {
      std::uint64_t sums[4] = {0, 0, 0, 0};
      for (const Share& row : down[static_cast<std::size_t>(y)]) {
        const std::uint32_t* line = in.data() + static_cast<std::size_t>(row.index) * in_width;
        for (const Share& column : across[static_cast<std::size_t>(x)]) {
          const std::uint64_t weight = row.part * column.part;
          const std::uint32_t pixel = line[column.index];
          for (int c = 0; c < 4; ++c) sums[c] += weight * (pixel >> (8 * c) & 0xFF);
        }
      }
      std::uint32_t pixel = 0;
      for (int c = 0; c < 4; ++c) pixel |= static_cast<std::uint32_t>((sums[c] + whole / 2) / whole) << (8 * c);
      out[static_cast<std::size_t>(y) * out_width + x] = pixel;
    }
  }
  return out;
}
