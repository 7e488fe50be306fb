#include "image/blit_members.h"

#include "image/drawing_modes.h"
#include "image/pixel_rules.h"
#include "image/span_fill.h"

#include <cstring>

namespace {

// The alpha a source pixel is drawn with: the constant alpha for 24-bit
// sources; for 32-bit ones their own alpha scaled by the constant alpha.
template <int S>
inline std::uint32_t effective_alpha(const std::uint8_t* s, std::uint32_t constant_alpha) {
  if constexpr (S == 3)
    return constant_alpha;
  else
    return constant_alpha == 255 ? s[3] : constant_alpha * s[3] / 255;
}

// The one loop shape of every member: rows, then pixels, with the pixel's
// column and row index for the members that need coordinates.
template <int S, int T, class PixelOp>
inline void for_each_pixel(const BlitJob& job, PixelOp op) {
  const std::uint8_t* source_row = job.source;
  std::uint8_t* target_row = job.target;
  for (int row = 0; row < job.rows; ++row, source_row += job.source_step, target_row += job.target_step) {
    const std::uint8_t* s = source_row;
    std::uint8_t* t = target_row;
    for (int column = 0; column < job.width; ++column, s += S, t += T) op(t, s, column, row);
  }
}

// Whole rows of identical pixels: one block copy each. memmove, because a
// bitmap may be drawn onto itself.
template <int Bytes>
void copy_rows(const BlitJob& job) {
  const std::size_t bytes = static_cast<std::size_t>(job.width) * Bytes;
  const std::uint8_t* source_row = job.source;
  std::uint8_t* target_row = job.target;
  for (int row = 0; row < job.rows; ++row, source_row += job.source_step, target_row += job.target_step)
    std::memmove(target_row, source_row, bytes);
}

template <int S, int T>
void copy_colours(const BlitJob& job) {
  for_each_pixel<S, T>(job, [](std::uint8_t* t, const std::uint8_t* s, int, int) {
    t[0] = s[0];
    t[1] = s[1];
    t[2] = s[2];
  });
}

template <int S, int T>
void xor_colours(const BlitJob& job) {
  for_each_pixel<S, T>(job, [](std::uint8_t* t, const std::uint8_t* s, int, int) {
    t[0] ^= s[0];
    t[1] ^= s[1];
    t[2] ^= s[2];
  });
}

// 4-byte targets only.
template <int S>
void all_channels(const BlitJob& job) {
  const std::uint32_t constant_alpha = job.constant_alpha;
  for_each_pixel<S, 4>(job, [constant_alpha](std::uint8_t* t, const std::uint8_t* s, int, int) {
    t[0] = s[0];
    t[1] = s[1];
    t[2] = s[2];
    t[3] = static_cast<std::uint8_t>(effective_alpha<S>(s, constant_alpha));
  });
}

// 4-byte targets only.
template <int S>
void alpha_only(const BlitJob& job) {
  const std::uint32_t constant_alpha = job.constant_alpha;
  for_each_pixel<S, 4>(job, [constant_alpha](std::uint8_t* t, const std::uint8_t* s, int, int) {
    t[3] = static_cast<std::uint8_t>(effective_alpha<S>(s, constant_alpha));
  });
}

template <int S, int T, bool UpdateAlpha>
void blend(const BlitJob& job) {
  const std::uint32_t constant_alpha = job.constant_alpha;
  for_each_pixel<S, T>(job, [constant_alpha](std::uint8_t* t, const std::uint8_t* s, int, int) {
    const std::uint32_t a = effective_alpha<S>(s, constant_alpha);
    blend_pixel<T, UpdateAlpha>(t, PreparedColour{s[2] * a, s[1] * a, s[0] * a, a, 255 - a});
  });
}

// The source pixel, with the alpha it is drawn with, goes through the custom
// filter and the mode's write rule.
template <int S, int T>
void custom(const BlitJob& job) {
  DrawingContext* context = job.context;
  for_each_pixel<S, T>(job, [&job, context](std::uint8_t* t, const std::uint8_t* s, int column, int row) {
    const int memory_row = job.first_row + row;
    const int y = context->bottom_up_flag ? context->height - 1 - memory_row : memory_row;
    const std::uint32_t colour = pixel_colour<3>(s, false) | effective_alpha<S>(s, job.constant_alpha) << 24;
    filter_and_write(context, t, job.x + column, y, colour);
  });
}

// The rows both tables share: custom filter, XOR, alpha channel.
template <int S>
BlitMember shared_member(std::uint32_t mode, int target_bytes) {
  const bool four = target_bytes == 4;
  if (mode & MODE_CUSTOM) return four ? custom<S, 4> : custom<S, 3>;
  if (mode & MODE_XOR) return four ? xor_colours<S, 4> : xor_colours<S, 3>;
  return nullptr;
}

}  // namespace

BlitMember blit_member_24(std::uint32_t mode, int target_bytes, std::uint32_t constant_alpha) {
  const bool four = target_bytes == 4;
  if (BlitMember member = shared_member<3>(mode, target_bytes)) return member;
  // 3-byte targets never carry MODE_ALL_CHANNELS (the mode drops it there),
  // and blend as in the default mode below.
  if (four && (mode & MODE_ALL_CHANNELS)) return all_channels<3>;
  if (mode & MODE_ALPHA_CHANNEL) return four ? alpha_only<3> : nullptr;
  if (four && (mode & MODE_ALPHA_BLEND)) return blend<3, 4, true>;
  if (four && (mode & MODE_ALPHA_CLIP)) return blend<3, 4, false>;
  if (constant_alpha >= 255) return four ? copy_colours<3, 4> : copy_rows<3>;
  if (constant_alpha == 0) return nullptr;
  return four ? blend<3, 4, true> : blend<3, 3, true>;
}

BlitMember blit_member_32(std::uint32_t mode, int target_bytes, std::uint32_t constant_alpha, bool use_source_alpha) {
  const bool four = target_bytes == 4;
  if (BlitMember member = shared_member<4>(mode, target_bytes)) return member;
  if (four && (mode & MODE_ALL_CHANNELS)) return constant_alpha >= 255 ? copy_rows<4> : all_channels<4>;
  if (mode & MODE_ALPHA_CHANNEL) return four ? alpha_only<4> : nullptr;
  if (mode & MODE_ALPHA_BLEND) return four ? blend<4, 4, true> : blend<4, 3, true>;
  if (mode & MODE_ALPHA_CLIP) return four ? blend<4, 4, false> : blend<4, 3, false>;
  if (use_source_alpha) return four ? blend<4, 4, true> : blend<4, 3, true>;
  return four ? copy_colours<4, 4> : copy_colours<4, 3>;
}
