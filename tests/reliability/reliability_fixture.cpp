#include "reliability_fixture.h"

#include "png_reader.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Root reads and writes past file permissions through three capabilities;
// dropped from the bounding set, they stay away across exec.
bool give_up_permission_overrides() {
  if (geteuid() != 0) return true;
  for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
    if (prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0) return false;
  return true;
}

std::string captured(const std::string& folder_of_run, int fd) { return folder_of_run + (fd == 1 ? "/out" : "/err"); }

}  // namespace

void Reliability::SetUp() {
  RuntimeTest::SetUp();
  folder_ = fs::path(temp_path("x")).parent_path().string();
}

std::string Reliability::put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  write_whole_file(temp_path(name), bytes);
  return temp_path(name);
}

std::vector<std::string> Reliability::names_in(const std::string& where) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(where.empty() ? folder_ : where))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

pid_t Reliability::start(const std::vector<std::string>& args, const RunSettings& settings) {
  // What it prints goes to files outside the test folder's listing.
  std::string outputs =
      fs::temp_directory_path().string() + "/tesselon-run-" + std::to_string(getpid()) + "-" + std::to_string(++runs_);
  fs::create_directories(outputs);
  std::vector<std::string> copies{SS4TOPNG_PATH};
  copies.insert(copies.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::string out = settings.stdout_to.empty() ? captured(outputs, 1) : settings.stdout_to;
  std::string err = captured(outputs, 2);
  std::string where = settings.folder.empty() ? folder_ : settings.folder;
  pid_t pid = fork();
  if (pid == 0) {
    int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(127);
    if (chdir(where.c_str()) != 0 || (settings.bound_by_permissions && !give_up_permission_overrides())) {
      dprintf(2, "cannot set up the run: %s\n", strerror(errno));
      _exit(127);
    }
    execv(argv[0], argv.data());
    dprintf(2, "cannot start %s: %s\n", argv[0], strerror(errno));
    _exit(127);
  }
  pending_outputs_[pid] = outputs;
  return pid;
}

Outcome Reliability::finish(pid_t pid) {
  Outcome outcome;
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  outcome.peak_kib = usage.ru_maxrss;
  std::string outputs = pending_outputs_[pid];
  outcome.out = slurp(captured(outputs, 1));
  outcome.err = slurp(captured(outputs, 2));
  std::error_code ignored;
  fs::remove_all(outputs, ignored);
  pending_outputs_.erase(pid);
  return outcome;
}

Outcome Reliability::ss4topng(const std::vector<std::string>& args, const RunSettings& settings) {
  return finish(start(args, settings));
}

std::vector<std::uint8_t> sample_screen() { return read_whole_file(std::string(SAMPLES_DIR) + "/raster_bars.ss4"); }

std::vector<std::uint8_t> noisy_screen(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(0x6028);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  for (int row = 0; row < 191; ++row)
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(random() % 16),
                               static_cast<std::uint8_t>(random() % 128), 0});
  bytes.push_back(191);
  return bytes;
}

bool png_is_complete(const std::string& path) {
  DecodedPng png;
  return decode_png(path, png) && png.rows.size() == png.height;
}

bool mount_small_disk(const std::string& where, std::size_t bytes) {
  if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0) return false;
  // Private, so that nothing mounted here is seen outside this test.
  if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  std::string options = "size=" + std::to_string(bytes);
  return mount("tesselon-small-disk", where.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

void unmount_small_disk(const std::string& where) { umount2(where.c_str(), MNT_DETACH); }
