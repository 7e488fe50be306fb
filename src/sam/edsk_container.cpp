// The EDSK container: a 256-byte disk block with a table of track sizes,
// then each track as a 256-byte block listing its sectors' IDs and lengths,
// followed by the sectors' data in the list's order. Nothing in it is
// trusted: a track is taken only where the table puts it and when its block
// says it is that track; a sector only when it has a SAM sector's ID (1-10),
// is 512 bytes long and lies whole inside both its track and the file.
#include "sam/disk_layouts.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t BLOCK_BYTES = 256;
constexpr std::size_t TRACK_COUNT = 0x30, SIDE_COUNT = 0x31, TRACK_SIZES = 0x34;
constexpr std::size_t TRACK_NUMBER = 0x10, TRACK_SIDE = 0x11, TRACK_SECTOR_COUNT = 0x15, SECTOR_INFO = 0x18,
                      SECTOR_INFO_BYTES = 8;
// As many sector entries as the track block has room for.
constexpr int MOST_LISTED_SECTORS = (BLOCK_BYTES - SECTOR_INFO) / SECTOR_INFO_BYTES;

// Takes the sectors the track block at `block` lists, their data running from
// the end of the block to `end` (the track's or the file's, whichever is first).
void map_track(std::span<const std::uint8_t> image, std::size_t block, std::size_t end, int side, int cylinder,
               std::span<std::int32_t, DISK_IMAGE_SECTORS> offsets) {
  const int listed = std::min<int>(image[block + TRACK_SECTOR_COUNT], MOST_LISTED_SECTORS);
  std::size_t data = block + BLOCK_BYTES;
  for (int i = 0; i < listed && data < end; ++i) {
    const std::uint8_t* info = image.data() + block + SECTOR_INFO + i * SECTOR_INFO_BYTES;
    const std::size_t length = info[6] | info[7] << 8;
    const int id = info[2];
    if (id >= 1 && id <= DISK_SECTORS && length == DISK_SECTOR_BYTES && end - data >= length &&
        data <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      std::int32_t& offset = offsets[disk_sector_index(side, cylinder, id)];
      if (offset < 0) offset = static_cast<std::int32_t>(data);
    }
    data += length;
  }
}

}  // namespace

std::string edsk_problem(std::span<const std::uint8_t> image) {
  if (image.size() < BLOCK_BYTES) return "too short for an EDSK header: " + std::to_string(image.size()) + " bytes";
  const int sides = image[SIDE_COUNT];
  if (sides != 1 && sides != 2) return "its EDSK header gives " + std::to_string(sides) + " sides, not 1 or 2";
  if (image[TRACK_COUNT] == 0) return "its EDSK header gives no tracks";
  return "";
}

void map_edsk_sectors(std::span<const std::uint8_t> image, std::span<std::int32_t, DISK_IMAGE_SECTORS> offsets) {
  if (!edsk_problem(image).empty()) return;
  const int sides = image[SIDE_COUNT];
  // The table has room for 204 tracks; its place in it says which track a
  // block should be (cylinder by cylinder, sides in turn), and a block that
  // says otherwise is not taken: a table that lies leaves tracks missing,
  // never read as others.
  const std::size_t tracks = std::min<std::size_t>(image[TRACK_COUNT] * sides, BLOCK_BYTES - TRACK_SIZES);
  std::size_t block = BLOCK_BYTES;
  for (std::size_t i = 0; i < tracks && block < image.size(); ++i) {
    const std::size_t size = image[TRACK_SIZES + i] * BLOCK_BYTES;  // 0: an unformatted track, taking no room
    const std::size_t end = std::min(image.size(), block + size);
    const int cylinder = static_cast<int>(i) / sides, side = static_cast<int>(i) % sides;
    if (size >= BLOCK_BYTES && end - block >= BLOCK_BYTES && cylinder < DISK_CYLINDERS &&
        starts_with(image.subspan(block, BLOCK_BYTES), "Track-Info") && image[block + TRACK_NUMBER] == cylinder &&
        image[block + TRACK_SIDE] == side)
      map_track(image, block, end, side, cylinder, offsets);
    block += size;
  }
}
