#include "disk_listing.h"

#include "disk_input.h"
#include "disk_screen_names.h"
#include "jobs.h"

#include <cstdio>
#include <iterator>

namespace {

// Short names for the file types of SAM DOS (16-20) and of the Spectrum
// disk systems whose files share these disks (1-11); any other type is
// shown by its number.
std::string type_word(int type) {
  static constexpr const char* WORDS[] = {nullptr,   "ZX BASIC",   "ZX ARRAY", "ZX ARRAY$",  "ZX CODE",  "ZX SNAP48",
                                          "ZX MDRV", "ZX SCREEN$", "SPECIAL",  "ZX SNAP128", "OPENTYPE", "ZX EXECUTE",
                                          nullptr,   nullptr,      nullptr,    nullptr,      "BASIC",    "ARRAY",
                                          "ARRAY$",  "CODE",       "SCREEN$"};
  if (type >= 0 && type < static_cast<int>(std::size(WORDS)) && WORDS[type]) return WORDS[type];
  return "type " + std::to_string(type);
}

// `text`, then spaces up to `width` bytes.
std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// Spaces up to `width` bytes, then `text`.
std::string right_aligned(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string line_of(const DiskFile& file) {
  std::string line = right_aligned(std::to_string(file.slot), 2) + "  ";
  line += padded(shown_name(disk_file_name(file)), DISK_NAME_BYTES) + "  ";
  line += padded(type_word(file.type), 10) + "  ";
  line += right_aligned(file.length < 0 ? std::string("?") : std::to_string(file.length), 7);
  if (file.kind != DiskFileKind::other) line += "  mode " + std::to_string(file.mode);
  if (file.hidden) line += "  hidden";
  if (file.protected_file) line += "  protected";
  if (!file.broken.empty())
    line += "  broken: " + file.broken;
  else if (file.kind == DiskFileKind::compressed_screen)
    line += "  compressed";
  else if (file.kind == DiskFileKind::spectrum_screen)
    line += "  ZX Spectrum screen";
  return line + "\n";
}

}  // namespace

std::string disk_listing(const DiskDirectory& directory) {
  std::string lines;
  for (const DiskFile& file : directory.files) lines += line_of(file);
  return lines;
}

int list_disks(const std::vector<std::string>& files) {
  int status = 0;
  for (const std::string& name : files) {
    const DiskInput disk = read_disk_input(name);
    std::string failure = disk.failure;
    std::string lines;
    if (failure.empty()) {
      const DiskDirectory directory = read_disk_directory(DiskImage(disk.image, disk.container));
      if (directory.why.empty())
        lines = disk_listing(directory);
      else
        failure = directory.why;
    }
    if (!failure.empty()) {
      std::fflush(stdout);
      report_line(name + ": " + failure);
      status = 1;
      continue;
    }
    if (files.size() > 1) std::fwrite((name + ":\n").data(), 1, name.size() + 2, stdout);
    std::fwrite(lines.data(), 1, lines.size(), stdout);
  }
  std::fflush(stdout);
  return status;
}
