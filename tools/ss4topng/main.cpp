// ss4topng: converts SAM screens of every mode, and the screens on SAM disk
// images, to PNG (as a compact palette file, or with --rgb byte for byte as
// the viewer saves a mode 4 screen), or shrunk to a size limit for
// thumbnailers, or with --animate to a GIF of their flashing; --list shows
// what a disk holds. Exit status 0 when all converted, 1 when any failed,
// 2 for a usage error, 128 + the signal's number when interrupted.
#include "conversion.h"
#include "conversion_jobs.h"
#include "disk_conversion.h"
#include "disk_listing.h"
#include "interruption.h"
#include "jobs.h"
#include "options.h"
#include "output_names.h"

#include "native/system/file.h"
#include "runtime/print_text.h"

#include <cstdio>
#include <filesystem>
#include <span>

namespace {

int usage_error(const std::string& what) {
  std::fprintf(stderr, "ss4topng: %s\n%s\n", what.c_str(), usage_line());
  return 2;
}

bool is_folder(const std::string& name) {
  std::error_code ignored;
  return std::filesystem::is_directory(name, ignored);
}

}  // namespace

int main(int argc, char** argv) {
  ParsedOptions parsed = parse_options(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  const Options& options = parsed.options;
  if (options.action == Action::help) return print_text("ss4topng", help_text());
  if (options.action == Action::version) return print_text("ss4topng", version_text());
  if (!parsed.error.empty()) return usage_error(parsed.error);
  if (options.action == Action::list) return list_disks(options.files);

  const char* extension = options.animate ? ".gif" : ".png";
  ConversionPlan plan = plan_conversions(options.files, options.output, extension, options.force);
  if (!plan.error.empty()) return usage_error(plan.error);
  const DiskChoice choice{options.slot, options.name, options.first};
  const std::vector<ConversionJob> jobs =
      plan_jobs(plan, choice, options.output && !is_folder(*options.output), extension);

  install_interruption_handlers(native::remove_pending_outputs);
  ConverterSettings settings;
  settings.size = {options.scale, options.size.value_or(0)};
  settings.style = options.rgb ? PngStyle::rgb : PngStyle::compact;
  settings.forced_mode = options.mode;
  settings.animate = options.animate;
  Worker worker;
  worker.start = [] { return start_converter(); };
  worker.stop = [] { stop_converter(); };
  worker.convert = [&](std::size_t i) {
    return jobs[i].disk ? convert_disk(jobs[i], settings) : convert(jobs[i].conversion, settings);
  };
  std::size_t failed =
      run_jobs(jobs.size(), options.jobs, worker, [&](std::size_t i) { return jobs[i].conversion.input; });
  return failed == 0 ? 0 : 1;
}
