// Key state, pointer, capture, cursor, confinement and leave tracking.
#include "native/windowing/input_state.h"

#include "native/windowing/backend.h"
#include "native/windowing/input_events.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>
#include <iterator>

namespace native {

struct Cursor {
  int id;
};

namespace {

Cursor standard_cursors[] = {{IDC_ARROW},    {IDC_IBEAM},    {IDC_WAIT},       {IDC_CROSS},  {IDC_UPARROW},
                             {IDC_SIZENWSE}, {IDC_SIZENESW}, {IDC_SIZEWE},     {IDC_SIZENS}, {IDC_SIZEALL},
                             {IDC_NO},       {IDC_HAND},     {IDC_APPSTARTING}};

bool known_cursor(const Cursor* cursor) {
  return std::any_of(std::begin(standard_cursors), std::end(standard_cursors),
                     [&](const Cursor& c) { return &c == cursor; });
}

std::int16_t answer(std::uint8_t state) { return static_cast<std::int16_t>((state & 0x80 ? 0x8000 : 0) | (state & 1)); }

}  // namespace

namespace detail {

void apply_key_change(const KeyChange& change) {
  if (change.key == 0) return;
  std::uint8_t& state = windowing().keys_at_message[change.key];
  if (change.down && !(state & 0x80)) state ^= 1;
  state = static_cast<std::uint8_t>(change.down ? state | 0x80 : state & ~0x80);
}

void forget_window(Window* window) {
  auto& s = windowing();
  if (s.capture == window) {
    s.capture = nullptr;
    s.backend.capture_changed(nullptr);
  }
  if (s.focus == window) s.focus = nullptr;
  if (s.active == window) {
    s.active = nullptr;
    s.backend.window_activated(nullptr);
  }
  if (s.tracked == window) s.tracked = nullptr;
  if (s.last_click.window == window) s.last_click = {};
}

}  // namespace detail

using detail::windowing;

std::int16_t get_key_state(int virtual_key) {
  if (virtual_key < 0 || virtual_key > 255) return 0;
  return answer(windowing().keys_at_message[virtual_key]);
}

std::int16_t get_async_key_state(int virtual_key) {
  if (virtual_key < 0 || virtual_key > 255) return 0;
  // Our own windows' keys first: asking the display may cost a round trip.
  bool down = (windowing().keys_now[virtual_key] & 0x80) || windowing().backend.key_down_anywhere(virtual_key);
  return static_cast<std::int16_t>(down ? 0x8000 : 0);
}

Point get_cursor_pos() { return windowing().cursor_pos; }

bool set_cursor_pos(int x, int y) {
  Rect c = get_clip_cursor();
  windowing().cursor_pos = {std::clamp(x, c.left, std::max(c.left, c.right - 1)),
                            std::clamp(y, c.top, std::max(c.top, c.bottom - 1))};
  return true;
}

Window* set_capture(Window* window) {
  auto& s = windowing();
  Window* previous = detail::find(s.capture) ? s.capture : nullptr;
  if (!detail::find(window)) return previous;
  if (previous == window) return previous;
  s.capture = window;
  s.backend.capture_changed(window);
  if (previous) send_message(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<std::intptr_t>(window));
  return previous;
}

bool release_capture() {
  auto& s = windowing();
  Window* previous = s.capture;
  s.capture = nullptr;
  if (previous) {
    s.backend.capture_changed(nullptr);
    send_message(previous, WM_CAPTURECHANGED, 0, 0);
  }
  return true;
}

Window* get_capture() { return detail::find(windowing().capture) ? windowing().capture : nullptr; }

Cursor* load_cursor(int id) {
  for (Cursor& c : standard_cursors)
    if (c.id == id) return &c;
  return nullptr;
}

int cursor_id(Cursor* cursor) { return known_cursor(cursor) ? cursor->id : 0; }

Cursor* set_cursor(Cursor* cursor) {
  auto& s = windowing();
  Cursor* previous = s.cursor;
  if (cursor && !known_cursor(cursor)) return nullptr;
  if (cursor != previous) {
    s.cursor = cursor;
    s.backend.cursor_changed(cursor);
  }
  return previous;
}

Cursor* get_cursor() { return windowing().cursor; }

bool clip_cursor(const Rect* rect) {
  auto& s = windowing();
  Rect screen{0, 0, get_system_metrics(SM_CXSCREEN), get_system_metrics(SM_CYSCREEN)};
  if (!rect) {
    s.clip_active = false;
    s.clip = screen;
    s.backend.cursor_clip_changed(nullptr);
    return true;
  }
  Rect r{std::max(rect->left, screen.left), std::max(rect->top, screen.top), std::min(rect->right, screen.right),
         std::min(rect->bottom, screen.bottom)};
  if (r.right <= r.left || r.bottom <= r.top) return false;
  s.clip_active = true;
  s.clip = r;
  s.backend.cursor_clip_changed(&s.clip);
  set_cursor_pos(s.cursor_pos.x, s.cursor_pos.y);
  return true;
}

Rect get_clip_cursor() {
  auto& s = windowing();
  if (s.clip_active) return s.clip;
  return {0, 0, get_system_metrics(SM_CXSCREEN), get_system_metrics(SM_CYSCREEN)};
}

bool track_mouse_event(std::uint32_t flags, Window* window) {
  auto& s = windowing();
  if (!detail::find(window)) return false;
  if (flags & TME_CANCEL) {
    if (s.tracked == window) s.tracked = nullptr;
    return true;
  }
  if (!(flags & TME_LEAVE)) return true;
  if (window_under_pointer() != window) {
    post_input_message(window, WM_MOUSELEAVE, 0, 0);
    return true;
  }
  s.tracked = window;
  return true;
}

std::uint32_t mouse_key_flags() {
  const std::uint8_t* k = windowing().keys_at_message;
  std::uint32_t flags = 0;
  if (k[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
  if (k[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
  if (k[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
  if (k[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
  if (k[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
  return flags;
}

}  // namespace native
