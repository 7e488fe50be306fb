#pragma once
// What the whole-process benchmarks share: a temporary folder of their own,
// and running a program to its end.
#include <string>
#include <vector>

class BenchFolder {
 public:
  explicit BenchFolder(const std::string& prefix);  // prefix-XXXXXX under the temporary folder
  ~BenchFolder();
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Runs `program` with `args` to its end; false unless it exited with 0.
// `peak_kib` gets its peak resident memory.
bool run_to_end(const std::string& program, std::vector<std::string> args, long* peak_kib = nullptr);
