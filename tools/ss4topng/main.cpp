// ss4topng: converts SAM screen mode 4 files to PNG with exactly the pixels
// the viewer shows (as a compact palette file, or with --rgb byte for byte
// as the viewer saves), or shrunk to a size limit for thumbnailers. Exit status 0 when
// all converted, 1 when any failed, 2 for a usage error, 128 + the signal's
// number when interrupted.
#include "conversion.h"
#include "interruption.h"
#include "jobs.h"
#include "options.h"
#include "output_names.h"
#include "picture_size.h"

#include "native/system/file.h"
#include "runtime/print_text.h"

#include <cstdio>
#include <span>

namespace {

int usage_error(const std::string& what) {
  std::fprintf(stderr, "ss4topng: %s\n%s\n", what.c_str(), usage_line());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ParsedOptions parsed = parse_options(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  const Options& options = parsed.options;
  if (options.action == Action::help) return print_text("ss4topng", help_text());
  if (options.action == Action::version) return print_text("ss4topng", version_text());
  if (!parsed.error.empty()) return usage_error(parsed.error);

  ConversionPlan plan = plan_conversions(options.files, options.output, ".png", options.force);
  if (!plan.error.empty()) return usage_error(plan.error);

  install_interruption_handlers(native::remove_pending_outputs);
  PictureSize size = options.size ? picture_within(*options.size) : picture_at_scale(options.scale);
  Worker worker;
  worker.start = [&] { return start_converter(size, options.rgb ? PngStyle::rgb : PngStyle::compact); };
  worker.stop = [] { stop_converter(); };
  worker.convert = [&](std::size_t i) { return convert(plan.conversions[i]); };
  std::size_t failed =
      run_jobs(plan.conversions.size(), options.jobs, worker, [&](std::size_t i) { return plan.conversions[i].input; });
  return failed == 0 ? 0 : 1;
}
