#include "screen_animation.h"

#include "frame_render.h"

#include "export/gif_writer.h"
#include "sam/flash_cycle.h"
#include "sam/sam_colour.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

constexpr int SAM_COLOURS = 128;

// A pair of phases as one number, 0-3.
int phases_of(int palette_phase, int attribute_phase) { return palette_phase * 2 + attribute_phase; }

// The GIF's colour table: the SAM colours the shown phases use, in the
// order they turn up. Read from the decoded screen, not from the pictures,
// so that it is known before any picture is made.
class ColourTable {
 public:
  ColourTable(const SamScreen& screen, const std::array<bool, 4>& shown) {
    index_of_.fill(-1);
    for (int phases = 0; phases < 4; ++phases) {
      if (!shown[phases]) continue;
      const auto& entries = phases % 2 ? screen.flashed_entries : screen.entries;
      for (int y = 0; y < SAM_ROWS; ++y) {
        const auto& row_colours = screen.row_colours[phases / 2][y];
        for (int x = 0; x < screen.width; ++x) add(row_colours[entries[y * screen.width + x]]);
      }
    }
  }

  std::uint8_t index_of(std::uint8_t colour) const { return static_cast<std::uint8_t>(index_of_[colour]); }
  const std::vector<std::uint32_t>& colours() const { return colours_; }

 private:
  void add(std::uint8_t colour) {
    if (index_of_[colour] >= 0) return;
    index_of_[colour] = static_cast<int>(colours_.size());
    colours_.push_back(sam_colour(colour));
  }

  std::array<int, SAM_COLOURS> index_of_;
  std::vector<std::uint32_t> colours_;
};

// Each pair of phases' picture at the picture's size, as colour table
// indices, made when first asked for.
class FramePictures {
 public:
  FramePictures(const SamScreen& screen, const PictureSize& size, const ColourTable& table)
      : screen_(screen), size_(size), table_(table) {}

  const std::vector<std::uint8_t>& of(int phases) {
    std::vector<std::uint8_t>& picture = pictures_[phases];
    if (picture.empty()) picture = rendered(phases / 2, phases % 2);
    return picture;
  }

 private:
  std::vector<std::uint8_t> rendered(int palette_phase, int attribute_phase) const {
    std::vector<std::uint8_t> render(static_cast<std::size_t>(size_.render_width) * size_.render_height);
    render_colours(screen_, palette_phase, attribute_phase, size_, render.data());
    if (is_shrunk(size_)) {
      // Each pixel the colour at the centre of the area it covers.
      std::vector<std::uint8_t> picture(static_cast<std::size_t>(size_.width) * size_.height);
      for (int y = 0; y < size_.height; ++y) {
        const std::int64_t from_y = (2 * std::int64_t{y} + 1) * size_.render_height / (2 * size_.height);
        for (int x = 0; x < size_.width; ++x) {
          const std::int64_t from_x = (2 * std::int64_t{x} + 1) * size_.render_width / (2 * size_.width);
          picture[static_cast<std::size_t>(y) * size_.width + x] = render[from_y * size_.render_width + from_x];
        }
      }
      render = std::move(picture);
    }
    for (std::uint8_t& pixel : render) pixel = table_.index_of(pixel);
    return render;
  }

  const SamScreen& screen_;
  const PictureSize& size_;
  const ColourTable& table_;
  std::array<std::vector<std::uint8_t>, 4> pictures_;
};

// One picture of the animation and how long it shows.
struct AnimationFrame {
  int phases;
  int delay;  // hundredths of a second
};

// The cycle's pictures in order, consecutive steps that look the same
// merged. The delays are differences of the times the steps end at, so
// that they add up to the cycle's length.
std::vector<AnimationFrame> animation_frames(const std::vector<FlashStep>& steps, FramePictures& pictures) {
  std::vector<AnimationFrame> frames;
  std::int64_t shown_until = 0;
  for (const FlashStep& step : steps) {
    const std::int64_t end = frames_to_centiseconds(step.start_frame + step.frames);
    const int delay = static_cast<int>(end - shown_until);
    shown_until = end;
    const int phases = phases_of(step.palette_phase, step.attribute_phase);
    if (!frames.empty() && pictures.of(frames.back().phases) == pictures.of(phases))
      frames.back().delay += delay;
    else
      frames.push_back({phases, delay});
  }
  return frames;
}

struct Box {
  int left, top, right, bottom;  // right and bottom exclusive
};

// Where two pictures of `width` pixels a row differ.
Box difference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int width) {
  Box box{width, 0, 0, 0};
  const int height = static_cast<int>(a.size()) / width;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row_a = a.data() + static_cast<std::size_t>(y) * width;
    const std::uint8_t* row_b = b.data() + static_cast<std::size_t>(y) * width;
    int x = 0;
    while (x < width && row_a[x] == row_b[x]) ++x;
    if (x == width) continue;
    int last = width - 1;
    while (row_a[last] == row_b[last]) --last;
    if (box.right == 0) box.top = y;
    box.bottom = y + 1;
    box.left = std::min(box.left, x);
    box.right = std::max(box.right, last + 1);
  }
  return box;
}

}  // namespace

bool write_screen_animation(const std::string& path, const SamScreen& screen, const PictureSize& size) {
  const std::vector<FlashStep> steps = flash_cycle(screen);
  std::array<bool, 4> shown{};
  for (const FlashStep& step : steps) shown[phases_of(step.palette_phase, step.attribute_phase)] = true;
  const ColourTable table(screen, shown);
  FramePictures pictures(screen, size, table);
  const std::vector<AnimationFrame> frames = animation_frames(steps, pictures);

  // The first picture whole; every later one an overlay on it: the
  // rectangle where it differs from the first, the pixels that stay as they
  // were transparent (the slot after the colours), gone again once shown.
  // A cycle of both kinds of flash shows four pictures 64 times: the writer
  // compresses three overlays once each, where changes from picture to
  // picture would be eight.
  std::vector<std::uint32_t> colours = table.colours();
  const auto unchanged = static_cast<int>(colours.size());
  if (frames.size() > 1) colours.push_back(0);
  const std::vector<std::uint8_t>& first = pictures.of(frames[0].phases);
  std::array<Box, 4> overlays;
  std::array<bool, 4> measured{};
  std::vector<GifFrame> gif_frames;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const int phases = frames[i].phases;
    const std::vector<std::uint8_t>& picture = pictures.of(phases);
    if (i == 0) {
      gif_frames.push_back({0, 0, size.width, size.height, picture.data(), nullptr, size.width, frames[i].delay, -1});
      continue;
    }
    Box& box = overlays[phases];
    if (!measured[phases]) box = difference(first, picture, size.width);
    measured[phases] = true;
    // The first picture again: one pixel left as it is.
    if (box.right == 0) box = {0, 0, 1, 1};
    gif_frames.push_back({box.left, box.top, box.right - box.left, box.bottom - box.top, picture.data(), first.data(),
                          size.width, frames[i].delay, unchanged, true});
  }
  const GifPicture gif{size.width, size.height, colours, frames.size() > 1};
  return write_gif_named(path, gif, gif_frames) == 1;
}
