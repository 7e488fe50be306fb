#pragma once
// Runs a built program with arguments and collects what it printed.
#include <string>
#include <vector>

struct ProgramRun {
  int status = -1;    // exit status; -1 if it did not exit normally
  long peak_kib = 0;  // its peak resident memory
  std::string out;
  std::string err;
};

// Standard output and error go through files in `scratch_folder`.
ProgramRun run_program(const std::string& path, const std::vector<std::string>& args,
                       const std::string& scratch_folder);
