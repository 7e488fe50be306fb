#include "screen/screen_decoder.h"

#include "screen/line_changes.h"

#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Two pixels a byte, the left one high. Sixteen bytes at a time where the
// machine has vectors: a plain loop is as quick only when the compiler
// vectorises it (-O3, not -O2), and its per-byte steps are slow under the
// sanitizers and the fuzzer.
void split_pixels(const std::uint8_t* in, std::uint8_t* out) {
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

}  // namespace

ScreenSize screen_size_rule(std::int64_t size) {
  if (size < MIN_SS4_SIZE) return ScreenSize::too_small;
  if (size > std::numeric_limits<std::int32_t>::max()) return ScreenSize::too_large;
  return ScreenSize::usable;
}

ScreenSize decode_screen(std::span<const std::uint8_t> file, DecodedScreen& screen) {
  ScreenSize size = screen_size_rule(static_cast<std::int64_t>(file.size()));
  if (size != ScreenSize::usable) return size;

  split_pixels(file.data(), screen.pixels.data());

  // The first usable record for each row is the only one that counts.
  LineChangeScan scan;
  std::span<const std::uint8_t> table = file.subspan(LINE_TABLE_OFFSET);
  scan_line_changes(scan, table.data(), table.size());
  finish_line_changes(scan);
  std::array<const std::uint8_t*, SCREEN_HEIGHT> change{};
  for (int k = 0; k < scan.kept_bytes; k += LINE_RECORD_SIZE) change[scan.kept[k] + 1] = &scan.kept[k];

  std::array<std::uint8_t, 16> clut;
  for (int i = 0; i < 16; ++i) clut[i] = file[CLUT_OFFSET + i] & 0x7F;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    // A change takes effect from the row after its line, and stays.
    if (const std::uint8_t* record = change[y]) clut[record[1]] = record[2] & 0x7F;
    screen.row_clut[y] = clut;
  }
  return size;
}
