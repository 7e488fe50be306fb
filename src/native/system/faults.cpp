#include "native/system/faults.h"

#include <algorithm>

namespace native::faults {
namespace {

struct State {
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

State state;

}  // namespace

void fail_next_create() { state.create_fails = true; }

void fail_next_open() { state.open_fails = true; }

void fail_writes_after(std::uint64_t bytes) {
  state.writes_limited = true;
  state.write_budget = bytes;
}

void fail_allocations_from(std::size_t size) {
  state.alloc_size_limited = true;
  state.alloc_size_limit = size;
}

void fail_allocations_after(std::size_t count) {
  state.alloc_count_limited = true;
  state.alloc_budget = count;
}

void refuse_unnamed_files() { state.unnamed_refused = true; }

bool unnamed_files_refused() { return state.unnamed_refused; }

void reset() { state = State{}; }

bool create_fails() {
  bool fails = state.create_fails;
  state.create_fails = false;
  return fails;
}

bool open_fails() {
  bool fails = state.open_fails;
  state.open_fails = false;
  return fails;
}

std::size_t write_allowance(std::size_t count) {
  if (!state.writes_limited) return count;
  auto allowed = static_cast<std::size_t>(std::min<std::uint64_t>(count, state.write_budget));
  state.write_budget -= allowed;
  return allowed;
}

bool allocation_fails(std::size_t size) {
  if (state.alloc_size_limited && size >= state.alloc_size_limit) return true;
  if (state.alloc_count_limited) {
    if (state.alloc_budget == 0) return true;
    --state.alloc_budget;
  }
  return false;
}

}  // namespace native::faults
