// Writes the disk images the installed disk thumbnailer is tried on, into
// FOLDER: screens.mgt, a CODE file and then a mode 4 screen, and
// no_screens.sad, a CODE file alone.
// Usage: make_test_disks FOLDER
#include "disk_writer.h"
#include "sam_screens.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_test_disks FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  DiskWriter screens;
  screens.add(code_entry("loader", std::vector<std::uint8_t>(3000, 0xC9)));
  screens.add(sam_screen_entry("title", 4, sam_screen_file({"title", 4, 1, false, false, false, 40})));
  DiskWriter no_screens;
  no_screens.add(code_entry("loader", std::vector<std::uint8_t>(3000, 0xC9)));
  return write(folder + "/screens.mgt", screens.mgt()) && write(folder + "/no_screens.sad", no_screens.sad()) ? 0 : 1;
}
