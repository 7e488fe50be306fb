#include "run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {

std::string slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

ProgramRun run_program(const std::string& path, const std::vector<std::string>& args,
                       const std::string& scratch_folder) {
  std::string out_name = scratch_folder + "/.stdout";
  std::string err_name = scratch_folder + "/.stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  // Started by the small measuring program, so that the peak is the
  // program's own, not this test's.
  std::string peak_name = scratch_folder + "/.peak";
  std::vector<std::string> copies = {PEAK_MEMORY_PATH, peak_name, path};
  copies.insert(copies.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  ProgramRun run;
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = slurp(out_name);
  run.err = slurp(err_name);
  run.peak_kib = std::atol(slurp(peak_name).c_str());
  for (const std::string& name : {out_name, err_name, peak_name}) std::remove(name.c_str());
  return run;
}
