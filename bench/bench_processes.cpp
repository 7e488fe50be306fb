#include "bench_processes.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace fs = std::filesystem;

BenchFolder::BenchFolder(const std::string& prefix) {
  std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  path_ = mkdtemp(pattern.data()) ? pattern : "";
}

BenchFolder::~BenchFolder() {
  std::error_code ignored;
  if (!path_.empty()) fs::remove_all(path_, ignored);
}

bool run_to_end(const std::string& program, std::vector<std::string> args, long* peak_kib) {
  std::string path = program;
  std::vector<char*> argv = {path.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  rusage usage{};
  bool done = wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (peak_kib) *peak_kib = usage.ru_maxrss;
  return done;
}
