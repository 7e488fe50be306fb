#pragma once
// Small pixel buffers for the export tests: rows padded like image rows, in
// blue, green, red (and alpha) order.
#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  std::int32_t width;
  std::int32_t height;
  std::int32_t bytes_per_pixel;
  std::int32_t stride;
  std::vector<std::uint8_t> bytes;

  Picture(std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t extra_stride = 0)
      : width(w),
        height(h),
        bytes_per_pixel(bpp),
        stride((w * bpp + 3) / 4 * 4 + extra_stride),
        bytes(static_cast<std::size_t>(stride) * h, 0xEE) {}

  std::uint8_t* at(std::int32_t x, std::int32_t y) {
    return bytes.data() + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * bytes_per_pixel;
  }
  void set(std::int32_t x, std::int32_t y, std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a = 255) {
    std::uint8_t* p = at(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
    if (bytes_per_pixel == 4) p[3] = a;
  }
  void fill(std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a = 255) {
    for (std::int32_t y = 0; y < height; ++y)
      for (std::int32_t x = 0; x < width; ++x) set(x, y, b, g, r, a);
  }
  const std::uint8_t* data() const { return bytes.data(); }
};

// A varied picture: smooth ramps with a few hard edges, every pixel opaque.
inline Picture ramp_picture(std::int32_t w, std::int32_t h, std::int32_t bpp) {
  Picture p(w, h, bpp);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      p.set(x, y, static_cast<std::uint8_t>(x * 255 / (w > 1 ? w - 1 : 1)),
            static_cast<std::uint8_t>(y * 255 / (h > 1 ? h - 1 : 1)),
            static_cast<std::uint8_t>(((x / 3 + y / 2) % 2) ? 220 : 30));
  return p;
}
