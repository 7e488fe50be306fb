#include "disk_writer.h"

#include "sam_screens.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int DISK_SECTORS = WRITER_SIDES * WRITER_CYLINDERS * WRITER_SECTORS;
constexpr int DIRECTORY_SECTORS = 4 * WRITER_SECTORS;  // side 0 tracks 0-3

[[noreturn]] void fault(const char* what) {
  std::fprintf(stderr, "disk_writer: %s\n", what);
  std::abort();
}

// Sectors are counted side 0 first, as the sector map counts them.
int sector_index(DiskPlace place) {
  const int side = place.track >> 7, cylinder = place.track & 0x7F;
  if (place.track < 0 || side > 1 || cylinder >= WRITER_CYLINDERS || place.sector < 1 || place.sector > WRITER_SECTORS)
    fault("no such sector");
  return (side * WRITER_CYLINDERS + cylinder) * WRITER_SECTORS + place.sector - 1;
}

DiskPlace place_of(int index) {
  const int track = index / WRITER_SECTORS;
  return {(track / WRITER_CYLINDERS) << 7 | track % WRITER_CYLINDERS, index % WRITER_SECTORS + 1};
}

// Bytes 1-2 hold `length` (16 bits), 3-4 `start`, 7 and 8 as given.
std::vector<std::uint8_t> header_bytes(int type, std::int64_t length, int start, int byte7, int byte8) {
  return {static_cast<std::uint8_t>(type),
          static_cast<std::uint8_t>(length & 0xFF),
          static_cast<std::uint8_t>(length >> 8 & 0xFF),
          static_cast<std::uint8_t>(start & 0xFF),
          static_cast<std::uint8_t>(start >> 8),
          0xFF,
          0xFF,
          static_cast<std::uint8_t>(byte7),
          static_cast<std::uint8_t>(byte8)};
}

}  // namespace

DiskEntry sam_screen_entry(std::string name, int mode, std::vector<std::uint8_t> body) {
  DiskEntry entry;
  entry.name = std::move(name);
  entry.type = 20;
  entry.header = screen_file_header(static_cast<std::int64_t>(body.size()), mode);
  entry.data = std::move(body);
  entry.mode_byte = static_cast<std::uint8_t>(mode - 1);
  return entry;
}

DiskEntry compressed_screen_entry(std::string name, int mode, std::vector<std::uint8_t> body) {
  DiskEntry entry = sam_screen_entry(std::move(name), mode, std::move(body));
  entry.flags = 0x04;
  return entry;
}

DiskEntry spectrum_screen_entry(std::string name, std::vector<std::uint8_t> display) {
  DiskEntry entry;
  entry.name = std::move(name);
  entry.type = 7;
  // A Spectrum file's header: the tape type (3, bytes), its length and its
  // address in 16 bits each.
  entry.header = header_bytes(3, static_cast<std::int64_t>(display.size()), 16384, 0, 0);
  entry.data = std::move(display);
  return entry;
}

DiskEntry code_entry(std::string name, std::vector<std::uint8_t> data) {
  DiskEntry entry;
  entry.name = std::move(name);
  entry.type = 19;
  const auto length = static_cast<std::int64_t>(data.size());
  // Length modulo 16 KiB in bytes 1-2, whole pages in byte 7, page 1.
  entry.header = header_bytes(19, length % 16384, 0x8000, static_cast<int>(length / 16384), 1);
  entry.data = std::move(data);
  return entry;
}

DiskWriter::DiskWriter()
    : sectors_(static_cast<std::size_t>(DISK_SECTORS) * WRITER_SECTOR_BYTES, 0),
      used_(DISK_SECTORS, false),
      chains_(WRITER_SLOTS) {
  std::fill(used_.begin(), used_.begin() + DIRECTORY_SECTORS, true);
}

int DiskWriter::add(const DiskEntry& file) {
  int slot = 0;
  while (slot < WRITER_SLOTS && !chains_[slot].empty()) ++slot;
  if (slot == WRITER_SLOTS) fault("the directory is full");

  std::vector<std::uint8_t> bytes = file.header;
  bytes.insert(bytes.end(), file.data.begin(), file.data.end());
  const std::size_t count = std::max<std::size_t>(1, (bytes.size() + 509) / 510);
  int at = file.start_track < 0 ? next_free_ : sector_index({file.start_track, 1});
  std::vector<DiskPlace>& chain = chains_[slot];
  for (std::size_t n = 0; n < count; ++n, ++at) {
    while (at < DISK_SECTORS && used_[at]) ++at;
    if (at == DISK_SECTORS) fault("the disk is full");
    used_[at] = true;
    chain.push_back(place_of(at));
  }
  next_free_ = at;
  for (std::size_t n = 0; n < count; ++n) {
    std::span<std::uint8_t> sector = this->sector(chain[n]);
    const std::size_t from = n * 510, to = std::min(bytes.size(), from + 510);
    if (from < to) std::copy(bytes.begin() + from, bytes.begin() + to, sector.begin());
    if (n + 1 < count) link(chain[n], chain[n + 1]);
  }

  std::span<std::uint8_t> entry = this->entry(slot + 1);
  std::fill(entry.begin(), entry.end(), 0);
  entry[0] =
      static_cast<std::uint8_t>((file.type & 0x1F) | (file.protected_file ? 0x40 : 0) | (file.hidden ? 0x80 : 0));
  for (int i = 0; i < 10; ++i)
    entry[1 + i] = i < static_cast<int>(file.name.size()) ? static_cast<std::uint8_t>(file.name[i]) : ' ';
  entry[11] = static_cast<std::uint8_t>(count >> 8);
  entry[12] = static_cast<std::uint8_t>(count & 0xFF);
  entry[13] = static_cast<std::uint8_t>(chain[0].track);
  entry[14] = static_cast<std::uint8_t>(chain[0].sector);
  for (DiskPlace place : chain) {
    const int bit = sector_index(place) - DIRECTORY_SECTORS;
    entry[15 + bit / 8] |= static_cast<std::uint8_t>(1 << bit % 8);
  }
  std::copy_n(file.header.begin(), std::min<std::size_t>(file.header.size(), 9), entry.begin() + 211);
  entry[220] = file.flags;
  entry[221] = file.mode_byte;
  return slot + 1;
}

void DiskWriter::erase(int slot) { entry(slot)[0] = 0; }

std::span<std::uint8_t> DiskWriter::sector(DiskPlace place) {
  return std::span(sectors_).subspan(static_cast<std::size_t>(sector_index(place)) * WRITER_SECTOR_BYTES,
                                     WRITER_SECTOR_BYTES);
}

std::span<std::uint8_t> DiskWriter::entry(int slot) {
  if (slot < 1 || slot > WRITER_SLOTS) fault("no such slot");
  const int i = slot - 1;
  return sector({i / 20, i % 20 / 2 + 1})
      .subspan(static_cast<std::size_t>(i % 2) * WRITER_ENTRY_BYTES, WRITER_ENTRY_BYTES);
}

const std::vector<DiskPlace>& DiskWriter::chain(int slot) const {
  if (slot < 1 || slot > WRITER_SLOTS) fault("no such slot");
  return chains_[slot - 1];
}

void DiskWriter::link(DiskPlace from, DiskPlace to) {
  std::span<std::uint8_t> sector = this->sector(from);
  sector[510] = static_cast<std::uint8_t>(to.track);
  sector[511] = static_cast<std::uint8_t>(to.sector);
}

std::span<const std::uint8_t> DiskWriter::track_bytes(int cylinder, int side) const {
  const std::size_t track = static_cast<std::size_t>(side) * WRITER_CYLINDERS + cylinder;
  return std::span(sectors_).subspan(track * WRITER_SECTORS * WRITER_SECTOR_BYTES,
                                     WRITER_SECTORS * WRITER_SECTOR_BYTES);
}
