// The disk written out in each container the reader takes.
#include "disk_writer.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int TRACK_BYTES = WRITER_SECTORS * WRITER_SECTOR_BYTES;
constexpr int EDSK_BLOCK_BYTES = 256;  // the disk block, and each track block
constexpr int EDSK_TRACK_BYTES = EDSK_BLOCK_BYTES + TRACK_BYTES;

void append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void put_text(std::vector<std::uint8_t>& out, std::size_t at, const char* text) {
  std::memcpy(out.data() + at, text, std::strlen(text));
}

}  // namespace

std::vector<std::uint8_t> DiskWriter::mgt() const {
  std::vector<std::uint8_t> out;
  for (int cylinder = 0; cylinder < WRITER_CYLINDERS; ++cylinder)
    for (int side = 0; side < WRITER_SIDES; ++side) append(out, track_bytes(cylinder, side));
  return out;
}

std::vector<std::uint8_t> DiskWriter::img() const { return sectors_; }

std::vector<std::uint8_t> DiskWriter::sad(int cylinders, int sides) const {
  std::vector<std::uint8_t> out(22, 0);
  put_text(out, 0, "Aley's disk backup");
  out[18] = static_cast<std::uint8_t>(sides);
  out[19] = static_cast<std::uint8_t>(cylinders);
  out[20] = WRITER_SECTORS;
  out[21] = WRITER_SECTOR_BYTES / 64;
  for (int side = 0; side < sides; ++side)
    for (int cylinder = 0; cylinder < cylinders; ++cylinder) append(out, track_bytes(cylinder, side));
  return out;
}

std::vector<std::uint8_t> DiskWriter::edsk(const EdskOptions& options) const {
  const int tracks = options.cylinders * options.sides;
  std::vector<std::uint8_t> out(EDSK_BLOCK_BYTES, 0);
  put_text(out, 0, "EXTENDED CPC DSK File\r\nDisk-Info\r\n");
  put_text(out, 0x22, "Tesselon tests");
  out[0x30] = static_cast<std::uint8_t>(options.cylinders);
  out[0x31] = static_cast<std::uint8_t>(options.sides);
  for (int i = 0; i < tracks && 0x34 + i < EDSK_BLOCK_BYTES; ++i) out[0x34 + i] = EDSK_TRACK_BYTES / 256;
  for (auto [index, size] : options.table_lies) out[0x34 + index] = static_cast<std::uint8_t>(size);

  constexpr std::array<int, WRITER_SECTORS> interleaved = {1, 6, 2, 7, 3, 8, 4, 9, 5, 10};
  for (int cylinder = 0; cylinder < options.cylinders; ++cylinder)
    for (int side = 0; side < options.sides; ++side) {
      const std::size_t block = out.size();
      out.resize(block + EDSK_BLOCK_BYTES, 0);
      put_text(out, block, "Track-Info\r\n");
      out[block + 0x10] = static_cast<std::uint8_t>(cylinder);
      out[block + 0x11] = static_cast<std::uint8_t>(side);
      out[block + 0x14] = 2;  // 128 << 2 = 512 bytes a sector
      out[block + 0x15] = WRITER_SECTORS;
      out[block + 0x16] = 0x4E;  // gap 3
      out[block + 0x17] = 0xE5;  // filler
      const std::span<const std::uint8_t> track = track_bytes(cylinder, side);
      for (int i = 0; i < WRITER_SECTORS; ++i) {
        const int id = options.interleaved ? interleaved[i] : i + 1;
        std::uint8_t* info = out.data() + block + 0x18 + 8 * i;
        info[0] = static_cast<std::uint8_t>(cylinder);
        info[1] = static_cast<std::uint8_t>(side);
        info[2] = static_cast<std::uint8_t>(id);
        info[3] = 2;
        info[6] = WRITER_SECTOR_BYTES & 0xFF;
        info[7] = WRITER_SECTOR_BYTES >> 8;
      }
      for (int i = 0; i < WRITER_SECTORS; ++i) {
        const int id = options.interleaved ? interleaved[i] : i + 1;
        append(out, track.subspan(static_cast<std::size_t>(id - 1) * WRITER_SECTOR_BYTES, WRITER_SECTOR_BYTES));
      }
    }
  return out;
}
