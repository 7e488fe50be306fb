#pragma once
// Running conversions one after another in this process, or spread over
// worker processes: the runtime is single-threaded with process-wide state,
// so parallel work needs separate processes.
#include <cstddef>
#include <functional>
#include <string>

struct Worker {
  std::function<bool()> start;  // once per process, before any conversion
  std::function<void()> stop;   // once per process, after the last
  // Converts item i; an empty answer means success, anything else is the
  // one-line message to print.
  std::function<std::string(std::size_t)> convert;
};

// Converts items 0 to count - 1 with at most `jobs` processes; workers take
// the next unconverted item from a shared counter. Each failure is reported
// as one line on standard error, also for items whose worker died. Answers
// how many items failed.
std::size_t run_jobs(std::size_t count, int jobs, const Worker& worker,
                     const std::function<std::string(std::size_t)>& name_of);

// Writes one line to standard error in a single write, so that lines from
// several processes never interleave.
void report_line(const std::string& text);
