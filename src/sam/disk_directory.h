#pragma once
// The SAMDOS / MasterDOS directory of a disk image, 80 entries on side 0
// tracks 0-3, and each file's chain of sectors checked against its header
// and its sector map. Nothing on the disk is trusted: every file that cannot
// be read whole says why, and the others still read. Reading the directory
// walks each chain once, at most a step for each of the disk's 1,600
// sectors; nothing is kept but the entries.
#include "sam/disk_image.h"
#include "sam/file_header.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int DISK_DIRECTORY_SLOTS = 80;
constexpr int DISK_NAME_BYTES = 10;
constexpr int SPECTRUM_SCREEN_BYTES = 6912;

enum class DiskFileKind {
  sam_screen,         // type 20: a SCREEN$ of mode 1-4
  spectrum_screen,    // type 7 (ZX SCREEN$), or 4 (ZX CODE) at 16,384; 6,912 bytes in either case
  compressed_screen,  // a SCREEN$ MasterBASIC compressed (entry byte 220 bits 2-3)
  other,
};

struct DiskFile {
  int slot = 0;                                      // 1-80, the entry's place in the directory
  std::array<std::uint8_t, DISK_NAME_BYTES> name{};  // as on the disk, padding included
  int type = 0;                                      // bits 0-4 of the entry's first byte
  bool hidden = false;                               // bit 7
  bool protected_file = false;                       // bit 6
  int sectors = 0;                                   // the directory's count
  int first_track = 0, first_sector = 0;             // where the entry says its chain starts
  // The 9 bytes at the start of the sector the entry names first (zeros
  // when the image holds no such sector): the file header, on a sound chain.
  std::array<std::uint8_t, FILE_HEADER_BYTES> header{};
  // The data's, after its 9-byte header: SAM files (types 16-20) by the
  // header's pages and length modulo 16 KiB; Spectrum BASIC, arrays, CODE
  // and SCREEN$ (types 1-4, 7) by its 16-bit length. -1 for other types
  // (snapshots and the like have no such header) or an unreadable header.
  std::int64_t length = -1;
  DiskFileKind kind = DiskFileKind::other;
  // 1-4 for a SAM screen (entry byte 221 + 1 when 0-3, else the header's
  // page byte bits 5-6, else 0), 1 for a Spectrum one, 0 otherwise.
  int mode = 0;
  // Empty, or why the data cannot be read: one short clause, a sector said
  // as disk_place_text says it ("track 5 sector 3", "side 1 track 5 sector
  // 3"). In the order they are looked for:
  //   its first sector, PLACE, is not on the disk | is in the directory | is not in the image
  //   its chain leaves the disk at PLACE
  //   its chain runs into the directory at PLACE
  //   its chain reaches PLACE, which the image does not hold
  //   its chain loops at PLACE
  //   its chain runs on past the N sectors its length needs
  //   its chain ends after N sectors, its length needs M
  //   its directory entry counts N sectors, its chain has M
  //   its sector map disagrees with its chain at PLACE
  std::string broken;
};

struct DiskDirectory {
  std::vector<DiskFile> files;  // the used slots, in slot order; erased ones left out
  std::string why;              // when the image holds no directory at all
};

// Entries are read until one starting with two zero bytes, or a directory
// sector the image does not hold.
DiskDirectory read_disk_directory(const DiskImage& disk);

// The name as it is shown and used: the bytes without the trailing spaces
// that pad it.
std::string disk_file_name(const DiskFile& file);

// A file's data after its 9-byte header: exactly `length` bytes (all the
// chain holds after the header when the length is not known), for a file
// whose `broken` is empty. One file at a time: files on a hand-made disk may
// share sectors, so extracting all at once could cost far more than the disk.
std::vector<std::uint8_t> disk_file_data(const DiskImage& disk, const DiskFile& file);
