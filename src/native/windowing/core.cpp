// Start and stop of the window system, the backend slots, handle look-up.
#include "native/windowing/backend.h"
#include "native/windowing/dialogs.h"
#include "native/windowing/input_state.h"
#include "native/windowing/window.h"
#include "native/windowing/windowing_state.h"

#include <chrono>
#include <thread>
#include <vector>

namespace native {
namespace detail {
namespace {

int no_metric(int) { return -1; }
int default_double_click_time() { return 500; }
void no_pump() {}
std::uint64_t monotonic_ms() {
  auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count());
}
// Nothing can arrive without a display: wait out the timeout. An endless
// wait is cut into slices so a caller's loop stays responsive to signals.
bool sleep_wait(std::uint32_t timeout_ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms == INFINITE ? 50 : timeout_ms));
  return false;
}
// Only the keys pressed in our own windows are known.
bool no_key_down(int) { return false; }
void no_window(Window*) {}
void no_show(Window*, bool) {}
void no_surface(Window*, const Rect&) {}
void no_cursor(Cursor*) {}
void no_clip(const Rect*) {}
// Without a display nobody can answer a box: it closes at once, as if
// cancelled or confirmed with Enter.
bool no_file_dialog(const FileDialogRequest&, FileDialogAnswer&) { return false; }
int enter_on_message_box(const MessageBoxRequest& request) { return default_button(request.flags); }

template <typename F>
void fill(F& slot, F fallback) {
  if (!slot) slot = fallback;
}

Backend with_defaults(const Backend* given) {
  Backend b = given ? *given : Backend{};
  fill(b.system_metric, &no_metric);
  fill(b.double_click_time_ms, &default_double_click_time);
  fill(b.pump_input, &no_pump);
  fill(b.wait_input, &sleep_wait);
  fill(b.clock_ms, &monotonic_ms);
  fill(b.key_down_anywhere, &no_key_down);
  fill(b.window_created, &no_window);
  fill(b.window_destroyed, &no_window);
  fill(b.window_shown, &no_show);
  fill(b.window_placed, &no_window);
  fill(b.window_text_changed, &no_window);
  fill(b.window_activated, &no_window);
  fill(b.menu_changed, &no_window);
  fill(b.surface_changed, &no_surface);
  fill(b.cursor_changed, &no_cursor);
  fill(b.capture_changed, &no_window);
  fill(b.cursor_clip_changed, &no_clip);
  fill(b.file_dialog, &no_file_dialog);
  fill(b.message_box, &enter_on_message_box);
  return b;
}

WindowingState fresh_state(const Backend* given) {
  WindowingState s;
  s.backend = with_defaults(given);
  s.clock_start = s.backend.clock_ms();
  return s;
}

// Handles are never reused, across init and shutdown too, so a handle kept
// from an earlier run can never name a new window.
std::uintptr_t next_handle = 0x10000;

}  // namespace

WindowingState& windowing() {
  static WindowingState state = fresh_state(nullptr);
  return state;
}

WindowData* find(const Window* handle) {
  if (!handle) return nullptr;
  auto& windows = windowing().windows;
  auto it = windows.find(handle);
  if (it == windows.end() || it->second->destroyed) return nullptr;
  return it->second.get();
}

Window* handle_of(const WindowData* data) { return data ? data->handle : nullptr; }

Window* new_window_handle() {
  next_handle += 0x10;
  return reinterpret_cast<Window*>(next_handle);
}

std::uint32_t now_ms() { return static_cast<std::uint32_t>(windowing().backend.clock_ms() - windowing().clock_start); }

void collect_graveyard() {
  if (windowing().send_depth == 0) windowing().graveyard.clear();
}

}  // namespace detail

const Backend& backend() { return detail::windowing().backend; }

void init(const Backend* given) {
  if (detail::windowing().initialized) shutdown();
  auto& state = detail::windowing();
  state = detail::fresh_state(given);
  state.initialized = true;
  state.cursor = load_cursor(IDC_ARROW);
  state.clip = {0, 0, get_system_metrics(SM_CXSCREEN), get_system_metrics(SM_CYSCREEN)};
}

void shutdown() {
  auto& state = detail::windowing();
  // Windows first (their procedures may still use menus and tables), owned
  // windows before their owners as the native system does.
  std::vector<Window*> windows;
  for (auto* w : state.top_level) windows.push_back(w->handle);
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) destroy_window(*it);
  // Anything a procedure kept alive still gives back what it holds.
  for (auto& [handle, w] : state.windows)
    if (!w->destroyed) {
      detail::release_drop_registration(*w);
      detail::drop_surface(*w);
    }
  detail::reset_drag();
  detail::reset_menus();
  detail::reset_accelerators();
  state.graveyard.clear();
  state.windows.clear();
  state = detail::fresh_state(nullptr);
}

bool is_initialized() { return detail::windowing().initialized; }

bool ole_initialize() {
  ++detail::windowing().ole_count;
  return true;
}

void ole_uninitialize() {
  if (detail::windowing().ole_count > 0) --detail::windowing().ole_count;
}

bool init_common_controls(std::uint32_t) { return true; }

}  // namespace native
