// Showing, enabling, activation and keyboard focus.
#include "native/windowing/backend.h"
#include "native/windowing/input_state.h"
#include "native/windowing/paint.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>

namespace native {
namespace detail {
namespace {

std::uintptr_t activate_wparam(std::uintptr_t kind, Window* window) {
  WindowData* w = find(window);
  return make_wparam(static_cast<std::uint16_t>(kind), w && (w->style & WS_MINIMIZE) ? 1 : 0);
}

bool focus_within(Window* window) {
  Window* focus = windowing().focus;
  return focus && (focus == window || is_child(window, focus));
}

// Minimise, maximise or restore; sends WM_GETMINMAXINFO before maximising,
// then WM_MOVE when the client area moved, then WM_SIZE.
void change_state(WindowData& w, std::uint32_t state) {
  std::uint32_t old_state = w.style & (WS_MINIMIZE | WS_MAXIMIZE);
  if (state == old_state) return;
  Window* handle = w.handle;
  Point old_origin = client_origin_on_screen(w);
  if (old_state == 0) w.normal_rect = w.rect;
  if (state == WS_MAXIMIZE) {
    MinMaxInfo info{};
    int fx = get_system_metrics(SM_CXFRAME), fy = get_system_metrics(SM_CYFRAME);
    info.max_size = {get_system_metrics(SM_CXSCREEN) + 2 * fx, get_system_metrics(SM_CYSCREEN) + 2 * fy};
    info.max_position = {-fx, -fy};
    info.min_track_size = {get_system_metrics(SM_CXMIN), get_system_metrics(SM_CYMIN)};
    info.max_track_size = info.max_size;
    send_message(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&info));
    if (!find(handle)) return;
    w.rect = {info.max_position.x, info.max_position.y, info.max_position.x + info.max_size.x,
              info.max_position.y + info.max_size.y};
  } else if (state == 0) {
    w.rect = w.normal_rect;
  }
  // A minimised window keeps its rectangle: only its client area empties.
  w.style = (w.style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | state;
  fit_surface(w);
  windowing().backend.window_placed(handle);
  if (state != WS_MINIMIZE) invalidate_rect(handle, nullptr, true);
  // As after any placement: WM_MOVE first, then WM_SIZE. Minimised windows
  // stay where they are, so going in or out of that state moves nothing.
  bool minimising = state == WS_MINIMIZE || old_state == WS_MINIMIZE;
  if (!minimising && !(client_origin_on_screen(w) == old_origin)) send_move(w);
  if (find(handle)) send_size(w);
}

}  // namespace

void activate(Window* target, std::uintptr_t kind) {
  auto& s = windowing();
  WindowData* t = find(target);
  if (target && !t) return;
  if (t) target = get_ancestor_root(target);
  Window* old = s.active;
  if (target) s.other_program_active = false;
  if (target == old) return;
  s.active = target;
  if (find(old))
    send_message(old, WM_ACTIVATE, activate_wparam(WA_INACTIVE, old), reinterpret_cast<std::intptr_t>(target));
  if (s.active != target) return;  // the old window's procedure activated another
  if ((t = find(target))) {
    place_in_z_order(*t, HWND_TOP);
    s.backend.window_placed(target);
    s.backend.window_activated(target);
    send_message(target, WM_ACTIVATE, activate_wparam(kind, target), reinterpret_cast<std::intptr_t>(old));
  } else {
    s.backend.window_activated(nullptr);
  }
  // Keyboard focus stays inside the active window.
  if (s.active != target) return;
  if (!find(target)) {
    if (s.focus) set_focus(nullptr);
  } else if (!focus_within(target)) {
    set_focus(target);
  }
}

void move_activation_away(WindowData& w) {
  Window* handle = w.handle;
  if (!w.parent && windowing().active == handle) {
    Window* next = nullptr;
    for (WindowData* o : windowing().top_level)
      if (o != &w && !o->destroying && (o->style & WS_VISIBLE) && !(o->style & (WS_DISABLED | WS_MINIMIZE))) {
        next = o->handle;
        break;
      }
    activate(next, WA_ACTIVE);
  }
  if (!focus_within(handle)) return;
  WindowData* parent = find(handle) ? w.parent : nullptr;
  set_focus(parent && !parent->destroying ? parent->handle : nullptr);
}

}  // namespace detail

using detail::find;
using detail::WindowData;
using detail::windowing;

bool show_window(Window* window, int command) {
  WindowData* w = find(window);
  if (!w) return false;
  bool was_visible = w->style & WS_VISIBLE;
  if (command == SW_HIDE) {
    if (!was_visible) return false;
    send_message(window, WM_SHOWWINDOW, 0, 0);
    if (!(w = find(window))) return true;
    detail::move_activation_away(*w);
    if (!(w = find(window))) return true;
    w->style &= ~WS_VISIBLE;
    windowing().backend.window_shown(window, false);
    if (w->parent) {
      Rect uncovered = w->rect;  // already in the parent's client coordinates
      invalidate_rect(w->parent->handle, &uncovered, true);
    }
    return true;
  }
  std::uint32_t state = w->style & (WS_MINIMIZE | WS_MAXIMIZE);
  switch (command) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: state = WS_MINIMIZE; break;
    case SW_MAXIMIZE: state = WS_MAXIMIZE; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWNOACTIVATE: state = 0; break;
    default: break;
  }
  bool activates = !w->parent && (command == SW_SHOWNORMAL || command == SW_SHOWMINIMIZED || command == SW_MAXIMIZE ||
                                  command == SW_SHOW || command == SW_RESTORE);
  if (!was_visible) {
    send_message(window, WM_SHOWWINDOW, 1, 0);
    if (!(w = find(window))) return false;
    w->style |= WS_VISIBLE;
    windowing().backend.window_shown(window, true);
    invalidate_rect(window, nullptr, true);
  }
  if (activates) detail::activate(window, WA_ACTIVE);
  if ((w = find(window))) detail::change_state(*w, state);
  if (command == SW_MINIMIZE && (w = find(window))) detail::move_activation_away(*w);
  return was_visible;
}

bool is_window_visible(Window* window) {
  WindowData* w = find(window);
  if (!w) return false;
  for (; w; w = w->parent)
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

bool is_iconic(Window* window) {
  WindowData* w = find(window);
  return w && (w->style & WS_MINIMIZE);
}

bool is_zoomed(Window* window) {
  WindowData* w = find(window);
  return w && (w->style & WS_MAXIMIZE);
}

bool enable_window(Window* window, bool enable) {
  WindowData* w = find(window);
  if (!w) return false;
  bool was_disabled = w->style & WS_DISABLED;
  if (was_disabled == !enable) return was_disabled;
  if (enable) {
    w->style &= ~WS_DISABLED;
  } else {
    w->style |= WS_DISABLED;
    if (detail::focus_within(window)) set_focus(nullptr);
    if (windowing().capture == window) release_capture();
  }
  send_message(window, WM_ENABLE, enable ? 1 : 0, 0);
  return was_disabled;
}

bool is_window_enabled(Window* window) {
  WindowData* w = find(window);
  return w && !(w->style & WS_DISABLED);
}

Window* set_active_window(Window* window) {
  Window* previous = windowing().active;
  if (window && !find(window)) return nullptr;
  detail::activate(window, WA_ACTIVE);
  return previous;
}

Window* get_active_window() { return find(windowing().active) ? windowing().active : nullptr; }

Window* get_foreground_window() { return windowing().other_program_active ? nullptr : get_active_window(); }

bool set_foreground_window(Window* window) {
  if (!find(window)) return false;
  detail::activate(window, WA_ACTIVE);
  return true;
}

Window* set_focus(Window* window) {
  auto& s = windowing();
  Window* previous = find(s.focus) ? s.focus : nullptr;
  if (window) {
    WindowData* w = find(window);
    if (!w) return nullptr;
    Window* root = get_ancestor_root(window);
    if (s.active != root) {
      detail::activate(root, WA_ACTIVE);
      if (!find(window)) return previous;
    }
  }
  Window* old = s.focus;
  if (old == window) return previous;
  s.focus = window;
  if (find(old)) send_message(old, WM_KILLFOCUS, reinterpret_cast<std::uintptr_t>(window), 0);
  if (window && s.focus == window) send_message(window, WM_SETFOCUS, reinterpret_cast<std::uintptr_t>(old), 0);
  return previous;
}

void other_program_activated() {
  detail::activate(nullptr, WA_INACTIVE);
  windowing().other_program_active = true;
}

Window* get_focus() { return find(windowing().focus) ? windowing().focus : nullptr; }

}  // namespace native
