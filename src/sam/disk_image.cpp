// A disk image: which container it is, and its table of sectors, for the
// containers that keep them at places a formula gives (MGT, IMG and SAD)
// here and for EDSK in edsk_container.cpp. SAD and EDSK say what they are
// in their first bytes; an MGT is only 819,200 bytes whose directory reads,
// in one of two orders of its sides.
#include "sam/disk_image.h"

#include "sam/disk_directory.h"
#include "sam/disk_layouts.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

struct SadGeometry {
  int sides, cylinders, sectors, sector_bytes;
};

SadGeometry sad_geometry(std::span<const std::uint8_t> image) {
  return {image[18], image[19], image[20], image[21] * 64};
}

// How well the directory reads in that order: -1 when it does not (files
// listed and none of them reads), else how many files read.
int directory_score(std::span<const std::uint8_t> image, DiskContainer order) {
  const DiskDirectory directory = read_disk_directory(DiskImage(image, order));
  const auto reading = std::count_if(directory.files.begin(), directory.files.end(),
                                     [](const DiskFile& file) { return file.broken.empty(); });
  return directory.files.empty() || reading > 0 ? static_cast<int>(reading) : -1;
}

// Ends in ".img", any case (ASCII only: the name's bytes are no text).
bool named_img(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view end = name.substr(name.size() - 4);
  return end[0] == '.' && (end[1] | 0x20) == 'i' && (end[2] | 0x20) == 'm' && (end[3] | 0x20) == 'g';
}

}  // namespace

bool starts_with(std::span<const std::uint8_t> bytes, std::string_view text) {
  return bytes.size() >= text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

std::string sad_problem(std::span<const std::uint8_t> image) {
  if (image.size() < SAD_HEADER_BYTES) return "too short for a SAD header: " + std::to_string(image.size()) + " bytes";
  const SadGeometry g = sad_geometry(image);
  if (g.sector_bytes != DISK_SECTOR_BYTES)
    return "its SAD header gives sectors of " + std::to_string(g.sector_bytes) + " bytes, not 512";
  if (g.sides == 0 || g.cylinders == 0 || g.sectors == 0)
    return "its SAD header gives no sectors: " + std::to_string(g.sides) + " sides, " + std::to_string(g.cylinders) +
           " cylinders, " + std::to_string(g.sectors) + " sectors a track";
  return "";
}

void map_plain_sectors(std::span<const std::uint8_t> image, DiskContainer container,
                       std::span<std::int32_t, DISK_IMAGE_SECTORS> offsets) {
  // MGT and IMG: 2 sides x 80 cylinders x 10 sectors, in two orders; a SAD
  // any geometry its header gives, of which a SAM disk's part is read.
  SadGeometry g{2, DISK_CYLINDERS, DISK_SECTORS, DISK_SECTOR_BYTES};
  std::int64_t start = 0;
  if (container == DiskContainer::sad) {
    if (!sad_problem(image).empty()) return;
    g = sad_geometry(image);
    start = SAD_HEADER_BYTES;
  }
  // Offsets stay 32-bit: an image past 2 GiB holds nothing beyond that.
  const std::int64_t end = std::min<std::int64_t>(image.size(), std::numeric_limits<std::int32_t>::max());
  const int sectors = std::min(g.sectors, DISK_SECTORS);
  for (int side = 0; side < std::min(g.sides, 2); ++side)
    for (int cylinder = 0; cylinder < std::min(g.cylinders, DISK_CYLINDERS); ++cylinder) {
      const std::int64_t track = container == DiskContainer::mgt ? cylinder * 2 + side : side * g.cylinders + cylinder;
      const std::int64_t first = start + track * g.sectors * DISK_SECTOR_BYTES;
      const std::int64_t whole = std::clamp<std::int64_t>((end - first) / DISK_SECTOR_BYTES, 0, sectors);
      std::int32_t* offset = &offsets[disk_sector_index(side, cylinder, 1)];
      for (int i = 0; i < whole; ++i) offset[i] = static_cast<std::int32_t>(first + i * DISK_SECTOR_BYTES);
    }
}

DiskImage::DiskImage(std::span<const std::uint8_t> image, DiskContainer container)
    : image_(image), container_(container) {
  offsets_.fill(-1);
  if (container == DiskContainer::edsk)
    map_edsk_sectors(image_, offsets_);
  else
    map_plain_sectors(image_, container, offsets_);
}

const std::uint8_t* DiskImage::sector(int track, int sector) const {
  const int side = track >> 7, cylinder = track & 0x7F;
  if (track < 0 || side > 1 || cylinder >= DISK_CYLINDERS || sector < 1 || sector > DISK_SECTORS) return nullptr;
  const std::int32_t offset = offsets_[disk_sector_index(side, cylinder, sector)];
  return offset < 0 ? nullptr : image_.data() + offset;
}

bool looks_like_disk_image(std::span<const std::uint8_t> head, std::int64_t size) {
  return starts_with(head, SAD_SIGNATURE) || starts_with(head, EDSK_SIGNATURE) || size == MGT_IMAGE_BYTES;
}

DiskImageVerdict disk_container(std::span<const std::uint8_t> image, std::string_view name) {
  const auto size = static_cast<std::int64_t>(image.size());
  if (size > MOST_DISK_IMAGE_BYTES)
    return {std::nullopt, "too large for a SAM disk image: " + std::to_string(size) + " bytes, at most " +
                              std::to_string(MOST_DISK_IMAGE_BYTES)};
  if (starts_with(image, SAD_SIGNATURE)) {
    std::string why = sad_problem(image);
    if (why.empty()) return {DiskContainer::sad, ""};
    return {std::nullopt, why};
  }
  if (starts_with(image, EDSK_SIGNATURE)) {
    std::string why = edsk_problem(image);
    if (why.empty()) return {DiskContainer::edsk, ""};
    return {std::nullopt, why};
  }
  if (size != MGT_IMAGE_BYTES)
    return {std::nullopt,
            "no SAD or EDSK signature, and " + std::to_string(size) + " bytes where an MGT image has 819200"};
  const int mgt = directory_score(image, DiskContainer::mgt);
  const int img = directory_score(image, DiskContainer::img);
  if (mgt < 0 && img < 0)
    return {std::nullopt, "819200 bytes, but no file in its directory reads in either order of its sides"};
  if (img > mgt || (img == mgt && named_img(name))) return {DiskContainer::img, ""};
  return {DiskContainer::mgt, ""};
}
