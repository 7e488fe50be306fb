#pragma once
// An independent look at PNG files for the writer tests: libpng's read side
// for the pixels, and a plain chunk walk plus zlib for the raw layout.
#include <cstdint>
#include <string>
#include <vector>

struct DecodedPng {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bit_depth = 0;
  int colour_type = 0;
  int interlace = -1;
  // Red, green, blue per entry, palette images only.
  std::vector<std::uint8_t> palette;
  // Top row first; palette indices one a byte, colours as stored (R, G, B[, A]).
  std::vector<std::vector<std::uint8_t>> rows;
};

// False when libpng cannot read the file.
bool decode_png(const std::string& path, DecodedPng& out);

// The decoded picture's colours, R, G, B per pixel and top row first,
// whether it was stored as RGB or through a palette; empty for other kinds.
std::vector<std::vector<std::uint8_t>> rgb_rows(const DecodedPng& png);

struct PngChunks {
  bool signature_ok = false;
  std::vector<std::string> types;  // in file order
  std::vector<std::uint8_t> idat;  // all IDAT data, concatenated
};
PngChunks walk_chunks(const std::vector<std::uint8_t>& file);

// The inflated IDAT stream: per row a filter byte followed by the row's bytes.
// Empty when the stream is not valid zlib data.
std::vector<std::uint8_t> inflate_all(const std::vector<std::uint8_t>& compressed);
