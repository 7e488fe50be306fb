#pragma once
// A file's chain of sectors: each sector holds 510 bytes of the file, then
// the track and sector of the next, (0, 0) after the last. Walked without
// trusting a byte of it, in at most one step a sector of the disk.
#include "sam/disk_image.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

constexpr int DISK_ENTRY_BYTES = 256;
constexpr int SECTOR_DATA_BYTES = 510;

// A sector in the words of every error: "track 5 sector 3" on side 0,
// "side 1 track 5 sector 3" on side 1 (track byte 133); a byte that is no
// track on a SAM disk is said the same way ("track 90 sector 0").
std::string disk_place_text(int track, int sector);

// How many sectors the 9-byte header and `length` bytes of data fill.
std::int64_t chain_sectors(std::int64_t length);

// Why the chain a directory entry describes cannot be read whole, or empty
// when it can: its first sector, each link, its length against the one its
// header gives (`length`, or -1 when not known, when only its end is
// looked for) and against the entry's sector count and sector map.
std::string check_chain(const DiskImage& disk, std::span<const std::uint8_t, DISK_ENTRY_BYTES> entry,
                        std::int64_t length);

// The bytes of the chain from (track, sector) after its first `skip`:
// `length` of them, or to the chain's end when `length` is -1. Empty when
// the chain does not hold them (check_chain says why).
std::vector<std::uint8_t> read_chain(const DiskImage& disk, int track, int sector, int skip, std::int64_t length);
