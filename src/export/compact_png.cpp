#include "export/compact_png.h"

#include "export/encoder_registry.h"
#include "export/png_session.h"
#include "native/system/text.h"
#include "runtime/general_heap.h"

#include <array>
#include <csetjmp>
#include <cstddef>
#include <cstring>

namespace {

// zlib's level 5, measured on the photo-like corpus at double size: files
// 3 % larger than level 9 makes, in a twelfth of its time. Level 6 saves 2 %
// more for twice the time; level 4 is quicker still but, stopping at short
// matches, makes flat pictures larger than the RGB file. libdeflate makes
// larger files at equal time.
constexpr int DEFLATE_LEVEL = 5;
constexpr int MAX_PALETTE = 256;

// The colours of a picture in the order they first appear, found through a
// small open-addressed table. A slot holds colour + 1, so 0 marks it empty.
class ExactPalette {
 public:
  // The colour's index; -1 once a colour beyond the 256th turns up.
  int index_of(std::uint32_t colour) {
    if (colour == last_colour_) return last_index_;
    std::uint32_t slot = (colour * 0x9E3779B1u) >> (32 - SLOT_BITS);
    while (slots_[slot] != 0 && slots_[slot] != colour + 1) slot = (slot + 1) & (SLOTS - 1);
    if (slots_[slot] == 0) {
      if (count_ == MAX_PALETTE) return -1;
      slots_[slot] = colour + 1;
      indices_[slot] = static_cast<std::uint8_t>(count_);
      colours_[count_++] = colour;
    }
    last_colour_ = colour;
    last_index_ = indices_[slot];
    return last_index_;
  }

  int count() const { return count_; }
  std::uint32_t colour(int i) const { return colours_[i]; }

 private:
  static constexpr int SLOT_BITS = 10;
  static constexpr std::uint32_t SLOTS = 1u << SLOT_BITS;
  std::array<std::uint32_t, SLOTS> slots_{};
  std::array<std::uint8_t, SLOTS> indices_{};
  std::array<std::uint32_t, MAX_PALETTE> colours_{};
  int count_ = 0;
  // Neighbouring pixels often match: at double size every pixel comes twice.
  std::uint32_t last_colour_ = 0xFFFFFFFF;
  int last_index_ = 0;
};

// A block from the general heap, given back when the owner goes.
struct HeapBlock {
  explicit HeapBlock(std::size_t size) : bytes(static_cast<std::uint8_t*>(general_alloc_raw(size))) {}
  ~HeapBlock() { general_free(bytes); }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  std::uint8_t* bytes;
};

struct Picture {
  const std::uint8_t* pixels;
  std::int32_t width;
  std::int32_t height;
  std::int32_t stride;
  std::uint32_t layout;
};

// Each pixel's palette index, packed as the file stores it (two a byte, the
// left one high, at 4 bits), top-down, rows `row_bytes` apart. False when the
// picture has more colours than a palette holds.
bool index_picture(const Picture& p, ExactPalette& palette, std::uint8_t* indices) {
  const std::size_t row_bytes = static_cast<std::size_t>(p.width) * 3;
  for (std::int32_t y = 0; y < p.height; ++y) {
    const std::uint8_t* pixel = p.pixels + static_cast<std::ptrdiff_t>(p.stride) * y;
    std::uint8_t* out = indices + static_cast<std::ptrdiff_t>(p.width) * y;
    // A row like the one above (every row of a double-size render comes
    // twice) takes its indices; comparing is far cheaper than looking up.
    if (y > 0 && std::memcmp(pixel, pixel - p.stride, row_bytes) == 0) {
      std::memcpy(out, out - p.width, static_cast<std::size_t>(p.width));
      continue;
    }
    for (std::int32_t x = 0; x < p.width; ++x, pixel += 3) {
      int index = palette.index_of(pixel[0] | pixel[1] << 8 | static_cast<std::uint32_t>(pixel[2]) << 16);
      if (index < 0) return false;
      out[x] = static_cast<std::uint8_t>(index);
    }
  }
  return true;
}

// Packs rows of one index a byte into rows of two a byte, in place: the
// packed row never overtakes the row it is read from.
std::int32_t pack_nibbles(std::uint8_t* indices, std::int32_t width, std::int32_t height) {
  const std::int32_t packed_bytes = (width + 1) / 2;
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* in = indices + static_cast<std::ptrdiff_t>(width) * y;
    std::uint8_t* out = indices + static_cast<std::ptrdiff_t>(packed_bytes) * y;
    for (std::int32_t x = 0; x < width; x += 2)
      out[x / 2] = static_cast<std::uint8_t>(in[x] << 4 | (x + 1 < width ? in[x + 1] : 0));
  }
  return packed_bytes;
}

void write_indexed(PngSession& s, const Picture& p, const ExactPalette& palette, std::uint8_t* indices) {
  const int bit_depth = palette.count() <= 16 ? 4 : 8;
  const std::int32_t row_bytes = bit_depth == 4 ? pack_nibbles(indices, p.width, p.height) : p.width;
  png_set_IHDR(s.png, s.info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), bit_depth,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  std::array<png_color, MAX_PALETTE> entries{};
  for (int i = 0; i < palette.count(); ++i) {
    std::uint32_t colour = palette.colour(i);
    entries[i] = {static_cast<png_byte>(colour >> 16), static_cast<png_byte>(colour >> 8),
                  static_cast<png_byte>(colour)};
  }
  png_set_PLTE(s.png, s.info, entries.data(), palette.count());
  png_write_info(s.png, s.info);
  write_png_rows(s.png, indices, p.height, row_bytes, 0);
}

// The picture as the file will hold it, top row first.
Picture top_down(const Picture& p) {
  if (!(p.layout & ROWS_BOTTOM_UP)) return p;
  return {p.pixels + static_cast<std::ptrdiff_t>(p.stride) * (p.height - 1), p.width, p.height, -p.stride, 0};
}

// As in the RGB writer, libpng reports every error by a long jump back into
// this frame; nothing set after setjmp is read after the jump.
bool encode(PngSession& s, const Picture& p, const ExactPalette& palette, std::uint8_t* indices) {
  std::jmp_buf* recovery = png_set_longjmp_fn(s.png, std::longjmp, sizeof(std::jmp_buf));
  if (!recovery) return false;
  if (setjmp(*recovery)) return false;
  // Index rows of a dithered screen have nothing a filter could predict;
  // RGB rows (averaged thumbnails) are smooth, and each row gets its best.
  if (!s.prepare(DEFLATE_LEVEL, indices ? PNG_FILTER_NONE : PNG_ALL_FILTERS)) return false;
  if (indices)
    write_indexed(s, p, palette, indices);
  else
    write_true_colour_png(s, p.pixels, p.width, p.height, p.stride, p.layout, PNG_COLOR_TYPE_RGB);
  png_write_end(s.png, s.info);
  return true;
}

ImageEncoder compact_entry{};
bool compact_registered = false;

}  // namespace

std::int32_t write_compact_png(const char16_t* name, const std::uint8_t* pixels, std::int32_t width,
                               std::int32_t height, std::int32_t stride, std::uint32_t layout, std::uint32_t,
                               std::int32_t) {
  if (!name) return 0;
  return write_compact_png_named(native::to_utf8(name), pixels, width, height, stride, layout);
}

std::int32_t write_compact_png_named(const std::string& path, const std::uint8_t* pixels, std::int32_t width,
                                     std::int32_t height, std::int32_t stride, std::uint32_t layout) {
  if (!pixels || width <= 0 || height <= 0) return 0;
  if (stride < static_cast<std::int64_t>(width) * 3) return 0;
  const Picture picture = top_down({pixels, width, height, stride, layout});

  HeapBlock indices(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  if (!indices.bytes) return 0;
  ExactPalette palette;
  const bool indexed = index_picture(picture, palette, indices.bytes);

  PngSession s;
  if (!s.open(path) || !encode(s, picture, palette, indexed ? indices.bytes : nullptr)) return 0;
  return s.commit() ? 1 : 0;
}

void register_compact_png_encoder() {
  if (compact_registered) return;
  compact_entry.code = ENCODER_PNG_COMPACT;
  compact_entry.write_24 = write_compact_png;
  register_encoder(&compact_entry);
  compact_registered = find_encoder(ENCODER_PNG_COMPACT) == &compact_entry;
}
