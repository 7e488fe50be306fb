#include "other_formats.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t HEAD_BYTES = 18;

bool starts_with(std::span<const std::uint8_t> head, std::string_view signature) {
  return head.size() >= signature.size() &&
         std::equal(signature.begin(), signature.end(), head.begin(),
                    [](char s, std::uint8_t h) { return static_cast<std::uint8_t>(s) == h; });
}

std::uint32_t little_endian(std::span<const std::uint8_t> head, std::size_t at) {
  return static_cast<std::uint32_t>(head[at] | head[at + 1] << 8 | head[at + 2] << 16 | head[at + 3] << 24);
}

// "BM" alone is too likely in a screen's first pixels: a bitmap also has
// zeros where its reserved fields are and a header size that one of its
// versions uses.
bool is_bitmap(std::span<const std::uint8_t> head) {
  if (!starts_with(head, "BM") || head.size() < HEAD_BYTES || little_endian(head, 6) != 0) return false;
  const std::uint32_t info = little_endian(head, 14);
  return info == 12 || info == 16 || info == 40 || info == 52 || info == 56 || info == 64 || info == 108 || info == 124;
}

// Likewise a TIFF's four bytes: its first directory lies within the file.
bool is_tiff(std::span<const std::uint8_t> head, std::uint64_t size) {
  if (head.size() < 8) return false;
  std::uint32_t first = 0;
  if (starts_with(head, std::string_view("II*\0", 4)))
    first = little_endian(head, 4);
  else if (starts_with(head, std::string_view("MM\0*", 4)))
    first = static_cast<std::uint32_t>(head[4] << 24 | head[5] << 16 | head[6] << 8 | head[7]);
  else
    return false;
  return first >= 8 && first < size;
}

}  // namespace

std::optional<std::string_view> other_format(std::span<const std::uint8_t> head, std::uint64_t size) {
  struct Signature {
    std::string_view bytes;
    std::string_view kind;
  };
  static constexpr std::array<Signature, 9> SIGNATURES = {{
      {"\x89PNG\r\n\x1a\n", "a PNG picture"},
      {"\xFF\xD8\xFF", "a JPEG picture"},
      {"GIF87a", "a GIF picture"},
      {"GIF89a", "a GIF picture"},
      {"PK\x03\x04", "a ZIP archive"},
      {"PK\x05\x06", "a ZIP archive"},
      {"\x1F\x8B\x08", "a gzip file"},
      {"%PDF-", "a PDF document"},
      {"\x7F"
       "ELF",
       "an ELF program"},
  }};
  for (const Signature& s : SIGNATURES)
    if (starts_with(head, s.bytes)) return s.kind;
  if (starts_with(head, "RIFF") && head.size() >= 12 && starts_with(head.subspan(8), "WEBP")) return "a WebP picture";
  if (is_tiff(head, size)) return "a TIFF picture";
  if (is_bitmap(head)) return "a BMP picture";
  return std::nullopt;
}
