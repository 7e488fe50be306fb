// Which container a disk image is: SAD and EDSK say so in their first
// bytes; an MGT is only 819,200 bytes whose directory reads, in one of two
// orders of its sides.
#include "sam/disk_directory.h"
#include "sam/disk_image.h"
#include "sam/disk_layouts.h"

#include <algorithm>
#include <cctype>

namespace {

// How well the directory reads in that order: -1 when it does not (files
// listed and none of them reads), else how many files read.
int directory_score(std::span<const std::uint8_t> image, DiskContainer order) {
  const DiskDirectory directory = read_disk_directory(DiskImage(image, order));
  const auto reading = std::count_if(directory.files.begin(), directory.files.end(),
                                     [](const DiskFile& file) { return file.broken.empty(); });
  return directory.files.empty() || reading > 0 ? static_cast<int>(reading) : -1;
}

bool named_img(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view end = name.substr(name.size() - 4);
  return end[0] == '.' && std::tolower(static_cast<unsigned char>(end[1])) == 'i' &&
         std::tolower(static_cast<unsigned char>(end[2])) == 'm' &&
         std::tolower(static_cast<unsigned char>(end[3])) == 'g';
}

}  // namespace

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
