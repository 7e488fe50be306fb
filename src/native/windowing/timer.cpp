// Timers and their place in the fetch order.
#include "native/windowing/timer.h"

#include "native/windowing/windowing_state.h"

#include <algorithm>

namespace native {
namespace detail {

bool take_due_timer(Message& out, Window* filter, bool remove) {
  auto& timers = windowing().timers;
  std::uint32_t now = now_ms();
  Timer* best = nullptr;
  for (Timer& t : timers) {
    if (static_cast<std::int32_t>(now - t.due) < 0) continue;
    if (filter && t.window != filter && !is_child(filter, t.window)) continue;
    if (!best || static_cast<std::int32_t>(t.due - best->due) < 0) best = &t;
  }
  if (!best) return false;
  out = Message{best->window, WM_TIMER, best->id, 0, now, windowing().cursor_pos};
  if (remove) best->due = now + best->interval;
  return true;
}

std::uint32_t ms_until_next_timer() {
  std::uint32_t now = now_ms();
  std::uint32_t best = INFINITE;
  for (const Timer& t : windowing().timers) {
    auto left = static_cast<std::int32_t>(t.due - now);
    best = std::min(best, left <= 0 ? 0u : static_cast<std::uint32_t>(left));
  }
  return best;
}

void forget_timers(Window* window) {
  auto& timers = windowing().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window; }),
               timers.end());
}

}  // namespace detail

std::uintptr_t set_timer(Window* window, std::uintptr_t id, std::uint32_t interval_ms) {
  auto& s = detail::windowing();
  if (window && !detail::find(window)) return 0;
  if (!window) id = ++s.next_thread_timer;
  interval_ms = std::max<std::uint32_t>(interval_ms, 10);  // the native floor
  std::uint32_t due = detail::now_ms() + interval_ms;
  for (detail::Timer& t : s.timers)
    if (t.window == window && t.id == id) {
      t.interval = interval_ms;
      t.due = due;
      return id;
    }
  s.timers.push_back({window, id, interval_ms, due});
  return id;
}

bool kill_timer(Window* window, std::uintptr_t id) {
  auto& timers = detail::windowing().timers;
  auto it = std::find_if(timers.begin(), timers.end(),
                         [&](const detail::Timer& t) { return t.window == window && t.id == id; });
  if (it == timers.end()) return false;
  timers.erase(it);
  return true;
}

}  // namespace native
