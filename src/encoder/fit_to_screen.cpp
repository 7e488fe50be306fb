// Resampling in linear light, one axis at a time: each output pixel takes
// the exact mean of the source area it covers when shrinking (so fine detail
// averages instead of aliasing), and a bilinear blend of its two nearest
// source pixels when enlarging (a box would only make blocks). Source rows
// are narrowed to the output's width as the output rows need them and added
// into one output row at a time, so nothing as tall as the source is held.
#include "encoder/fit_to_screen.h"

#include "encoder/colour_space.h"
#include "sam/screen_decoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace {

struct Tap {
  int source;
  float weight;
};

// The source pixels and weights that make output pixel `i` of `count`,
// covering source positions [start, start + span) of `size`.
void pixel_taps(int i, int count, double start, double span, int size, std::vector<Tap>& out) {
  out.clear();
  const double step = span / count;
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

// Where the seen picture's first pixel is stored, and how far on in bytes
// the next pixel to its right and the next one below are.
struct SeenLayout {
  const std::uint8_t* origin;
  std::ptrdiff_t across, down;
};

SeenLayout seen_layout(const PictureView& p) {
  const std::ptrdiff_t pixel = p.channels, row = p.rowstride;
  const std::ptrdiff_t right = (p.width - 1) * pixel, bottom = (p.height - 1) * row;
  switch (p.orientation) {
    case 2: return {p.pixels + right, -pixel, row};
    case 3: return {p.pixels + right + bottom, -pixel, -row};
    case 4: return {p.pixels + bottom, pixel, -row};
    case 5: return {p.pixels, row, pixel};
    case 6: return {p.pixels + bottom, -row, pixel};
    case 7: return {p.pixels + right + bottom, -row, -pixel};
    case 8: return {p.pixels + right, row, -pixel};
    default: return {p.pixels, pixel, row};
  }
}

// Seen rows narrowed to the output's width, in linear light. The last two
// are kept: neighbouring output rows share their boundary rows.
class NarrowedRows {
 public:
  NarrowedRows(const PictureView& picture, std::vector<std::vector<Tap>> across, int seen_width)
      : layout_(seen_layout(picture)), alpha_(picture.channels == 4), across_(std::move(across)) {
    const int out_w = static_cast<int>(across_.size());
    first_ = seen_width;
    for (const auto& taps : across_)
      for (const Tap& t : taps) {
        first_ = std::min(first_, t.source);
        last_ = std::max(last_, t.source);
      }
    linear_.resize(static_cast<std::size_t>(std::max(0, last_ - first_ + 1)) * 3);
    for (Slot& slot : slots_) slot.values.resize(static_cast<std::size_t>(out_w) * 3);
    // Tables of its own: a look-up the compiler sees is several times quicker
    // over millions of pixels.
    for (int v = 0; v < 256; ++v) {
      level_[static_cast<std::size_t>(v)] = encoder::linear_level(static_cast<std::uint8_t>(v));
      cover_[static_cast<std::size_t>(v)] = static_cast<float>(v) / 255.0f;
    }
  }

  const std::vector<float>& row(int y) {
    for (const Slot& slot : slots_)
      if (slot.source == y) return slot.values;
    Slot& slot = slots_[0].source < slots_[1].source ? slots_[0] : slots_[1];
    slot.source = y;
    narrow(y, slot.values);
    return slot.values;
  }

 private:
  struct Slot {
    int source = -1;
    std::vector<float> values;
  };

  // Only the columns some output pixel uses are turned into linear light.
  void narrow(int y, std::vector<float>& out) {
    const std::uint8_t* p = layout_.origin + y * layout_.down + first_ * layout_.across;
    for (std::size_t i = 0; i < linear_.size(); i += 3, p += layout_.across) {
      const float cover = alpha_ ? cover_[p[3]] : 1.0f;
      for (std::size_t c = 0; c < 3; ++c) linear_[i + c] = level_[p[c]] * cover;
    }
    std::fill(out.begin(), out.end(), 0.0f);
    for (std::size_t x = 0; x < across_.size(); ++x)
      for (const Tap& t : across_[x])
        for (std::size_t c = 0; c < 3; ++c)
          out[x * 3 + c] += t.weight * linear_[static_cast<std::size_t>(t.source - first_) * 3 + c];
  }

  SeenLayout layout_;
  bool alpha_;
  std::vector<std::vector<Tap>> across_;
  int first_ = 0, last_ = -1;  // the columns used
  std::vector<float> linear_;
  std::array<Slot, 2> slots_;
  std::array<float, 256> level_, cover_;  // linear light, and alpha as a fraction
};

bool usable(const PictureView& p) {
  return p.pixels && p.width > 0 && p.height > 0 && (p.channels == 3 || p.channels == 4) &&
         p.rowstride >= p.width * p.channels;
}

}  // namespace

int seen_width(const PictureView& picture) {
  return picture.orientation >= 5 && picture.orientation <= 8 ? picture.height : picture.width;
}

int seen_height(const PictureView& picture) {
  return picture.orientation >= 5 && picture.orientation <= 8 ? picture.width : picture.height;
}

double screen_scale(int width, int height, bool crop) {
  const double across = double{SCREEN_WIDTH} / width, down = double{SCREEN_HEIGHT} / height;
  return crop ? std::max(across, down) : std::min(across, down);
}

RgbPicture fit_to_screen(const PictureView& picture, bool crop) {
  RgbPicture out{SCREEN_WIDTH, SCREEN_HEIGHT,
                 std::vector<std::uint8_t>(static_cast<std::size_t>(SCREEN_WIDTH * SCREEN_HEIGHT * 3), 0)};
  if (!usable(picture)) return out;
  const int w = seen_width(picture), h = seen_height(picture);

  // Where the picture lands on the screen, and which part of it is used.
  const double scale = screen_scale(w, h, crop);
  int out_w = SCREEN_WIDTH, out_h = SCREEN_HEIGHT;
  double src_x = 0, src_y = 0, src_w = w, src_h = h;
  if (crop) {
    src_w = SCREEN_WIDTH / scale;
    src_h = SCREEN_HEIGHT / scale;
    src_x = (w - src_w) / 2;
    src_y = (h - src_h) / 2;
  } else {
    out_w = std::clamp(static_cast<int>(std::lround(w * scale)), 1, SCREEN_WIDTH);
    out_h = std::clamp(static_cast<int>(std::lround(h * scale)), 1, SCREEN_HEIGHT);
  }
  const int left = (SCREEN_WIDTH - out_w) / 2, top = (SCREEN_HEIGHT - out_h) / 2;
  std::vector<std::vector<Tap>> across(static_cast<std::size_t>(out_w));
  for (int x = 0; x < out_w; ++x) pixel_taps(x, out_w, src_x, src_w, w, across[static_cast<std::size_t>(x)]);
  NarrowedRows narrowed(picture, std::move(across), w);

  // Down: each output row adds up the narrowed rows it covers, in order.
  std::vector<Tap> down;
  std::vector<float> sum(static_cast<std::size_t>(out_w) * 3);
  for (int y = 0; y < out_h; ++y) {
    pixel_taps(y, out_h, src_y, src_h, h, down);
    std::fill(sum.begin(), sum.end(), 0.0f);
    for (const Tap& t : down) {
      const std::vector<float>& row = narrowed.row(t.source);
      for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += t.weight * row[i];
    }
    std::uint8_t* dst = out.rgb.data() + (static_cast<std::size_t>(top + y) * SCREEN_WIDTH + left) * 3;
    for (std::size_t i = 0; i < sum.size(); ++i) dst[i] = encoder::srgb_level(sum[i]);
  }
  return out;
}

RgbPicture fit_to_screen(const RgbPicture& picture, bool crop) {
  if (picture.rgb.size() <
      static_cast<std::size_t>(std::max(picture.width, 0)) * static_cast<std::size_t>(std::max(picture.height, 0)) * 3)
    return fit_to_screen(PictureView{}, crop);
  return fit_to_screen(PictureView{picture.width, picture.height, picture.width * 3, 3, picture.rgb.data(), 1}, crop);
}
