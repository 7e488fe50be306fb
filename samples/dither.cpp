#include "dither.h"

#include <algorithm>

namespace photo {

RowDither::RowDither(const RgbPicture& picture) : picture_(picture), carry_(RgbPicture::WIDTH + 2) {}

namespace {

// A colour with error in sixteenths added, held to what can be shown.
Rgb carried(Rgb c, Rgb error) {
  auto add = [](int v, int e) { return std::clamp(v + ((e + 8) >> 4), 0, 255); };
  return {add(c.r, error.r), add(c.g, error.g), add(c.b, error.b)};
}

}  // namespace

RowDither::Row RowDither::wanted(int y, const Clut& clut) const {
  Row row;
  std::vector<Rgb> here = carry_, below(carry_.size());
  diffuse(y, clut, here, below, &row, nullptr);
  return row;
}

void RowDither::dither_row(int y, const Clut& clut, std::span<std::uint8_t, RgbPicture::WIDTH> entries) {
  std::vector<Rgb> below(carry_.size());
  diffuse(y, clut, carry_, below, nullptr, entries.data());
  carry_ = std::move(below);
}

void RowDither::diffuse(int y, const Clut& clut, std::vector<Rgb>& here, std::vector<Rgb>& below, Row* wanted,
                        std::uint8_t* entries) const {
  constexpr int W = RgbPicture::WIDTH;
  const auto& colours = sam_rgb();
  // Odd rows run right to left, so the error does not drift one way and
  // draw diagonal streaks.
  const int step = y % 2 == 0 ? 1 : -1;
  for (int i = 0; i < W; ++i) {
    const int x = step > 0 ? i : W - 1 - i;
    const int at = x + 1;
    Rgb want = carried(picture_.at(x, y), here[at]);
    int entry = nearest_entry(want, clut);
    if (wanted) (*wanted)[x] = want;
    if (entries) entries[x] = static_cast<std::uint8_t>(entry);
    Rgb got = colours[clut[entry]];
    Rgb error = {want.r - got.r, want.g - got.g, want.b - got.b};
    auto spread = [&error](Rgb& to, int sixteenths) {
      to = to + Rgb{error.r * sixteenths, error.g * sixteenths, error.b * sixteenths};
    };
    spread(here[at + step], 7);
    spread(below[at - step], 3);
    spread(below[at], 5);
    spread(below[at + step], 1);
  }
}

}  // namespace photo
