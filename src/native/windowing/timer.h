#pragma once
// Timers: WM_TIMER (wParam = identifier, lParam 0) for a window every
// interval. Like painting, a due timer is handed out only when nothing else
// is pending, and several expiries in a row still make one message.
#include <cstdint>

namespace native {

struct Window;

// Starts or restarts the window's timer with that identifier and answers the
// identifier; with no window a new identifier is chosen. 0 for a stale window.
std::uintptr_t set_timer(Window* window, std::uintptr_t id, std::uint32_t interval_ms);
bool kill_timer(Window* window, std::uintptr_t id);

}  // namespace native
