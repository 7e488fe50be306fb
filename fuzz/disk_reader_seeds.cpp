// Seeds for fuzz_disk_reader: SAD and EDSK images of 4 cylinders a side,
// the directory and side 1's first four tracks (the fuzzers take at most
// 64 KiB, and the smaller the input the more of them a second), made by the
// tests' disk writer, with a SAM screen, a Spectrum screen, a compressed
// screen and another file; and the same disk with a chain that loops, a sector
// map that lies and an EDSK track table that lies. Without them the fuzzer
// would have to find a signature, a geometry and a chain by chance.
//   disk_reader_seeds FOLDER
#include "disk_writer.h"
#include "sam_screens.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int CYLINDERS = 4;

std::vector<std::uint8_t> screen_body(int mode) {
  ScreenRecipe recipe;
  recipe.mode = mode;
  recipe.palette_flash = true;
  recipe.records = 4;
  return sam_screen_file(recipe);
}

// The data tracks an image of 4 cylinders holds: side 1 tracks 0-3 (40
// sectors; these files take 32).
DiskWriter small_disk() {
  DiskWriter disk;
  DiskEntry zx = spectrum_screen_entry("zx", std::vector<std::uint8_t>(6912, 0x38));
  zx.start_track = 128;
  disk.add(zx);
  disk.add(code_entry("code", std::vector<std::uint8_t>(1000, 0xA5)));
  disk.add(compressed_screen_entry("packed", 4, std::vector<std::uint8_t>(600, 0x11)));
  DiskEntry mode1 = sam_screen_entry("mode 1", 1, screen_body(1));
  mode1.hidden = true;
  mode1.mode_byte = 0xFF;  // the mode from the header, then
  disk.add(mode1);
  return disk;
}

bool write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  std::FILE* out = std::fopen(name.c_str(), "wb");
  bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (out) ok = std::fclose(out) == 0 && ok;
  if (!ok) std::fprintf(stderr, "disk_reader_seeds: cannot write %s\n", name.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: disk_reader_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  EdskOptions small;
  small.cylinders = CYLINDERS;
  bool ok = true;

  DiskWriter disk = small_disk();
  ok = write(folder + "disk.sad", disk.sad(CYLINDERS)) && ok;
  ok = write(folder + "disk.dsk", disk.edsk(small)) && ok;
  EdskOptions lying = small;
  lying.table_lies = {{3, 0x40}};
  ok = write(folder + "table_lies.dsk", disk.edsk(lying)) && ok;

  DiskWriter broken = small_disk();
  broken.link(broken.chain(1)[5], broken.chain(1)[2]);  // a loop
  broken.entry(4)[40] ^= 0x08;                          // a map that lies
  broken.entry(3)[12] += 1;                             // a sector count that lies
  ok = write(folder + "broken.sad", broken.sad(CYLINDERS)) && ok;
  ok = write(folder + "broken.dsk", broken.edsk(small)) && ok;
  return ok ? 0 : 1;
}
