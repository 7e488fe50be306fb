#include "disk_input.h"

#include "regular_file.h"

#include <cerrno>
#include <string_view>

namespace {

// What looks_like_disk_image is given of a file's start.
constexpr std::size_t HEAD_BYTES = 256;

bool ends_with_any_case(std::string_view name, std::string_view ending) {
  if (name.size() < ending.size()) return false;
  const std::string_view tail = name.substr(name.size() - ending.size());
  for (std::size_t i = 0; i < ending.size(); ++i)
    if ((tail[i] | 0x20) != ending[i]) return false;
  return true;
}

bool has_disk_image_name(std::string_view name) {
  for (std::string_view ending : {".mgt", ".sad", ".img", ".dsk"})
    if (ends_with_any_case(name, ending)) return true;
  return false;
}

}  // namespace

bool is_disk_input(const std::string& name) {
  const RegularFile file(name);
  if (!file.failure().empty()) return false;
  if (has_disk_image_name(name)) return true;
  std::uint8_t head[HEAD_BYTES];
  const std::int64_t got = read_fully(file.fd(), head, HEAD_BYTES, 0);
  return got >= 0 && looks_like_disk_image(std::span(head, static_cast<std::size_t>(got)), file.size());
}

DiskInput read_disk_input(const std::string& name) {
  DiskInput disk;
  const RegularFile file(name);
  if (!file.failure().empty()) {
    disk.failure = file.failure();
    return disk;
  }
  if (file.size() > MOST_DISK_IMAGE_BYTES) {
    disk.failure = "too large for a SAM disk image: " + std::to_string(file.size()) + " bytes, at most " +
                   std::to_string(MOST_DISK_IMAGE_BYTES);
    return disk;
  }
  disk.image.resize(static_cast<std::size_t>(file.size()));
  const std::int64_t got = read_fully(file.fd(), disk.image.data(), disk.image.size(), 0);
  if (got < 0) {
    disk.failure = cannot_read(errno);
    return disk;
  }
  // A file cut short while it was read is judged as what was read.
  disk.image.resize(static_cast<std::size_t>(got));
  DiskImageVerdict verdict = disk_container(disk.image, name);
  if (verdict.container)
    disk.container = *verdict.container;
  else
    disk.failure = "not a SAM disk image: " + verdict.why;
  return disk;
}
