#include "runtime/print_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int print_text(const char* program, std::string_view text) {
  bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (std::fflush(stdout) != 0) written = false;
  if (written) return 0;
  std::fprintf(stderr, "%s: cannot write to standard output: %s\n", program, std::strerror(errno));
  return 1;
}
