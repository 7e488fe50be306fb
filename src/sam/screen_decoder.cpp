#include "sam/screen_decoder.h"

#include "sam/row_colours.h"

#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Two pixels a byte, the left one high. Sixteen bytes at a time where the
// machine has vectors: a plain loop is as quick only when the compiler
// vectorises it (-O3, not -O2), and its per-byte steps are slow under the
// sanitizers and the fuzzer.
void unpack_mode4_pixels(const std::uint8_t* in, std::uint8_t* out) {
#if defined(__SSE2__)
  const __m128i low_nibbles = _mm_set1_epi8(0x0F);
  for (std::int32_t i = 0; i < SCREEN_BYTES; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i left = _mm_and_si128(_mm_srli_epi16(bytes, 4), low_nibbles);
    const __m128i right = _mm_and_si128(bytes, low_nibbles);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_unpacklo_epi8(left, right));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), _mm_unpackhi_epi8(left, right));
  }
#else
  for (std::int32_t i = 0; i < SCREEN_BYTES; ++i) {
    out[2 * i] = in[i] >> 4;
    out[2 * i + 1] = in[i] & 15;
  }
#endif
}

ScreenSize screen_size_rule(std::int64_t size) {
  if (size < MIN_SS4_SIZE) return ScreenSize::too_small;
  if (size > std::numeric_limits<std::int32_t>::max()) return ScreenSize::too_large;
  return ScreenSize::usable;
}

ScreenSize decode_screen(std::span<const std::uint8_t> file, DecodedScreen& screen) {
  ScreenSize size = screen_size_rule(static_cast<std::int64_t>(file.size()));
  if (size != ScreenSize::usable) return size;

  unpack_mode4_pixels(file.data(), screen.pixels.data());

  fill_row_colours(file, LINE_TABLE_OFFSET, screen.row_clut, nullptr);
  return size;
}
