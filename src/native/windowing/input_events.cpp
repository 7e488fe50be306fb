// Input reported by a backend, turned into messages the way the native
// system would.
#include "native/windowing/input_events.h"

#include "native/windowing/input_state.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/windowing_state.h"

#include <cstdlib>

namespace native {
namespace {

using detail::windowing;

constexpr std::uint8_t kLeftVariant[3] = {VK_LSHIFT, VK_LCONTROL, VK_LMENU};

std::uint8_t left_variant(std::uint8_t key) {
  return key >= VK_SHIFT && key <= VK_MENU ? kLeftVariant[key - VK_SHIFT] : 0;
}

void set_now(std::uint8_t key, bool down) {
  std::uint8_t& state = windowing().keys_now[key];
  if (down && !(state & 0x80)) state ^= 1;
  state = static_cast<std::uint8_t>(down ? state | 0x80 : state & ~0x80);
}

bool down_now(std::uint8_t key) { return windowing().keys_now[key] & 0x80; }

std::uint32_t flags_now() {
  std::uint32_t flags = 0;
  if (down_now(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (down_now(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (down_now(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (down_now(VK_SHIFT)) flags |= MK_SHIFT;
  if (down_now(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

Window* keyboard_target() {
  if (Window* focus = get_focus()) return focus;
  return get_active_window();
}

bool root_enabled(Window* window) { return is_window_enabled(get_ancestor_root(window)); }

std::intptr_t client_lparam(Window* window, Point screen) {
  screen_to_client(window, screen);
  return make_lparam(screen.x, screen.y);
}

}  // namespace

Window* window_under_pointer() {
  Point p = windowing().cursor_pos;
  Window* w = window_from_point(p);
  if (!w) return nullptr;
  Rect client = get_client_rect(w);
  screen_to_client(w, p);
  return p.x >= 0 && p.y >= 0 && p.x < client.right && p.y < client.bottom ? w : nullptr;
}

bool reported_key_down(std::uint8_t key) { return down_now(key); }

void input_key(std::uint8_t key, bool down) {
  if (key == 0) return;
  bool was_down = down_now(key);
  std::uint8_t variant = left_variant(key);
  set_now(key, down);
  if (variant) set_now(variant, down);
  Window* target = keyboard_target();
  if (!target) return;
  bool alt = down_now(VK_MENU);
  // Alt (or F10) makes system keys, unless Control is held with it.
  bool system = (key == VK_F10 || key == VK_MENU || alt) && !down_now(VK_CONTROL);
  std::uint32_t message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  std::uint32_t lparam = 1;
  if (alt) lparam |= 1u << 29;
  if (was_down) lparam |= 1u << 30;
  if (!down) lparam |= 1u << 31;
  post_input_message(target, message, key, static_cast<std::intptr_t>(lparam), {key, down}, {variant, down});
}

void input_mouse_move(Point screen) {
  auto& s = windowing();
  set_cursor_pos(screen.x, screen.y);
  Window* under = window_under_pointer();
  if (s.tracked && s.tracked != under) {
    post_input_message(s.tracked, WM_MOUSELEAVE, 0, 0);
    s.tracked = nullptr;
  }
  Window* target = get_capture() ? get_capture() : under;
  if (!target || !root_enabled(target)) return;
  post_input_message(target, WM_MOUSEMOVE, flags_now(), client_lparam(target, s.cursor_pos));
}

void input_mouse_button(MouseButton button, bool down, Point screen) {
  auto& s = windowing();
  if (!(s.cursor_pos == screen)) input_mouse_move(screen);
  static constexpr std::uint8_t keys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  static constexpr std::uint32_t downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  int index = static_cast<int>(button);
  std::uint8_t key = keys[index];
  set_now(key, down);
  Window* target = get_capture() ? get_capture() : window_under_pointer();
  if (!target || !root_enabled(target)) return;
  std::uint32_t message = down ? downs[index] : downs[index] + 1;
  if (down) {
    detail::ClickRecord& last = s.last_click;
    std::uint32_t now = get_tick_count();
    bool dblclks = false;
    WindowClassInfo info;
    if (get_class_info(get_class_name(target), info)) dblclks = info.style & CS_DBLCLKS;
    bool near = std::abs(s.cursor_pos.x - last.point.x) <= get_system_metrics(SM_CXDOUBLECLK) / 2 &&
                std::abs(s.cursor_pos.y - last.point.y) <= get_system_metrics(SM_CYDOUBLECLK) / 2;
    bool in_time = now - last.time <= static_cast<std::uint32_t>(s.backend.double_click_time_ms());
    if (dblclks && last.valid && last.window == target && last.button_message == message && near && in_time) {
      message += 2;  // DOWN → DBLCLK
      last = {};     // a third press starts again
    } else {
      last = {target, message, now, s.cursor_pos, true};
    }
  }
  post_input_message(target, message, flags_now(), client_lparam(target, s.cursor_pos), {key, down});
}

void input_wheel(int delta) {
  Window* target = keyboard_target();
  if (!target) return;
  std::uintptr_t wparam = make_wparam(static_cast<std::uint16_t>(flags_now()), static_cast<std::uint16_t>(delta));
  Point p = windowing().cursor_pos;
  post_input_message(target, WM_MOUSEWHEEL, wparam, make_lparam(p.x, p.y));
}

namespace detail {

bool process_input_message(const Message& m) {
  if (m.message < WM_MOUSEMOVE || m.message > WM_MBUTTONDBLCLK || get_capture() || !is_window(m.window)) return true;
  bool press = m.message == WM_LBUTTONDOWN || m.message == WM_RBUTTONDOWN || m.message == WM_MBUTTONDOWN ||
               m.message == WM_LBUTTONDBLCLK || m.message == WM_RBUTTONDBLCLK || m.message == WM_MBUTTONDBLCLK;
  Window* root = get_ancestor_root(m.window);
  if (press && root != get_active_window()) {
    std::intptr_t answer = send_message(m.window, WM_MOUSEACTIVATE, reinterpret_cast<std::uintptr_t>(root),
                                        make_lparam(HTCLIENT, static_cast<int>(m.message)));
    if (answer != MA_NOACTIVATE && answer != MA_NOACTIVATEANDEAT) activate(root, WA_CLICKACTIVE);
    if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT) return false;
  }
  if (is_window(m.window))
    send_message(m.window, WM_SETCURSOR, reinterpret_cast<std::uintptr_t>(m.window),
                 make_lparam(HTCLIENT, static_cast<int>(m.message)));
  return is_window(m.window);
}

}  // namespace detail
}  // namespace native
