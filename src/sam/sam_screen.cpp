#include "sam/sam_screen.h"

#include "sam/screen_decoder.h"

#include <algorithm>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int ATTRIBUTE_FLASH = 0x80;
constexpr int ATTRIBUTE_BRIGHT = 0x40;

// Where row y's bitmap starts in mode 1: the ZX Spectrum's thirds, each of
// eight character rows of eight pixel rows.
int mode1_row(int y) { return ((y & 0xC0) << 5) | ((y & 7) << 8) | ((y & 0x38) << 2); }

// Modes 1 and 2 are drawn sixteen cells at a time and mode 3 sixteen bytes
// at a time where the machine has vectors, as mode 4 is: per-pixel steps
// are many times slower, most of all under the sanitizers and the fuzzer.
#if defined(__SSE2__)

// Cells 2k and 2k + 1 of a vector's sixteen, each over eight bytes: one
// cell's value for each of its pixels. No arrays, loops or calls, so that
// the sanitizers and the fuzzer's tracing find nothing to add.
template <int K>
[[gnu::always_inline]] inline __m128i cell_pair(__m128i cells) {
  __m128i half, quarter;
  if constexpr (K < 4)
    half = _mm_unpacklo_epi8(cells, cells);
  else
    half = _mm_unpackhi_epi8(cells, cells);
  if constexpr (K % 4 < 2)
    quarter = _mm_unpacklo_epi16(half, half);
  else
    quarter = _mm_unpackhi_epi16(half, half);
  if constexpr (K % 2 == 0)
    return _mm_unpacklo_epi32(quarter, quarter);
  else
    return _mm_unpackhi_epi32(quarter, quarter);
}

// Sixteen cells' bitmap bytes, paper entries, ink ^ paper, and ink ^ paper
// where the cell flashes.
struct Cells {
  __m128i bits, paper, apart, flash;
};

template <int K>
[[gnu::always_inline]] inline void draw_cell_pair(const Cells& c, std::uint8_t* main, std::uint8_t* flashed) {
  const __m128i pixel_bit = _mm_set_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  const __m128i set = _mm_cmpeq_epi8(_mm_and_si128(cell_pair<K>(c.bits), pixel_bit), pixel_bit);
  const __m128i shown = _mm_xor_si128(cell_pair<K>(c.paper), _mm_and_si128(cell_pair<K>(c.apart), set));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(main + 16 * K), shown);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(flashed + 16 * K), _mm_xor_si128(shown, cell_pair<K>(c.flash)));
}

template <int... K>
[[gnu::always_inline]] inline void draw_cells(const Cells& c, std::uint8_t* main, std::uint8_t* flashed,
                                              std::integer_sequence<int, K...>) {
  (draw_cell_pair<K>(c, main, flashed), ...);
}

// Sixteen cells: 128 pixels of each phase, and the cells that flash with
// ink and paper apart added to `flashing`.
[[gnu::always_inline]] inline void decode_cells(const std::uint8_t* bits, const std::uint8_t* attributes,
                                                std::uint8_t* main, std::uint8_t* flashed, __m128i& flashing) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(attributes));
  // Paper (bits 3-5) and bright (bit 6) down to bits 0-3; the shift runs
  // across byte pairs, so each field is masked after it.
  const __m128i shifted = _mm_srli_epi16(a, 3);
  const __m128i paper = _mm_and_si128(shifted, _mm_set1_epi8(0x0F));
  const __m128i ink =
      _mm_or_si128(_mm_and_si128(a, _mm_set1_epi8(7)), _mm_and_si128(shifted, _mm_set1_epi8(ATTRIBUTE_BRIGHT >> 3)));
  const __m128i flash_bit = _mm_set1_epi8(static_cast<char>(ATTRIBUTE_FLASH));
  Cells c;
  c.bits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bits));
  c.paper = paper;
  c.apart = _mm_xor_si128(ink, paper);
  c.flash = _mm_and_si128(c.apart, _mm_cmpeq_epi8(_mm_and_si128(a, flash_bit), flash_bit));
  flashing = _mm_or_si128(flashing, c.flash);
  draw_cells(c, main, flashed, std::make_integer_sequence<int, 8>());
}

#endif

// Modes 1 and 2: one bit a pixel, ink where set, paper where clear, from an
// attribute byte for each eight pixels; bright lifts both to entries 8-15.
void decode_attribute_mode(int mode, const std::uint8_t* body, SamScreen& s) {
#if defined(__SSE2__)
  __m128i flashing = _mm_setzero_si128();
#endif
  for (int y = 0; y < SAM_ROWS; ++y) {
    const std::uint8_t* bits = body + (mode == 1 ? mode1_row(y) : y * 32);
    const std::uint8_t* attributes = body + (mode == 1 ? 6144 + (y / 8) * 32 : 8192 + y * 32);
    std::uint8_t* main = s.entries.data() + y * 256;
    std::uint8_t* flashed = s.flashed_entries.data() + y * 256;
#if defined(__SSE2__)
    decode_cells(bits, attributes, main, flashed, flashing);
    decode_cells(bits + 16, attributes + 16, main + 128, flashed + 128, flashing);
#else
    for (int c = 0; c < 32; ++c) {
      const int a = attributes[c];
      const int bright = a & ATTRIBUTE_BRIGHT ? 8 : 0;
      const auto ink = static_cast<std::uint8_t>((a & 7) + bright);
      const auto paper = static_cast<std::uint8_t>((a >> 3 & 7) + bright);
      const bool flash = a & ATTRIBUTE_FLASH && ink != paper;
      s.attributes_flash |= flash;
      for (int b = 0; b < 8; ++b) {
        const bool set = bits[c] & (0x80 >> b);
        main[c * 8 + b] = set ? ink : paper;
        flashed[c * 8 + b] = set != flash ? ink : paper;
      }
    }
#endif
  }
#if defined(__SSE2__)
  s.attributes_flash = _mm_movemask_epi8(_mm_cmpeq_epi8(flashing, _mm_setzero_si128())) != 0xFFFF;
#endif
}

// Mode 3: four pixels a byte, leftmost in bits 7-6; the hardware swaps
// entries 1 and 2, which is swapping each pixel's two bits.
void decode_mode3(const std::uint8_t* body, SamScreen& s) {
#if defined(__SSE2__)
  const __m128i low_bits = _mm_set1_epi8(0x55);
  const __m128i field = _mm_set1_epi8(3);
  for (std::int32_t i = 0; i < display_bytes(3); i += 16) {
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(body + i));
    b = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(b, low_bits), 1), _mm_and_si128(_mm_srli_epi16(b, 1), low_bits));
    const __m128i p0 = _mm_and_si128(_mm_srli_epi16(b, 6), field);
    const __m128i p1 = _mm_and_si128(_mm_srli_epi16(b, 4), field);
    const __m128i p2 = _mm_and_si128(_mm_srli_epi16(b, 2), field);
    const __m128i p3 = _mm_and_si128(b, field);
    const __m128i p01[2] = {_mm_unpacklo_epi8(p0, p1), _mm_unpackhi_epi8(p0, p1)};
    const __m128i p23[2] = {_mm_unpacklo_epi8(p2, p3), _mm_unpackhi_epi8(p2, p3)};
    auto* out = reinterpret_cast<__m128i*>(s.entries.data() + 4 * i);
    for (int h = 0; h < 2; ++h) {
      _mm_storeu_si128(out + 2 * h, _mm_unpacklo_epi16(p01[h], p23[h]));
      _mm_storeu_si128(out + 2 * h + 1, _mm_unpackhi_epi16(p01[h], p23[h]));
    }
  }
#else
  static constexpr std::uint8_t SHOWN[4] = {0, 2, 1, 3};
  for (int i = 0; i < display_bytes(3); ++i)
    for (int p = 0; p < 4; ++p) s.entries[i * 4 + p] = SHOWN[body[i] >> (6 - 2 * p) & 3];
#endif
}

// Bit i set where entry i's colours differ.
int differing_entries(const std::array<std::uint8_t, 16>& a, const std::array<std::uint8_t, 16>& b) {
#if defined(__SSE2__)
  const __m128i same = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data())),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data())));
  return ~_mm_movemask_epi8(same) & 0xFFFF;
#else
  int differing = 0;
  for (int i = 0; i < 16; ++i) differing |= (a[i] != b[i]) << i;
  return differing;
#endif
}

// Whether the two palette phases show any pixel in different colours: only
// rows whose colours differ in an entry the mode can show are looked at,
// up to the first pixel of such an entry.
bool phases_differ(const SamScreen& s) {
  const int showable = s.mode == 3 ? 0x000F : 0xFFFF;
  for (int y = 0; y < SAM_ROWS; ++y) {
    const int differing = differing_entries(s.row_colours[0][y], s.row_colours[1][y]) & showable;
    if (!differing) continue;
    const std::uint8_t* main = s.entries.data() + y * s.width;
    const std::uint8_t* flashed = s.flashed_entries.data() + y * s.width;
    for (int x = 0; x < s.width; ++x)
      if ((differing >> main[x] | differing >> flashed[x]) & 1) return true;
  }
  return false;
}

}  // namespace

void decode_sam_screen(int mode, std::span<const std::uint8_t> body, SamScreen& s) {
  s.mode = mode;
  s.width = picture_width(mode);
  s.attributes_flash = false;
  if (mode <= 2) {
    decode_attribute_mode(mode, body.data(), s);
  } else {
    if (mode == 3)
      decode_mode3(body.data(), s);
    else
      unpack_mode4_pixels(body.data(), s.entries.data());
    std::copy_n(s.entries.begin(), s.width * SAM_ROWS, s.flashed_entries.begin());
  }
  fill_row_colours(body, records_offset(mode), s.row_colours[0], &s.row_colours[1]);
  s.palette_flashes = phases_differ(s);
}

void frame_colours(const SamScreen& s, int palette_phase, int attribute_phase, std::span<std::uint8_t> out) {
  const auto& entries = attribute_phase ? s.flashed_entries : s.entries;
  for (int y = 0; y < SAM_ROWS; ++y) {
    const auto& colours = s.row_colours[palette_phase][y];
    for (int x = 0; x < s.width; ++x) out[y * s.width + x] = colours[entries[y * s.width + x]];
  }
}
