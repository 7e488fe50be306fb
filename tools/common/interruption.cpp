#include "interruption.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

constexpr int HANDLED[] = {SIGINT, SIGTERM, SIGHUP};
// More than the most workers a run starts.
constexpr int MAX_WORKERS = 512;

pid_t workers[MAX_WORKERS];
volatile std::sig_atomic_t worker_count = 0;
void (*cleanup)() = nullptr;

sigset_t handled_set() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : HANDLED) sigaddset(&set, s);
  return set;
}

// Only async-signal-safe calls from here on.
extern "C" void end_run(int signal_number) {
  if (cleanup) cleanup();
  int count = worker_count;
  for (int i = 0; i < count; ++i)
    if (workers[i] > 0) kill(workers[i], signal_number);
  for (int i = 0; i < count; ++i)
    while (workers[i] > 0 && waitpid(workers[i], nullptr, 0) < 0 && errno == EINTR) {
    }
  _exit(128 + signal_number);
}

}  // namespace

void install_interruption_handlers(void (*remove_temporaries)()) {
  cleanup = remove_temporaries;
  struct sigaction action {};
  action.sa_handler = end_run;
  action.sa_mask = handled_set();  // one ending at a time
  for (int s : HANDLED) sigaction(s, &action, nullptr);
}

void hold_interruptions() {
  sigset_t set = handled_set();
  sigprocmask(SIG_BLOCK, &set, nullptr);
}

void worker_started(pid_t pid) {
  if (worker_count == MAX_WORKERS) return;
  workers[worker_count] = pid;
  worker_count = worker_count + 1;
}

void now_a_worker() { worker_count = 0; }

void release_interruptions() {
  sigset_t set = handled_set();
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

bool reap_worker() {
  // Learn which worker ended without reaping it: until it is forgotten, its
  // id cannot be reused.
  siginfo_t ended{};
  while (waitid(P_ALL, 0, &ended, WEXITED | WNOWAIT) < 0) {
    if (errno != EINTR) return false;
  }
  hold_interruptions();
  for (int i = 0; i < worker_count; ++i)
    if (workers[i] == ended.si_pid) workers[i] = 0;
  while (waitpid(ended.si_pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  release_interruptions();
  return true;
}
