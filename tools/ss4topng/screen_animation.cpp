#include "screen_animation.h"

#include "frame_render.h"

#include "export/gif_writer.h"
#include "sam/flash_cycle.h"
#include "sam/sam_colour.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <memory>

namespace {

constexpr int SAM_COLOURS = 128;

// A frame's SAM colours at the picture's size.
class FramePictures {
 public:
  FramePictures(const SamScreen& screen, const PictureSize& size) : screen_(screen), size_(size) {}

  const std::vector<std::uint8_t>& of(int palette_phase, int attribute_phase) {
    std::vector<std::uint8_t>& picture = pictures_[palette_phase * 2 + attribute_phase];
    if (picture.empty()) picture = rendered(palette_phase, attribute_phase);
    return picture;
  }

 private:
  std::vector<std::uint8_t> rendered(int palette_phase, int attribute_phase) const {
    const auto render_pixels = static_cast<std::size_t>(size_.render_width) * size_.render_height;
    std::vector<std::uint8_t> render(render_pixels);
    render_colours(screen_, palette_phase, attribute_phase, size_, render.data());
    if (!is_shrunk(size_)) return render;
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(size_.width) * size_.height);
    for (int y = 0; y < size_.height; ++y) {
      const std::int64_t from_y = (2 * std::int64_t{y} + 1) * size_.render_height / (2 * size_.height);
      for (int x = 0; x < size_.width; ++x) {
        const std::int64_t from_x = (2 * std::int64_t{x} + 1) * size_.render_width / (2 * size_.width);
        picture[static_cast<std::size_t>(y) * size_.width + x] = render[from_y * size_.render_width + from_x];
      }
    }
    return picture;
  }

  const SamScreen& screen_;
  const PictureSize& size_;
  std::array<std::vector<std::uint8_t>, 4> pictures_;
};

struct Box {
  int left, top, right, bottom;  // right and bottom exclusive
};

// Where two pictures of `width` pixels a row differ; empty when they do not.
Box difference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int width) {
  Box box{width, 0, 0, 0};
  const int height = static_cast<int>(a.size()) / width;
  for (int y = 0; y < height; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * width;
    int x = 0;
    while (x < width && a[row + x] == b[row + x]) ++x;
    if (x == width) continue;
    int last = width - 1;
    while (a[row + last] == b[row + last]) --last;
    if (box.right == 0) box.top = y;
    box.bottom = y + 1;
    box.left = std::min(box.left, x);
    box.right = std::max(box.right, last + 1);
  }
  return box;
}

// One picture of the animation and how long it shows.
struct AnimationFrame {
  int palette_phase;
  int attribute_phase;
  int delay;  // hundredths of a second
};

// The cycle's pictures in order, consecutive steps that look the same
// merged; the delays are differences of the times the steps end at, so
// that they add up to the cycle's length.
std::vector<AnimationFrame> animation_frames(const SamScreen& screen, FramePictures& pictures) {
  std::vector<AnimationFrame> frames;
  std::int64_t shown_until = 0;  // hundredths of a second
  for (const FlashStep& step : flash_cycle(screen)) {
    const std::int64_t end = frames_to_centiseconds(step.start_frame + step.frames);
    const int delay = static_cast<int>(end - shown_until);
    shown_until = end;
    if (!frames.empty() && pictures.of(frames.back().palette_phase, frames.back().attribute_phase) ==
                               pictures.of(step.palette_phase, step.attribute_phase)) {
      frames.back().delay += delay;
      continue;
    }
    frames.push_back({step.palette_phase, step.attribute_phase, delay});
  }
  return frames;
}

}  // namespace

bool write_screen_animation(const std::string& path, const SamScreen& screen, const PictureSize& size) {
  FramePictures pictures(screen, size);
  const std::vector<AnimationFrame> frames = animation_frames(screen, pictures);

  // The table holds the colours the frames use, in the order they turn up;
  // the slot after them is left for "unchanged".
  std::array<int, SAM_COLOURS> index_of;
  index_of.fill(-1);
  std::vector<std::uint32_t> colours;
  std::array<bool, 4> shown{};
  for (const AnimationFrame& f : frames) shown[f.palette_phase * 2 + f.attribute_phase] = true;
  for (int phases = 0; phases < 4; ++phases) {
    if (!shown[phases]) continue;
    for (std::uint8_t c : pictures.of(phases / 2, phases % 2))
      if (index_of[c] < 0) {
        index_of[c] = static_cast<int>(colours.size());
        colours.push_back(sam_colour(c));
      }
  }
  const auto unchanged = static_cast<std::uint8_t>(colours.size());
  if (frames.size() > 1) colours.push_back(0);

  // The first frame whole; each later one the rectangle where it differs
  // from the one before, its unchanged pixels transparent. A change from one
  // picture to another is the same whenever it comes, so it is made once.
  struct Change {
    Box box;
    std::vector<std::uint8_t> indices;
  };
  std::map<std::pair<int, int>, Change> changes;
  std::vector<GifFrame> gif_frames;
  const int width = size.width;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const int before = i ? frames[i - 1].palette_phase * 2 + frames[i - 1].attribute_phase : -1;
    const int now = frames[i].palette_phase * 2 + frames[i].attribute_phase;
    auto [change, fresh] = changes.try_emplace({before, now});
    const Box& box = change->second.box;
    if (fresh) {
      const std::vector<std::uint8_t>& picture = pictures.of(now / 2, now % 2);
      const std::vector<std::uint8_t>* previous = i ? &pictures.of(before / 2, before % 2) : nullptr;
      change->second.box = previous ? difference(*previous, picture, width) : Box{0, 0, width, size.height};
      std::vector<std::uint8_t>& indices = change->second.indices;
      indices.reserve(static_cast<std::size_t>(box.right - box.left) * (box.bottom - box.top));
      for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
          const std::size_t at = static_cast<std::size_t>(y) * width + x;
          const bool same = previous && (*previous)[at] == picture[at];
          indices.push_back(same ? unchanged : static_cast<std::uint8_t>(index_of[picture[at]]));
        }
    }
    const int box_width = box.right - box.left;
    gif_frames.push_back({box.left, box.top, box_width, box.bottom - box.top, change->second.indices.data(), box_width,
                          frames[i].delay, i ? unchanged : -1});
  }
  GifPicture gif{size.width, size.height, colours, frames.size() > 1};
  return write_gif_named(path, gif, gif_frames) == 1;
}
