#pragma once
// The members of the blit family: per-pixel formulas that copy or combine
// source pixels (24- or 32-bit) with target pixels (3- or 4-byte), and the
// two tables that choose one by drawing mode and alpha.
#include "image/drawing_context.h"

#include <cstddef>
#include <cstdint>

// One clipped blit: `rows` rows of `width` pixels.
struct BlitJob {
  DrawingContext* context;
  const std::uint8_t* source;  // first pixel of the first source row walked
  std::ptrdiff_t source_step;  // from one walked source row to the next
  std::uint8_t* target;        // first pixel of the first target row
  std::ptrdiff_t target_step;  // from one target row in memory to the next
  int width;
  int rows;
  int x;          // drawable x of the first column
  int first_row;  // memory row of the first target row
  std::uint32_t constant_alpha;
};

using BlitMember = void (*)(const BlitJob&);

// Members for 24-bit sources; null when nothing is to be drawn.
BlitMember blit_member_24(std::uint32_t mode, int target_bytes, std::uint32_t constant_alpha);
// Members for 32-bit sources; null when nothing is to be drawn.
BlitMember blit_member_32(std::uint32_t mode, int target_bytes, std::uint32_t constant_alpha, bool use_source_alpha);
