#include "flash_animation.h"

#include "screen_animation.h"
#include "screen_pixbuf.h"

#include "sam/flash_cycle.h"

#include <array>
#include <cstring>

namespace {

// The pictures of the phase pairs a cycle shows, each made once however
// often it comes round, and one picture for pairs that look alike (ink and
// paper of one colour, say), so that alike steps are told by the pointer.
class PhasePictures {
 public:
  explicit PhasePictures(const SamScreen& screen) : screen_(screen) {}
  PhasePictures(const PhasePictures&) = delete;
  PhasePictures& operator=(const PhasePictures&) = delete;
  ~PhasePictures() {
    for (GdkPixbuf* picture : made_)
      if (picture) g_object_unref(picture);
  }

  // Null, with `error` set, when there is no memory for it.
  GdkPixbuf* of(const FlashStep& step, GError** error) {
    GdkPixbuf*& shown = shown_[2 * step.palette_phase + step.attribute_phase];
    if (shown) return shown;
    GdkPixbuf* picture = screen_pixbuf(screen_, step.palette_phase, step.attribute_phase, error);
    if (!picture) return nullptr;
    for (GdkPixbuf* other : made_) {
      if (other && alike(other, picture)) {
        g_object_unref(picture);
        return shown = other;
      }
    }
    made_[2 * step.palette_phase + step.attribute_phase] = picture;
    return shown = picture;
  }

 private:
  // Pictures of one screen: one size, one layout.
  static bool alike(GdkPixbuf* a, GdkPixbuf* b) {
    return std::memcmp(gdk_pixbuf_read_pixels(a), gdk_pixbuf_read_pixels(b), gdk_pixbuf_get_byte_length(a)) == 0;
  }

  const SamScreen& screen_;
  std::array<GdkPixbuf*, 4> made_{};   // owned, by palette phase × 2 + attribute phase
  std::array<GdkPixbuf*, 4> shown_{};  // what each pair shows: one of made_
};

}  // namespace

GdkPixbufAnimation* flash_animation(const SamScreen& screen, GError** error) {
  PhasePictures pictures(screen);
  std::vector<AnimationFrame> frames;
  for (const FlashStep& step : flash_cycle(screen)) {
    GdkPixbuf* picture = pictures.of(step, error);
    if (!picture) return nullptr;
    // Each step ends when its last display frame does, rounded: the
    // rounding never adds up over the cycle.
    const std::int64_t shown =
        frames_to_milliseconds(step.start_frame + step.frames) - frames_to_milliseconds(step.start_frame);
    if (!frames.empty() && frames.back().picture == picture)
      frames.back().milliseconds += shown;
    else
      frames.push_back({picture, shown});
  }
  return screen_animation_new(frames);
}
