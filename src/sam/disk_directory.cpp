#include "sam/disk_directory.h"

#include "sam/disk_chain.h"
#include "sam/file_header.h"

#include <algorithm>
#include <span>

namespace {

constexpr int SAM_FILE_TYPES_FROM = 16, SAM_FILE_TYPES_TO = 20;
constexpr int SPECTRUM_CODE_TYPE = 4, SPECTRUM_SCREEN_TYPE = 7;
constexpr int SPECTRUM_SCREEN_ADDRESS = 16384;

using Entry = std::span<const std::uint8_t, DISK_ENTRY_BYTES>;

// The data's length by the 9-byte header the chain starts with, or -1.
std::int64_t header_length(int type, const std::uint8_t* header) {
  const int low = header[1] | header[2] << 8;
  if (type >= SAM_FILE_TYPES_FROM && type <= SAM_FILE_TYPES_TO) return std::int64_t{header[7]} * 16384 + (low & 0x3FFF);
  if ((type >= 1 && type <= SPECTRUM_CODE_TYPE) || type == SPECTRUM_SCREEN_TYPE) return low;
  return -1;
}

void classify(DiskFile& file, Entry entry, const std::uint8_t* header) {
  if (file.type == SCREEN_FILE_TYPE) {
    file.kind = entry[220] & 0x0C ? DiskFileKind::compressed_screen : DiskFileKind::sam_screen;
    if (entry[221] <= 3)
      file.mode = entry[221] + 1;
    else if (header)
      file.mode = (header[8] >> 5 & 3) + 1;
    return;
  }
  const bool screen_sized = file.length == SPECTRUM_SCREEN_BYTES;
  const bool at_screen = header && (header[3] | header[4] << 8) == SPECTRUM_SCREEN_ADDRESS;
  if (screen_sized && (file.type == SPECTRUM_SCREEN_TYPE || (file.type == SPECTRUM_CODE_TYPE && at_screen))) {
    file.kind = DiskFileKind::spectrum_screen;
    file.mode = 1;
  }
}

DiskFile read_entry(const DiskImage& disk, int slot, Entry entry) {
  DiskFile file;
  file.slot = slot;
  std::copy_n(entry.begin() + 1, DISK_NAME_BYTES, file.name.begin());
  file.type = entry[0] & 0x1F;
  file.hidden = entry[0] & 0x80;
  file.protected_file = entry[0] & 0x40;
  file.sectors = entry[11] << 8 | entry[12];
  file.first_track = entry[13];
  file.first_sector = entry[14];
  const std::uint8_t* header = disk.sector(file.first_track, file.first_sector);
  if (header) {
    std::copy_n(header, FILE_HEADER_BYTES, file.header.begin());
    file.length = header_length(file.type, header);
  }
  classify(file, entry, header);
  file.broken = check_chain(disk, entry, file.length);
  return file;
}

}  // namespace

DiskDirectory read_disk_directory(const DiskImage& disk) {
  DiskDirectory directory;
  for (int i = 0; i < DISK_DIRECTORY_SLOTS; ++i) {
    const std::uint8_t* sector = disk.sector(i / 20, i % 20 / 2 + 1);
    if (!sector) {
      if (i == 0) directory.why = "the image holds no directory: it lacks track 0 sector 1";
      break;
    }
    const Entry entry(sector + i % 2 * DISK_ENTRY_BYTES, DISK_ENTRY_BYTES);
    if (entry[0] == 0 && entry[1] == 0) break;
    if ((entry[0] & 0x1F) == 0) continue;  // erased
    directory.files.push_back(read_entry(disk, i + 1, entry));
  }
  return directory;
}

std::string disk_file_name(const DiskFile& file) {
  std::size_t size = file.name.size();
  while (size > 0 && file.name[size - 1] == ' ') --size;
  return std::string(file.name.begin(), file.name.begin() + size);
}

std::vector<std::uint8_t> disk_file_data(const DiskImage& disk, const DiskFile& file) {
  if (!file.broken.empty()) return {};
  return read_chain(disk, file.first_track, file.first_sector, FILE_HEADER_BYTES, file.length);
}
