#pragma once
// What one run of ss4topng converts, as jobs for the worker processes: a
// screen file is one job, and so is a disk image with the screens chosen on
// it, each with the file it becomes. Every output of the run is named here,
// before anything is converted, so that no two of them clash and no
// made-up name replaces a file, whichever disk or job they come from.
#include "output_names.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which screens of a disk are converted: all of them, the file in one slot
// (1-80), those of one name (its bytes exactly), or the first that converts.
struct DiskChoice {
  int slot = 0;  // 0: not chosen by slot
  std::optional<std::string> name;
  bool first = false;
};

struct DiskScreenOutput {
  int slot = 0;
  // Input: the disk; output: the screen's file, and why not when refused.
  Conversion conversion;
};

struct ConversionJob {
  // A screen file's conversion; for a disk, its input is the disk.
  Conversion conversion;
  bool disk = false;
  // The disk's chosen screens, in slot order; with --first, every screen
  // that may be the first to convert.
  std::vector<DiskScreenOutput> screens;
  bool first_only = false;
  // For a disk: the line that fails it as a whole (no disk image, nothing
  // chosen on it); nothing is converted then.
  std::string failure;
};

// The jobs for `plan`'s conversions (plan_conversions's, for the same
// extension): screen files as planned, disks expanded into their chosen
// screens. `output_is_file`: -o names a file (not a folder), which takes
// exactly one screen of a disk.
std::vector<ConversionJob> plan_jobs(const ConversionPlan& plan, const DiskChoice& choice, bool output_is_file,
                                     std::string_view extension);
