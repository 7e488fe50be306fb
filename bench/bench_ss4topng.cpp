// ss4topng as a whole process, start to exit: one file, and 200 files with
// two jobs. Wall-clock time, since the work happens in child processes.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const std::string SAMPLE = std::string(SAMPLES_DIR) + "/raster_bars.ss4";

bool run_ss4topng(std::vector<std::string> args) {
  std::vector<char*> argv;
  std::string program = SS4TOPNG_PATH;
  argv.push_back(program.data());
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class Folder {
 public:
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "bench-ss4topng-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : "";
  }
  ~Folder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void OneFile(benchmark::State& state) {
  Folder folder;
  std::vector<std::string> args = {"-o", folder.path() + "/out.png", SAMPLE};
  for (auto _ : state)
    if (!run_ss4topng(args)) state.SkipWithError("ss4topng failed");
}
BENCHMARK(OneFile)->UseRealTime()->Unit(benchmark::kMillisecond);

void TwoHundredFilesTwoJobs(benchmark::State& state) {
  Folder folder;
  fs::create_directory(folder.path() + "/out");
  std::vector<std::string> args = {"-j", "2", "-o", folder.path() + "/out"};
  for (int i = 0; i < 200; ++i) {
    std::string name = folder.path() + "/screen" + std::to_string(i) + ".ss4";
    fs::copy_file(SAMPLE, name);
    args.push_back(name);
  }
  for (auto _ : state)
    if (!run_ss4topng(args)) state.SkipWithError("ss4topng failed");
}
BENCHMARK(TwoHundredFilesTwoJobs)->UseRealTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
