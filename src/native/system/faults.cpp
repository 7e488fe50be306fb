#include "native/system/faults.h"

#include "native/system/system_state.h"

#include <algorithm>

namespace native::faults {
namespace {

detail::FaultPlan& plan() { return detail::system().faults; }

}  // namespace

void fail_next_create() { plan().create_fails = true; }

void fail_next_open() { plan().open_fails = true; }

void fail_writes_after(std::uint64_t bytes) {
  plan().writes_limited = true;
  plan().write_budget = bytes;
}

void fail_allocations_from(std::size_t size) {
  plan().alloc_size_limited = true;
  plan().alloc_size_limit = size;
}

void fail_allocations_after(std::size_t count) {
  plan().alloc_count_limited = true;
  plan().alloc_budget = count;
}

void refuse_unnamed_files() { plan().unnamed_refused = true; }

bool unnamed_files_refused() { return plan().unnamed_refused; }

void reset() { plan() = detail::FaultPlan{}; }

bool create_fails() {
  bool fails = plan().create_fails;
  plan().create_fails = false;
  return fails;
}

bool open_fails() {
  bool fails = plan().open_fails;
  plan().open_fails = false;
  return fails;
}

std::size_t write_allowance(std::size_t count) {
  if (!plan().writes_limited) return count;
  auto allowed = static_cast<std::size_t>(std::min<std::uint64_t>(count, plan().write_budget));
  plan().write_budget -= allowed;
  return allowed;
}

bool allocation_fails(std::size_t size) {
  if (plan().alloc_size_limited && size >= plan().alloc_size_limit) return true;
  if (plan().alloc_count_limited) {
    if (plan().alloc_budget == 0) return true;
    --plan().alloc_budget;
  }
  return false;
}

}  // namespace native::faults
