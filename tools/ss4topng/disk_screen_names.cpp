#include "disk_screen_names.h"

#include <set>

std::string file_name_part(const std::string& disk_name) {
  if (disk_name.empty()) return "_";
  std::string part = disk_name;
  for (char& byte : part)
    if (byte == '/' || byte == '\0') byte = '_';
  if (part[0] == '.') part[0] = '_';
  return part;
}

std::string shown_name(const std::string& disk_name) {
  static constexpr char HEX[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : disk_name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F && byte != '\\') {
      shown += c;
      continue;
    }
    shown += "\\x";
    shown += HEX[byte >> 4];
    shown += HEX[byte & 15];
  }
  return shown;
}

std::string file_label(const std::string& disk, const DiskFile& file) {
  return disk + ": " + shown_name(disk_file_name(file)) + " (slot " + std::to_string(file.slot) + ")";
}

std::vector<std::string> screen_output_names(const std::vector<const DiskFile*>& screens, const std::string& stem,
                                             std::string_view extension) {
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const DiskFile* file : screens) {
    std::string part = file_name_part(disk_file_name(*file));
    if (!taken.insert(part).second) {
      part += '-';
      part += std::to_string(file->slot);
    }
    names.push_back(stem + "-" + part + std::string(extension));
  }
  return names;
}
