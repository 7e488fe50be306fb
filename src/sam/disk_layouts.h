#pragma once
// Where each container keeps a disk's sectors; the disk reader's own, not
// for its callers. Every function takes the whole image and reads nothing
// outside it, whatever its headers and tables say.
#include "sam/disk_image.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

constexpr std::string_view SAD_SIGNATURE = "Aley's disk backup";
constexpr std::string_view EDSK_SIGNATURE = "EXTENDED CPC DSK File";
constexpr int SAD_HEADER_BYTES = 22;
constexpr int DISK_IMAGE_SECTORS = 2 * DISK_CYLINDERS * DISK_SECTORS;

bool starts_with(std::span<const std::uint8_t> bytes, std::string_view text);

// Sector `sector` (1-10) of `cylinder` on `side`, counted side 0 first as
// DiskImage's table and the directory's sector map count them.
constexpr int disk_sector_index(int side, int cylinder, int sector) {
  return (side * DISK_CYLINDERS + cylinder) * DISK_SECTORS + sector - 1;
}

// Why a SAD's header cannot be read as a SAM disk's, or empty.
std::string sad_problem(std::span<const std::uint8_t> image);
// Why an EDSK's disk block cannot be read, or empty. A track table that
// runs past the file is no reason: the tracks it holds still read.
std::string edsk_problem(std::span<const std::uint8_t> image);

// Fill `offsets` (by disk_sector_index, all -1 on entry) with where `image`
// holds each sector whole.
void map_plain_sectors(std::span<const std::uint8_t> image, DiskContainer container,
                       std::span<std::int32_t, DISK_IMAGE_SECTORS> offsets);
void map_edsk_sectors(std::span<const std::uint8_t> image, std::span<std::int32_t, DISK_IMAGE_SECTORS> offsets);
