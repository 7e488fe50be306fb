#include "sam/flash_cycle.h"

namespace {

// 50.08 frames a second, as 5008 frames in 100 seconds.
constexpr std::int64_t FRAMES_PER_100_SECONDS = 5008;

std::int64_t frames_to(std::int64_t frames, std::int64_t units_per_second) {
  return (frames * units_per_second * 100 + FRAMES_PER_100_SECONDS / 2) / FRAMES_PER_100_SECONDS;
}

}  // namespace

std::int64_t frames_to_centiseconds(std::int64_t frames) { return frames_to(frames, 100); }
std::int64_t frames_to_milliseconds(std::int64_t frames) { return frames_to(frames, 1000); }

std::vector<FlashStep> flash_cycle(const SamScreen& screen) {
  const int palette = screen.palette_flashes ? PALETTE_PHASE_FRAMES : 0;
  const int attribute = screen.attributes_flash ? ATTRIBUTE_PHASE_FRAMES : 0;
  if (!palette && !attribute) return {{0, 0, 0, 0}};
  const int cycle = palette && attribute ? 2 * palette * attribute : 2 * (palette + attribute);
  std::vector<FlashStep> steps;
  for (int frame = 0; frame < cycle; ++frame) {
    const int p = palette ? frame / palette % 2 : 0;
    const int a = attribute ? frame / attribute % 2 : 0;
    if (steps.empty() || steps.back().palette_phase != p || steps.back().attribute_phase != a)
      steps.push_back({p, a, frame, 0});
    ++steps.back().frames;
  }
  return steps;
}
