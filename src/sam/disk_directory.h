#pragma once
// The SAMDOS / MasterDOS directory of a disk image, 80 entries on side 0
// tracks 0-3, and each file's chain of sectors checked against its header
// and its sector map. Nothing on the disk is trusted: every file that cannot
// be read whole says why, and the others still read.
#include "sam/disk_image.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int DISK_DIRECTORY_SLOTS = 80;
constexpr int DISK_NAME_BYTES = 10;

enum class DiskFileKind {
  sam_screen,         // type 20: a SCREEN$ of mode 1-4
  spectrum_screen,    // a ZX Spectrum screen: 6,912 bytes of display
  compressed_screen,  // a SCREEN$ MasterBASIC compressed (entry byte 220)
  other,
};

struct DiskFile {
  int slot = 0;                                   // 1-80, the entry's place in the directory
  std::array<std::uint8_t, DISK_NAME_BYTES> name{};  // as on the disk, padding included
  int type = 0;                                   // bits 0-4 of the entry's first byte
  bool hidden = false;                            // bit 7
  bool protected_file = false;                    // bit 6
  int sectors = 0;                                // the directory's count
  std::int64_t length = -1;                       // the data's, after its 9-byte header; -1 when unknown
  DiskFileKind kind = DiskFileKind::other;
  int mode = 0;        // 1-4 for a SAM screen, 1 for a Spectrum one, 0 otherwise
  std::string broken;  // empty, or why the data cannot be read, e.g. "its chain loops at track 5 sector 3"
};

struct DiskDirectory {
  std::vector<DiskFile> files;  // the used slots, in slot order; erased ones left out
  std::string why;              // when the image holds no directory at all
};

DiskDirectory read_disk_directory(const DiskImage& disk);

// The name as it is shown and used: the bytes without the trailing padding.
std::string disk_file_name(const DiskFile& file);

// A file's data after its 9-byte header, exactly `length` bytes, for a file
// whose `broken` is empty.
std::vector<std::uint8_t> disk_file_data(const DiskImage& disk, const DiskFile& file);
