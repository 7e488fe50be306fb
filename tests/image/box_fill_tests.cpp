// Default-mode boxes on every pixel layout: 3- and 4-byte pixels, rows
// bottom-up and top-down, strides with and without padding. After every box
// each byte of the buffer, alpha and padding included, is compared with a
// plain per-pixel model.
#include "image_fixture.h"

#include "image/bitmap_output.h"
#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/drawing_modes.h"
#include "native/graphics/bitmap.h"
#include "native/graphics/gdi_object.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace {

constexpr int HEIGHT = 6;

struct Layout {
  int depth;
  bool top_down;
  int width;  // 5 and 21 give padded rows at 24 bits, 16 does not
};

std::string layout_name(const Layout& l) {
  std::string name = std::to_string(l.depth);
  name += l.top_down ? "bit_TopDown_Width" : "bit_BottomUp_Width";
  name += std::to_string(l.width);
  return name;
}

void PrintTo(const Layout& l, std::ostream* out) { *out << layout_name(l); }

// A bitmap of the layout with a drawing pass on it, and its bytes.
class Target {
 public:
  explicit Target(const Layout& l) : layout_(l) {
    bitmap_ = native::create_dib_section(l.width, l.top_down ? -HEIGHT : HEIGHT, l.depth);
    const std::uint32_t format = (l.depth == 32 ? FORMAT_32_BGRA : FORMAT_24_BGR) | (l.top_down ? 0 : FORMAT_BOTTOM_UP);
    if (bitmap_) {
      // Every byte different, so a stray or missing write shows.
      for (std::size_t i = 0; i < size(); ++i) bitmap_->bits[i] = static_cast<std::uint8_t>(i * 37 + 11);
      started_ = start_drawing(bitmap_output(bitmap_, format, release)) != nullptr;
    }
  }
  ~Target() {
    stop_drawing();
    if (bitmap_) native::delete_object(bitmap_);
  }
  bool ready() const { return started_; }
  std::size_t size() const { return bitmap_->stride * static_cast<std::size_t>(HEIGHT); }
  std::vector<std::uint8_t> bytes() const { return {bitmap_->bits, bitmap_->bits + size()}; }

  // The model: each pixel of the box inside the bitmap gets blue, green and
  // red; nothing else changes.
  void paint(std::vector<std::uint8_t>& bytes, long long x, long long y, long long w, long long h,
             std::uint32_t colour) const {
    if (w < 0) {
      x += w;
      w = -w;
    }
    if (h < 0) {
      y += h;
      h = -h;
    }
    for (long long py = std::max(y, 0LL); py < std::min(y + h, static_cast<long long>(HEIGHT)); ++py)
      for (long long px = std::max(x, 0LL); px < std::min(x + w, static_cast<long long>(layout_.width)); ++px) {
        const long long row = layout_.top_down ? py : HEIGHT - 1 - py;
        std::uint8_t* p = &bytes[static_cast<std::size_t>(row * bitmap_->stride + px * (layout_.depth / 8))];
        p[0] = static_cast<std::uint8_t>(colour >> 16);
        p[1] = static_cast<std::uint8_t>(colour >> 8);
        p[2] = static_cast<std::uint8_t>(colour);
      }
  }

 private:
  static void release(DrawingContext* context, int) { release_bitmap_output(context); }
  Layout layout_;
  native::Bitmap* bitmap_ = nullptr;
  bool started_ = false;
};

class BoxFillTest : public ImageTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(BoxFillTest, EveryByteMatchesAPixelByPixelFill) {
  const Layout& l = GetParam();
  const int w = l.width, h = HEIGHT;
  struct Box {
    int x, y, width, height;
  };
  const Box boxes[] = {
      {0, 0, w, h},             // every row whole
      {0, 1, w, 3},             // whole rows, some of them
      {1, 2, w - 2, 2},         // part of each row
      {2, 3, 1, 1},             // the viewer's boxes at single
      {3, 0, 2, 2},             // and double size
      {0, 4, 4, 2},             // the widest small box
      {w - 5, 1, 5, 3},         // just wider, against the right edge
      {1, 0, 16, 1},            // one 16-pixel block, clipped unless 16 fit
      {-2, -1, 4, 3},           // clipped at the top left
      {w - 2, h - 1, 4, 4},     // and at the bottom right
      {w - 1, 2, -3, -2},       // negative sizes
      {w, 0, 2, 2},             // wholly outside, each side
      {-2, 0, 2, 2},            //
      {0, h, 2, 2},             //
      {0, -2, 3, 2},            //
      {2147483600, 0, 2, 2},    // sums that would overflow
      {0, -2147483647, 2, -2},  //
      {1, 1, 0, 3},             // empty
  };
  Target target(l);
  ASSERT_TRUE(target.ready());
  std::vector<std::uint8_t> expected = target.bytes();
  std::uint32_t colour = 0xA0123456;  // the alpha byte is never written
  for (const Box& b : boxes) {
    colour = colour * 1103515245 + 12345;
    box(b.x, b.y, b.width, b.height, colour);
    target.paint(expected, b.x, b.y, b.width, b.height, colour);
    ASSERT_EQ(target.bytes(), expected) << "box " << b.x << ", " << b.y << ", " << b.width << " x " << b.height;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, BoxFillTest,
                         ::testing::Values(Layout{24, false, 5}, Layout{24, false, 16}, Layout{24, false, 21},
                                           Layout{24, true, 5}, Layout{24, true, 16}, Layout{24, true, 21},
                                           Layout{32, false, 5}, Layout{32, false, 21}, Layout{32, true, 5},
                                           Layout{32, true, 21}),
                         [](const auto& info) { return layout_name(info.param); });

// A small default-mode box takes its colour as given and leaves preparing it
// for later: a wider box or a plot after it must still draw in its colour.
class SmallBoxColourTest : public ImageTest, public ::testing::WithParamInterface<int> {};

TEST_P(SmallBoxColourTest, LaterDrawingSeesTheColourOfASmallBox) {
  constexpr std::uint32_t FIRST = 0x00102030, SECOND = 0x00C0B0A0;
  const Layout l{GetParam(), false, 7};
  Target target(l);
  ASSERT_TRUE(target.ready());
  std::vector<std::uint8_t> expected = target.bytes();
  box(0, 0, l.width, 1, FIRST);   // prepared the usual way
  box(0, 1, 1, 1, SECOND);        // small
  box(0, 2, l.width, 1, SECOND);  // wide, in the small box's colour
  box(0, 3, 1, 1, FIRST);         // small
  plot(2, 3);                     // in the small box's colour
  target.paint(expected, 0, 0, l.width, 1, FIRST);
  target.paint(expected, 0, 1, 1, 1, SECOND);
  target.paint(expected, 0, 2, l.width, 1, SECOND);
  target.paint(expected, 0, 3, 1, 1, FIRST);
  target.paint(expected, 2, 3, 1, 1, FIRST);
  EXPECT_EQ(target.bytes(), expected);
}

INSTANTIATE_TEST_SUITE_P(Depths, SmallBoxColourTest, ::testing::Values(24, 32),
                         [](const auto& info) { return std::to_string(info.param) + "bit"; });

}  // namespace
