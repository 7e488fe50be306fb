#pragma once
// The system services' process-wide state: the faults tests arm, the known
// libraries with the references taken on them, and the thread-local slots
// handed out. Made on first use and kept for the life of the process, so
// nothing has to start it. What belongs to one thread (the last file error,
// COM starts, slot values) stays thread_local beside its code; the temporary
// names a signal handler reads stay in output_file.cpp, where the handler
// reaches them without locks.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace native {

struct Library {
  std::string_view name;
  int references;
};

namespace detail {

struct FaultPlan {
  bool create_fails = false;
  bool open_fails = false;
  bool writes_limited = false;
  std::uint64_t write_budget = 0;
  bool alloc_size_limited = false;
  std::size_t alloc_size_limit = 0;
  bool alloc_count_limited = false;
  std::size_t alloc_budget = 0;
  bool unnamed_refused = false;
};

struct SystemState {
  FaultPlan faults;
  std::array<Library, 1> libraries{{{"msimg32.dll", 0}}};
  unsigned tls_slots_used = 0;
};

SystemState& system();

}  // namespace detail
}  // namespace native
