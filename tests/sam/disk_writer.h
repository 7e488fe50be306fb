#pragma once
// SAM disks made in memory for tests, fuzz seeds and benchmarks: 2 sides x
// 80 cylinders x 10 sectors of 512 bytes, a SAMDOS directory of 80 entries
// on side 0 tracks 0-3, and files on chains of sectors from track 4. Written
// from the format notes alone, never through the reader it tests, so that
// each checks the other. Sectors, links and entries stay open to poking, to
// make the broken disks the reader must survive.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

constexpr int WRITER_SIDES = 2;
constexpr int WRITER_CYLINDERS = 80;
constexpr int WRITER_SECTORS = 10;
constexpr int WRITER_SECTOR_BYTES = 512;
constexpr int WRITER_SLOTS = 80;
constexpr int WRITER_ENTRY_BYTES = 256;

// A sector as chains name it: a track byte (0-79 side 0, 128-207 side 1)
// and a sector 1-10.
struct DiskPlace {
  int track = 0;
  int sector = 0;
  bool operator==(const DiskPlace&) const = default;
};

// A file to put on a disk: its directory entry and what its chain holds.
struct DiskEntry {
  std::string name;  // its bytes, any of them; padded with spaces to 10, a longer one cut
  int type = 19;     // 0-31: 20 SCREEN$, 19 CODE, 7 ZX SCREEN$, 4 ZX CODE
  bool hidden = false;
  bool protected_file = false;
  std::vector<std::uint8_t> header;  // the 9 bytes the chain starts with (copied to entry bytes 211-219)
  std::vector<std::uint8_t> data;    // after the header
  std::uint8_t flags = 0;            // entry byte 220; bits 2-3 MasterBASIC compression
  std::uint8_t mode_byte = 0;        // entry byte 221: a screen's mode - 1
  // A track byte whose sector 1 the chain starts from (skipping used
  // sectors); -1: the first free sector after the last file's.
  int start_track = -1;
};

// A SCREEN$ of `mode` (1-4) whose body (display, palette table, records,
// end mark) is `body`: type 20, its header saying the length, start 0x8000
// and the mode in the page byte, and entry byte 221 = mode - 1.
DiskEntry sam_screen_entry(std::string name, int mode, std::vector<std::uint8_t> body);
// The same, MasterBASIC compressed (entry byte 220 bits 2-3 = 01); `body` is
// whatever the test wants the compressed bytes to be.
DiskEntry compressed_screen_entry(std::string name, int mode, std::vector<std::uint8_t> body);
// A ZX Spectrum SCREEN$ (type 7): 6,912 bytes of display at 16,384.
DiskEntry spectrum_screen_entry(std::string name, std::vector<std::uint8_t> display);
// A SAM CODE file (type 19) loaded at 0x8000 of page 1: any other file.
DiskEntry code_entry(std::string name, std::vector<std::uint8_t> data);

struct EdskOptions {
  int cylinders = WRITER_CYLINDERS;  // the first ones only, for small images
  int sides = WRITER_SIDES;
  bool interleaved = true;  // IDs 1,6,2,7,3,8,4,9,5,10 in each track block, data in that order
  // (track block index, size in 256-byte units) the track table says
  // instead of the truth; a block's index is cylinder * sides + side.
  std::vector<std::pair<int, int>> table_lies;
};

class DiskWriter {
 public:
  DiskWriter();  // a formatted disk: every byte 0, the directory empty

  // Writes the file's chain on free sectors from entry.start_track (or after
  // the last file) and its entry in the next unused slot, with the sector
  // count, first sector, sector map, header copy and bytes 220-221.
  // Returns the slot, 1-80. A full disk or directory is a fault of the test.
  int add(const DiskEntry& entry);
  // Type 0: readers leave the slot out; its name and chain stay as they were.
  void erase(int slot);

  // For breaking things: a sector's 512 bytes, a slot's 256-byte entry, the
  // chain a file was written on, a link (bytes 510-511) rewritten.
  std::span<std::uint8_t> sector(DiskPlace place);
  std::span<std::uint8_t> entry(int slot);
  const std::vector<DiskPlace>& chain(int slot) const;
  void link(DiskPlace from, DiskPlace to);

  // The containers: MGT (sides interleaved track by track), IMG (side 0
  // first), SAD and EDSK. `cylinders` and `sides` below the disk's keep only
  // those tracks (images small enough for fuzz seeds).
  std::vector<std::uint8_t> mgt() const;
  std::vector<std::uint8_t> img() const;
  std::vector<std::uint8_t> sad(int cylinders = WRITER_CYLINDERS, int sides = WRITER_SIDES) const;
  std::vector<std::uint8_t> edsk(const EdskOptions& options = {}) const;

 private:
  std::span<const std::uint8_t> track_bytes(int cylinder, int side) const;

  std::vector<std::uint8_t> sectors_;           // side 0 first, cylinder by cylinder
  std::vector<bool> used_;                      // by sector, in the same order
  std::vector<std::vector<DiskPlace>> chains_;  // by slot - 1
  int next_free_ = 4 * WRITER_SECTORS;          // the sector after the last file's
};
