#include "png_reader.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>

namespace {

std::uint32_t big_endian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// libpng errors jump back here; the frame holds nothing with a destructor.
bool read_with_libpng(std::FILE* file, png_structp png, png_infop info, DecodedPng& out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  out.width = png_get_image_width(png, info);
  out.height = png_get_image_height(png, info);
  out.bit_depth = png_get_bit_depth(png, info);
  out.colour_type = png_get_color_type(png, info);
  out.interlace = png_get_interlace_type(png, info);
  png_colorp entries = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &entries, &count) & PNG_INFO_PLTE) {
    for (int i = 0; i < count; ++i) {
      out.palette.push_back(entries[i].red);
      out.palette.push_back(entries[i].green);
      out.palette.push_back(entries[i].blue);
    }
  }
  if (out.bit_depth < 8) png_set_packing(png);
  png_read_update_info(png, info);
  std::size_t row_bytes = png_get_rowbytes(png, info);
  out.rows.assign(out.height, std::vector<std::uint8_t>(row_bytes));
  for (std::uint32_t y = 0; y < out.height; ++y) png_read_row(png, out.rows[y].data(), nullptr);
  png_read_end(png, nullptr);
  return true;
}

void quiet(png_structp, png_const_charp) {}

}  // namespace

bool decode_png(const std::string& path, DecodedPng& out) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quiet);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png && info && read_with_libpng(file, png, info, out);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return ok;
}

std::vector<std::vector<std::uint8_t>> rgb_rows(const DecodedPng& png) {
  if (png.colour_type == 2 && png.bit_depth == 8) return png.rows;
  std::vector<std::vector<std::uint8_t>> rows;
  if (png.colour_type != 3) return rows;
  for (const std::vector<std::uint8_t>& indices : png.rows) {
    std::vector<std::uint8_t>& row = rows.emplace_back();
    for (std::size_t x = 0; x < png.width; ++x) {
      std::size_t at = std::size_t{indices[x]} * 3;
      if (at + 3 > png.palette.size()) return {};
      row.insert(row.end(), png.palette.begin() + static_cast<std::ptrdiff_t>(at),
                 png.palette.begin() + static_cast<std::ptrdiff_t>(at + 3));
    }
  }
  return rows;
}

PngChunks walk_chunks(const std::vector<std::uint8_t>& file) {
  static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  PngChunks chunks;
  if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) return chunks;
  chunks.signature_ok = true;
  std::size_t at = 8;
  while (at + 12 <= file.size()) {
    std::uint32_t length = big_endian32(&file[at]);
    std::string type(&file[at + 4], &file[at + 4] + 4);
    if (at + 12 + length > file.size()) {
      chunks.types.push_back("truncated");
      break;
    }
    chunks.types.push_back(type);
    if (type == "IDAT") chunks.idat.insert(chunks.idat.end(), &file[at + 8], &file[at + 8] + length);
    at += 12 + length;
  }
  if (at != file.size()) chunks.types.push_back("trailing bytes");
  return chunks;
}

std::vector<std::uint8_t> inflate_all(const std::vector<std::uint8_t>& compressed) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};
  std::vector<std::uint8_t> out;
  std::uint8_t buffer[16384];
  stream.next_in = const_cast<Bytef*>(compressed.data());
  stream.avail_in = static_cast<uInt>(compressed.size());
  int rc = Z_OK;
  while (rc == Z_OK) {
    stream.next_out = buffer;
    stream.avail_out = sizeof buffer;
    rc = inflate(&stream, Z_NO_FLUSH);
    out.insert(out.end(), buffer, buffer + (sizeof buffer - stream.avail_out));
  }
  inflateEnd(&stream);
  if (rc != Z_STREAM_END) return {};
  return out;
}
