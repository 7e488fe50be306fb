#include "disk_conversion.h"

#include "disk_input.h"
#include "disk_screen.h"
#include "disk_screen_names.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

namespace {

const DiskFile* file_in_slot(const DiskDirectory& directory, int slot) {
  for (const DiskFile& file : directory.files)
    if (file.slot == slot) return &file;
  return nullptr;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

std::string converted(const ConversionJob& job, const ConverterSettings& settings) {
  if (!job.failure.empty()) return job.failure;
  const std::string& name = job.conversion.input;
  const DiskInput input = read_disk_input(name);
  if (!input.failure.empty()) return name + ": " + input.failure;
  const DiskImage disk(input.image, input.container);
  const DiskDirectory directory = read_disk_directory(disk);
  // Every byte the picture uses is decoded into it: none is cleared first.
  const auto screen = std::make_unique_for_overwrite<SamScreen>();
  std::vector<std::string> lines;
  for (const DiskScreenOutput& output : job.screens) {
    const DiskFile* file = file_in_slot(directory, output.slot);
    if (!file) {
      lines.push_back(name + ": slot " + std::to_string(output.slot) + " changed while the disk was read");
      continue;
    }
    const std::string failure = read_disk_screen(disk, *file, settings.forced_mode, *screen);
    if (!failure.empty()) {
      // --first passes over what does not convert, saying nothing.
      if (!job.first_only) lines.push_back(file_label(name, *file) + ": " + failure);
      continue;
    }
    const std::string written = write_screen(output.conversion, *screen, settings);
    if (!written.empty()) lines.push_back(written);
    if (job.first_only) return joined(lines);
  }
  if (job.first_only) lines.push_back(name + ": no screen on this disk can be converted");
  return joined(lines);
}

}  // namespace

std::string convert_disk(const ConversionJob& job, const ConverterSettings& settings) try {
  return converted(job, settings);
} catch (const std::bad_alloc&) {
  return job.conversion.input + ": cannot read: " + std::strerror(ENOMEM);
}
