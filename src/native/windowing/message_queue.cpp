// The message queue: posting, one-message fetches, waiting, translating and
// dispatching.
#include "native/windowing/message_queue.h"

#include "native/windowing/backend.h"
#include "native/windowing/input_events.h"
#include "native/windowing/input_state.h"
#include "native/windowing/paint.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>

namespace native {
namespace detail {
namespace {

Message stamped(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  return Message{window, message, wparam, lparam, now_ms(), windowing().cursor_pos};
}

bool in_range(std::uint32_t message, std::uint32_t min, std::uint32_t max) {
  return (min == 0 && max == 0) || (message >= min && message <= max);
}

bool for_window(Window* target, Window* filter) { return !filter || target == filter || is_child(filter, target); }

// The first visible window with something invalid, parents before their
// children, topmost first.
Window* window_to_paint(WindowData& w, Window* filter) {
  if (!(w.style & WS_VISIBLE)) return nullptr;
  if (w.invalid && for_window(w.handle, filter)) return w.handle;
  for (WindowData* c : w.children)
    if (Window* found = window_to_paint(*c, filter)) return found;
  return nullptr;
}

void note_fetched(const Message& m) {
  windowing().message_time = m.time;
  windowing().message_pos = static_cast<std::uint32_t>(make_lparam(m.point.x, m.point.y));
}

// One pass over everything pending, in fetch order.
bool fetch(Message& out, Window* filter, std::uint32_t min, std::uint32_t max, bool remove) {
  auto& s = windowing();
  for (auto* queue : {&s.posted, &s.input}) {
    for (auto it = queue->begin(); it != queue->end(); ++it) {
      if (!in_range(it->message.message, min, max) || !for_window(it->message.window, filter)) continue;
      out = it->message;
      if (remove) {
        QueuedMessage taken = *it;
        queue->erase(it);
        apply_key_change(taken.change);
        apply_key_change(taken.second);
        note_fetched(out);
        // A click that activates may be eaten: hand out the next one instead.
        if (queue == &s.input && !process_input_message(out)) return fetch(out, filter, min, max, remove);
      }
      return true;
    }
  }
  if (s.quit_pending) {
    out = stamped(nullptr, WM_QUIT, static_cast<std::uintptr_t>(s.quit_code), 0);
    if (remove) {
      s.quit_pending = false;
      note_fetched(out);
    }
    return true;
  }
  if (in_range(WM_PAINT, min, max))
    for (WindowData* w : s.top_level)
      if (Window* target = window_to_paint(*w, filter)) {
        // Stays pending until the window is validated, as on the native system.
        out = stamped(target, WM_PAINT, 0, 0);
        if (remove) note_fetched(out);
        return true;
      }
  if (in_range(WM_TIMER, min, max) && take_due_timer(out, filter, remove)) {
    if (remove) note_fetched(out);
    return true;
  }
  return false;
}

bool paint_pending() {
  for (WindowData* w : windowing().top_level)
    if (window_to_paint(*w, nullptr)) return true;
  return false;
}

}  // namespace

void purge_messages(Window* window) {
  auto& s = windowing();
  for (auto* queue : {&s.posted, &s.input})
    queue->erase(std::remove_if(queue->begin(), queue->end(),
                                [&](const QueuedMessage& q) { return q.message.window == window; }),
                 queue->end());
}

}  // namespace detail

using detail::windowing;

bool post_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  if (window && !detail::find(window)) return false;
  windowing().posted.push_back({detail::stamped(window, message, wparam, lparam), {}, {}});
  return true;
}

bool post_input_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                        KeyChange change, KeyChange second) {
  if (window && !detail::find(window)) return false;
  windowing().input.push_back({detail::stamped(window, message, wparam, lparam), change, second});
  return true;
}

bool get_message(Message& out, Window* window, std::uint32_t min, std::uint32_t max) {
  detail::collect_graveyard();
  // The blocking wait is a visible loop: take what is pending, else let the
  // backend wait for input and turn it into messages, and look again.
  for (;;) {
    windowing().backend.pump_input();
    if (detail::fetch(out, window, min, max, true)) return out.message != WM_QUIT;
    windowing().backend.wait_input(detail::ms_until_next_timer());
  }
}

bool peek_message(Message& out, Window* window, std::uint32_t min, std::uint32_t max, std::uint32_t flags) {
  detail::collect_graveyard();
  windowing().backend.pump_input();
  return detail::fetch(out, window, min, max, flags & PM_REMOVE);
}

std::uint32_t msg_wait_for_multiple_objects(std::uint32_t timeout_ms, std::uint32_t) {
  std::uint32_t start = get_tick_count();
  for (;;) {
    windowing().backend.pump_input();
    auto& s = windowing();
    std::uint32_t timer = detail::ms_until_next_timer();
    if (!s.posted.empty() || !s.input.empty() || s.quit_pending || detail::paint_pending() || timer == 0)
      return WAIT_OBJECT_0;
    std::uint32_t elapsed = get_tick_count() - start;
    if (timeout_ms != INFINITE && elapsed >= timeout_ms) return WAIT_TIMEOUT;
    s.backend.wait_input(std::min(timer, timeout_ms == INFINITE ? INFINITE : timeout_ms - elapsed));
  }
}

namespace {

char16_t character_for(std::uint32_t key) {
  bool shift = get_key_state(VK_SHIFT) < 0;
  bool control = get_key_state(VK_CONTROL) < 0;
  bool caps = get_key_state(VK_CAPITAL) & 1;
  if (key >= 'A' && key <= 'Z') {
    if (control) return static_cast<char16_t>(key - 'A' + 1);
    return static_cast<char16_t>(shift != caps ? key : key + 32);
  }
  if (control) return 0;
  if (key >= '0' && key <= '9') {
    static constexpr char16_t shifted[] = u")!@#$%^&*(";
    return shift ? shifted[key - '0'] : static_cast<char16_t>(key);
  }
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return static_cast<char16_t>(u'0' + (key - VK_NUMPAD0));
  switch (key) {
    case VK_SPACE: return u' ';
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    case VK_TAB: return 9;
    case VK_BACK: return 8;
    default: return 0;
  }
}

}  // namespace

bool translate_message(const Message& m) {
  switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      char16_t c = character_for(static_cast<std::uint32_t>(m.wparam));
      if (c) post_message(m.window, m.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, c, m.lparam);
      return true;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: return true;
    default: return false;
  }
}

std::intptr_t dispatch_message(const Message& m) {
  if (!m.window) return 0;
  return send_message(m.window, m.message, m.wparam, m.lparam);
}

void post_quit_message(int exit_code) {
  windowing().quit_pending = true;
  windowing().quit_code = exit_code;
}

std::uint32_t register_window_message(std::u16string_view name) {
  if (name.empty()) return 0;
  auto& names = windowing().registered_messages;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (detail::same_name(names[i], name)) return static_cast<std::uint32_t>(0xC000 + i);
  if (names.size() >= 0x4000) return 0;
  names.emplace_back(name);
  return static_cast<std::uint32_t>(0xC000 + names.size() - 1);
}

std::uint32_t get_tick_count() { return detail::now_ms(); }
std::uint32_t get_message_pos() { return windowing().message_pos; }
std::uint32_t get_message_time() { return windowing().message_time; }
std::size_t queued_message_count() { return windowing().posted.size() + windowing().input.size(); }

}  // namespace native
