#include "jobs.h"

#include "interruption.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>

namespace {

enum Status : unsigned char { PENDING, RUNNING, CONVERTED, FAILED };

static_assert(std::atomic<std::size_t>::is_always_lock_free);
static_assert(std::atomic<unsigned char>::is_always_lock_free);

// The next item to take and every item's status, in memory shared by all
// workers (lock-free atomics work across processes there).
class SharedBoard {
 public:
  explicit SharedBoard(std::size_t count)
      : bytes_(sizeof(std::atomic<std::size_t>) + count * sizeof(std::atomic<unsigned char>)) {
    void* memory = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return;
    memory_ = memory;
    next_ = new (memory) std::atomic<std::size_t>(0);
    auto* entries = static_cast<unsigned char*>(memory) + sizeof(std::atomic<std::size_t>);
    status_ = reinterpret_cast<std::atomic<unsigned char>*>(entries);
    for (std::size_t i = 0; i < count; ++i) new (entries + i) std::atomic<unsigned char>(PENDING);
  }
  ~SharedBoard() {
    if (memory_) munmap(memory_, bytes_);
  }
  SharedBoard(const SharedBoard&) = delete;
  SharedBoard& operator=(const SharedBoard&) = delete;

  bool ready() const { return memory_ != nullptr; }
  std::size_t take() { return next_->fetch_add(1); }
  void set(std::size_t i, Status status) { status_[i].store(status); }
  Status get(std::size_t i) const { return static_cast<Status>(status_[i].load()); }

 private:
  std::size_t bytes_;
  void* memory_ = nullptr;
  std::atomic<std::size_t>* next_ = nullptr;
  std::atomic<unsigned char>* status_ = nullptr;
};

// Takes items until none are left.
void work(SharedBoard& board, std::size_t count, const Worker& worker) {
  for (std::size_t i; (i = board.take()) < count;) {
    board.set(i, RUNNING);
    std::string failure = worker.convert(i);
    if (!failure.empty()) report_line(failure);
    board.set(i, failure.empty() ? CONVERTED : FAILED);
  }
}

void work_in_this_process(SharedBoard& board, std::size_t count, const Worker& worker) {
  if (!worker.start()) return;
  work(board, count, worker);
  worker.stop();
}

// Answers how many workers were started; none when fork is not possible.
std::size_t fork_workers(SharedBoard& board, std::size_t count, std::size_t jobs, const Worker& worker) {
  std::fflush(nullptr);  // nothing buffered may be written twice
  std::size_t started = 0;
  for (; started < jobs; ++started) {
    hold_interruptions();
    pid_t pid = fork();
    if (pid < 0) {
      release_interruptions();
      break;
    }
    if (pid == 0) {
      now_a_worker();
      release_interruptions();
      work_in_this_process(board, count, worker);
      std::fflush(nullptr);
      _exit(0);
    }
    worker_started(pid);
    release_interruptions();
  }
  for (std::size_t i = 0; i < started && reap_worker(); ++i) {
  }
  return started;
}

}  // namespace

void report_line(const std::string& text) {
  std::string line = text + "\n";
  const char* p = line.data();
  std::size_t left = line.size();
  while (left > 0) {
    ssize_t written = write(STDERR_FILENO, p, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    p += written;
    left -= static_cast<std::size_t>(written);
  }
}

std::size_t run_jobs(std::size_t count, int jobs, const Worker& worker,
                     const std::function<std::string(std::size_t)>& name_of) {
  if (count == 0) return 0;
  SharedBoard board(count);
  if (!board.ready()) {
    for (std::size_t i = 0; i < count; ++i) report_line(name_of(i) + ": not converted (out of memory)");
    return count;
  }
  std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(jobs), count);
  if (workers <= 1 || fork_workers(board, count, workers, worker) == 0) work_in_this_process(board, count, worker);

  // A worker that died or could not start leaves items behind; they failed too.
  std::size_t failed = 0;
  for (std::size_t i = 0; i < count; ++i) {
    Status status = board.get(i);
    if (status == CONVERTED) continue;
    ++failed;
    if (status == RUNNING) report_line(name_of(i) + ": conversion crashed");
    if (status == PENDING) report_line(name_of(i) + ": not converted");
  }
  return failed;
}
