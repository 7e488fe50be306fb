// peak_memory PEAK_FILE PROGRAM [ARGUMENT...]
// Runs PROGRAM and writes its peak resident memory, in KiB, to PEAK_FILE;
// exits as PROGRAM did. Linux counts the memory of the process that starts
// a program in the program's own peak (a forked copy, or the parent itself
// when started with vfork), so the program is started from this small
// process rather than from a test that may have held much more.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) return 126;
  pid_t pid = fork();
  if (pid < 0) return 126;
  if (pid == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0)
    if (errno != EINTR) return 126;
  if (std::FILE* peak = std::fopen(argv[1], "w")) {
    std::fprintf(peak, "%ld\n", usage.ru_maxrss);
    std::fclose(peak);
  }
  if (WIFSIGNALED(status)) {
    std::signal(WTERMSIG(status), SIG_DFL);
    std::raise(WTERMSIG(status));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 126;
}
