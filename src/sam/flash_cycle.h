#pragma once
// How a flashing screen changes over time. The machine shows 50.08 frames a
// second; the ROM swaps palette phases every 17 frames and attribute flash
// swaps ink and paper every 16. One cycle of both lasts 544 frames
// (34 × 16 = 32 × 17); a screen that flashes one way only repeats sooner.
#include "sam/sam_screen.h"

#include <cstdint>
#include <vector>

constexpr int PALETTE_PHASE_FRAMES = 17;
constexpr int ATTRIBUTE_PHASE_FRAMES = 16;

struct FlashStep {
  int palette_phase;
  int attribute_phase;
  int start_frame;  // display frames from the cycle's start
  int frames;
};

// One whole cycle, in order: a single step of no frames when nothing flashes.
std::vector<FlashStep> flash_cycle(const SamScreen& screen);

// When a frame count is reached, in hundredths of a second (rounded to the
// nearest): steps' delays as these differences keep the cycle exact to 1/100 s.
std::int64_t frames_to_centiseconds(std::int64_t frames);
// The same in milliseconds.
std::int64_t frames_to_milliseconds(std::int64_t frames);
