// Process and thread ids, the current directory, the COM-like start counter,
// and the system services' process-wide state.
#include "native/system/process.h"

#include "native/system/system_state.h"
#include "native/system/text.h"

#include <sys/syscall.h>
#include <unistd.h>
#include <cerrno>
#include <string>

namespace native {
namespace detail {

SystemState& system() {
  static SystemState state;
  return state;
}

}  // namespace detail

namespace {

// COM is started per thread; the program starts it on its one thread.
thread_local int com_starts = 0;

}  // namespace

std::uint32_t get_current_thread_id() { return static_cast<std::uint32_t>(::syscall(SYS_gettid)); }

std::uint32_t get_current_process_id() { return static_cast<std::uint32_t>(::getpid()); }

std::uint32_t get_current_directory(std::uint32_t size, char16_t* buffer) {
  std::string path(256, '\0');
  while (!::getcwd(path.data(), path.size())) {
    if (errno != ERANGE) return 0;
    path.resize(path.size() * 2);
  }
  path.resize(path.find('\0'));
  std::u16string text = from_utf8(path);
  if (!buffer || text.size() + 1 > size) return static_cast<std::uint32_t>(text.size() + 1);
  text.copy(buffer, text.size());
  buffer[text.size()] = u'\0';
  return static_cast<std::uint32_t>(text.size());
}

bool set_current_directory(std::u16string_view path) {
  std::string name = to_utf8(path);
  return !name.empty() && ::chdir(name.c_str()) == 0;
}

bool co_initialize() { return com_starts++ == 0; }

void co_uninitialize() {
  if (com_starts > 0) --com_starts;
}

int co_initialize_count() { return com_starts; }

}  // namespace native
