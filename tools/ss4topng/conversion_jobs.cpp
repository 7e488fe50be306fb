#include "conversion_jobs.h"

#include "disk_input.h"
#include "disk_screen_names.h"

#include "sam/disk_directory.h"

#include <algorithm>

namespace {

bool is_screen(const DiskFile& file) { return file.kind != DiskFileKind::other; }

// What can be converted, and so is named: compressed screens never are.
bool is_convertible(const DiskFile& file) {
  return file.kind == DiskFileKind::sam_screen || file.kind == DiskFileKind::spectrum_screen;
}

// The screens `choice` picks out of `files`; empty with `failure` set when
// it picks none.
std::vector<const DiskFile*> chosen_screens(const std::vector<DiskFile>& files, const DiskChoice& choice,
                                            const std::string& disk, std::string& failure) {
  std::vector<const DiskFile*> chosen;
  for (const DiskFile& file : files) {
    if (!is_screen(file)) continue;
    if (choice.slot && file.slot != choice.slot) continue;
    if (choice.name && disk_file_name(file) != *choice.name) continue;
    if (choice.first && !is_convertible(file)) continue;
    chosen.push_back(&file);
  }
  if (!chosen.empty()) return chosen;
  const bool any_screen = std::any_of(files.begin(), files.end(), is_screen);
  if (choice.slot)
    failure = disk + ": slot " + std::to_string(choice.slot) + " holds no screen";
  else if (choice.name)
    failure = disk + ": no screen named " + shown_name(*choice.name) + " on this disk";
  else if (any_screen)
    failure = disk + ": no screen on this disk can be converted";
  else
    failure = disk + ": no screens on this disk";
  return chosen;
}

// Expands the disk job `job` into its chosen screens and their outputs.
void plan_disk(ConversionJob& job, const DiskChoice& choice, bool output_is_file, std::string_view extension) {
  const std::string& disk = job.conversion.input;
  const DiskInput input = read_disk_input(disk);
  if (!input.failure.empty()) {
    job.failure = disk + ": " + input.failure;
    return;
  }
  const DiskDirectory directory = read_disk_directory(DiskImage(input.image, input.container));
  if (!directory.why.empty()) {
    job.failure = disk + ": " + directory.why;
    return;
  }
  const std::vector<const DiskFile*> chosen = chosen_screens(directory.files, choice, disk, job.failure);
  if (chosen.empty()) return;
  if (output_is_file && chosen.size() > 1 && !choice.first) {
    job.failure = disk + ": " + std::to_string(chosen.size()) + " screens, but -o names one file: choose one with " +
                  "--slot, --name or --first, or give -o a folder";
    return;
  }
  // Every screen is named as when all are converted, so that a screen's
  // file has the same name however it was chosen.
  std::vector<const DiskFile*> convertible;
  for (const DiskFile& file : directory.files)
    if (is_convertible(file)) convertible.push_back(&file);
  const std::string& planned = job.conversion.output;
  const std::vector<std::string> names =
      output_is_file
          ? std::vector<std::string>()
          : screen_output_names(convertible, planned.substr(0, planned.size() - extension.size()), extension);
  job.first_only = choice.first;
  for (const DiskFile* file : chosen) {
    DiskScreenOutput screen{file->slot, job.conversion};
    for (std::size_t i = 0; i < convertible.size() && !output_is_file; ++i)
      if (convertible[i] == file) screen.conversion.output = names[i];
    job.screens.push_back(std::move(screen));
  }
}

}  // namespace

std::vector<ConversionJob> plan_jobs(const ConversionPlan& plan, const DiskChoice& choice, bool output_is_file,
                                     std::string_view extension) {
  std::vector<ConversionJob> jobs;
  for (const Conversion& conversion : plan.conversions) {
    ConversionJob job;
    job.conversion = conversion;
    job.disk = is_disk_input(conversion.input);
    if (job.disk) plan_disk(job, choice, output_is_file, extension);
    jobs.push_back(std::move(job));
  }

  // The clashes of every output of the run, looked at again together. The
  // first screen that converts is the one output of --first's screens when
  // -o names a file, which all of them share.
  std::vector<Conversion> outputs;
  for (const ConversionJob& job : jobs) {
    if (!job.disk) outputs.push_back(job.conversion);
    const bool shared = job.first_only && output_is_file;
    for (std::size_t i = 0; i < job.screens.size() && (i == 0 || !shared); ++i)
      outputs.push_back(job.screens[i].conversion);
  }
  refuse_clashes(outputs);
  std::size_t next = 0;
  for (ConversionJob& job : jobs) {
    if (!job.disk) job.conversion.refusal = outputs[next++].refusal;
    const bool shared = job.first_only && output_is_file;
    for (std::size_t i = 0; i < job.screens.size(); ++i)
      job.screens[i].conversion.refusal = outputs[shared ? next : next + i].refusal;
    next += shared ? std::min<std::size_t>(job.screens.size(), 1) : job.screens.size();
  }
  return jobs;
}
