// A batch ended by a signal leaves only complete PNGs under final names and
// no temporary files, whatever moment the signal comes at.
#include "reliability_fixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <time.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr int BATCH = 48;

class Interruption : public Reliability {
 protected:
  // A folder of identical noisy screens, and the PNG each must become.
  std::vector<std::string> batch(const std::string& name) {
    std::vector<std::uint8_t> screen = noisy_screen(3);
    if (reference_.empty()) {
      EXPECT_EQ(ss4topng({"-o", temp_path("reference.png"), put("reference.ss4", screen)}).status, 0);
      reference_ = read_whole_file(temp_path("reference.png"));
    }
    fs::create_directory(temp_path(name));
    std::vector<std::string> args{"-j", "8"};
    for (int i = 0; i < BATCH; ++i) args.push_back(put(name + "/" + std::to_string(i) + ".ss4", screen));
    return args;
  }

  // Waits (with a watchdog, not a clock) until the first PNG is in place;
  // false when the run ended first.
  bool await_first_png(const std::string& name, pid_t run) {
    for (int polls = 0; polls < 60000; ++polls) {
      for (const std::string& n : names_in(temp_path(name)))
        if (n.ends_with(".png")) return true;
      siginfo_t ended{};
      if (waitid(P_PID, static_cast<id_t>(run), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid == run) {
        ADD_FAILURE() << "the run ended before any PNG appeared: " << finish(run).err;
        return false;
      }
      timespec pause{0, 1000000};
      nanosleep(&pause, nullptr);
    }
    ADD_FAILURE() << "no PNG appeared";
    return false;
  }

  // Every PNG in the folder is whole; nothing else but the inputs is left.
  void expect_only_complete_pngs(const std::string& name) {
    int pngs = 0;
    for (const std::string& n : names_in(temp_path(name))) {
      if (n.ends_with(".ss4")) continue;
      EXPECT_TRUE(n.ends_with(".png")) << "left behind: " << n;
      EXPECT_EQ(read_whole_file(temp_path(name + "/" + n)), reference_) << n;
      ++pngs;
    }
    EXPECT_GT(pngs, 0);
  }

  std::vector<std::uint8_t> reference_;
};

std::vector<pid_t> children_of(pid_t parent) {
  std::vector<pid_t> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, name, state;
    pid_t ppid = 0;
    // The name is in parentheses and has no spaces for our programs.
    if (stat >> pid >> name >> state >> ppid && ppid == parent) children.push_back(std::stoi(pid));
  }
  return children;
}

TEST_F(Interruption, SignalsEndTheBatchCleanlyWithTheirStatus) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    std::string name = "batch-" + std::to_string(signal_number);
    SCOPED_TRACE(name);
    pid_t run = start(batch(name));
    if (!await_first_png(name, run)) continue;
    kill(run, signal_number);
    Outcome outcome = finish(run);
    EXPECT_EQ(outcome.status, 128 + signal_number);
    expect_only_complete_pngs(name);
  }
}

TEST_F(Interruption, AWorkerKilledOutrightLeavesNoIncompletePng) {
  pid_t run = start(batch("batch"));
  if (!await_first_png("batch", run)) return;
  std::vector<pid_t> workers = children_of(run);
  ASSERT_FALSE(workers.empty());
  kill(workers.front(), SIGKILL);
  Outcome outcome = finish(run);
  // The worker may have died between two files, with nothing under way.
  bool crashed = outcome.err.find(": conversion crashed\n") != std::string::npos;
  EXPECT_EQ(outcome.status, crashed ? 1 : 0) << outcome.err;
  for (const std::string& n : names_in(temp_path("batch"))) {
    if (!n.ends_with(".png")) continue;
    EXPECT_EQ(read_whole_file(temp_path("batch/" + n)), reference_) << n;
  }
}

}  // namespace
