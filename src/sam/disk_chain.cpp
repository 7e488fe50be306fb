#include "sam/disk_chain.h"

#include "sam/disk_layouts.h"
#include "sam/file_header.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr int DIRECTORY_TRACKS = 4;  // side 0 tracks 0-3
constexpr std::size_t MAP_AT = 15, MAP_BYTES = 195;
// The map's bit 0 is side 0 track 4 sector 1, the 41st sector of the disk.
constexpr std::size_t MAP_FIRST_BYTE = DIRECTORY_TRACKS * DISK_SECTORS / 8;
static_assert(DIRECTORY_TRACKS * DISK_SECTORS % 8 == 0, "the map starts on a byte of the chain's bits");

bool on_disk(int track, int sector) { return (track & 0x7F) < DISK_CYLINDERS && sector >= 1 && sector <= DISK_SECTORS; }

bool in_directory(int track, int sector) { return track < DIRECTORY_TRACKS && on_disk(track, sector); }

int sector_index(int track, int sector) { return disk_sector_index(track >> 7, track & 0x7F, sector); }

std::string sectors_text(std::int64_t count) { return std::to_string(count) + (count == 1 ? " sector" : " sectors"); }

// Why the chain cannot go on to (track, sector), or empty. Words are made
// only for a fault: this runs once a sector of every chain.
std::string step_problem(const DiskImage& disk, int track, int sector, bool first) {
  const bool off = !on_disk(track, sector), directory = !off && in_directory(track, sector);
  const bool missing = !off && !directory && !disk.sector(track, sector);
  if (!off && !directory && !missing) return {};
  const std::string place = disk_place_text(track, sector);
  if (first)
    return "its first sector, " + place +
           (off         ? ", is not on the disk"
            : directory ? ", is in the directory"
                        : ", is not in the image");
  if (off) return "its chain leaves the disk at " + place;
  if (directory) return "its chain runs into the directory at " + place;
  return "its chain reaches " + place + ", which the image does not hold";
}

}  // namespace

std::string disk_place_text(int track, int sector) {
  return std::string(track & 0x80 ? "side 1 " : "") + "track " + std::to_string(track & 0x7F) + " sector " +
         std::to_string(sector);
}

std::int64_t chain_sectors(std::int64_t length) {
  return (FILE_HEADER_BYTES + length + SECTOR_DATA_BYTES - 1) / SECTOR_DATA_BYTES;
}

std::string check_chain(const DiskImage& disk, std::span<const std::uint8_t, DISK_ENTRY_BYTES> entry,
                        std::int64_t length) {
  int track = entry[13], sector = entry[14];
  const std::int64_t needed = length < 0 ? -1 : chain_sectors(length);
  // Bit n (LSB first) for the disk's sector n, side 0 first: the sectors
  // passed, to find a loop, and from track 4 on the map the entry should hold.
  std::array<std::uint8_t, DISK_IMAGE_SECTORS / 8> passed{};
  std::int64_t count = 0;
  for (;;) {
    if (std::string problem = step_problem(disk, track, sector, count == 0); !problem.empty()) return problem;
    const int index = sector_index(track, sector);
    if (passed[index / 8] >> index % 8 & 1) return "its chain loops at " + disk_place_text(track, sector);
    passed[index / 8] |= static_cast<std::uint8_t>(1 << index % 8);
    ++count;
    const std::uint8_t* bytes = disk.sector(track, sector);
    const bool last = bytes[SECTOR_DATA_BYTES] == 0 && bytes[SECTOR_DATA_BYTES + 1] == 0;
    if (count == needed && !last) return "its chain runs on past the " + sectors_text(needed) + " its length needs";
    if (last && count < needed)
      return "its chain ends after " + sectors_text(count) + ", its length needs " + std::to_string(needed);
    if (last) break;
    track = bytes[SECTOR_DATA_BYTES];
    sector = bytes[SECTOR_DATA_BYTES + 1];
  }

  const int counted = entry[11] << 8 | entry[12];
  if (counted != count)
    return "its directory entry counts " + sectors_text(counted) + ", its chain has " + std::to_string(count);
  const std::uint8_t* map = entry.data() + MAP_AT;
  const std::uint8_t* chain = passed.data() + MAP_FIRST_BYTE;
  if (std::memcmp(map, chain, MAP_BYTES) != 0) {
    std::size_t byte = 0;
    while (map[byte] == chain[byte]) ++byte;
    const int bit = std::countr_zero(static_cast<unsigned>(map[byte] ^ chain[byte]));
    const int index = static_cast<int>((MAP_FIRST_BYTE + byte) * 8) + bit;
    const int track_number = index / DISK_SECTORS;
    const int track_byte = (track_number / DISK_CYLINDERS) << 7 | track_number % DISK_CYLINDERS;
    return "its sector map disagrees with its chain at " + disk_place_text(track_byte, index % DISK_SECTORS + 1);
  }
  return "";
}

std::vector<std::uint8_t> read_chain(const DiskImage& disk, int track, int sector, int skip, std::int64_t length) {
  std::vector<std::uint8_t> bytes;
  std::int64_t to_skip = skip;
  // However the links run, no chain is longer than the disk.
  for (int step = 0; step < DISK_IMAGE_SECTORS; ++step) {
    const std::uint8_t* at = disk.sector(track, sector);
    if (!at) return {};
    const std::int64_t from = std::min<std::int64_t>(to_skip, SECTOR_DATA_BYTES);
    to_skip -= from;
    std::int64_t take = SECTOR_DATA_BYTES - from;
    if (length >= 0) take = std::min(take, length - static_cast<std::int64_t>(bytes.size()));
    bytes.insert(bytes.end(), at + from, at + from + take);
    if (length >= 0 && static_cast<std::int64_t>(bytes.size()) == length) return bytes;
    track = at[SECTOR_DATA_BYTES];
    sector = at[SECTOR_DATA_BYTES + 1];
    if (track == 0 && sector == 0) return length < 0 ? bytes : std::vector<std::uint8_t>{};
  }
  return {};
}
