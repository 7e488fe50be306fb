// Default processing of messages a window procedure passes on.
#include "native/windowing/input_state.h"
#include "native/windowing/paint.h"
#include "native/windowing/windowing_state.h"

namespace native {
namespace {

constexpr std::intptr_t PRF_ERASEBKGND = 0x8;
constexpr std::intptr_t PRF_CLIENT = 0x4;
constexpr std::uintptr_t UIS_SET = 1;
constexpr std::uintptr_t UIS_CLEAR = 2;
constexpr std::uintptr_t UIS_INITIALIZE = 3;
constexpr std::uint8_t VK_F4 = 0x73;

std::intptr_t system_command(Window* window, std::uintptr_t command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE: send_message(window, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: show_window(window, SW_MINIMIZE); break;
    case SC_MAXIMIZE: show_window(window, SW_MAXIMIZE); break;
    case SC_RESTORE: show_window(window, SW_RESTORE); break;
    default: break;
  }
  return 0;
}

std::intptr_t set_cursor_default(detail::WindowData& w, std::uintptr_t wparam, std::intptr_t lparam) {
  // A parent may choose the cursor for its children first.
  if (w.parent) {
    if (std::intptr_t answer = send_message(w.parent->handle, WM_SETCURSOR, wparam, lparam)) return answer;
  }
  if (low_word(static_cast<std::uintptr_t>(lparam)) != HTCLIENT) return 0;
  detail::WindowData* under = detail::find(reinterpret_cast<Window*>(wparam));
  Cursor* cursor = under ? under->window_class->cursor : nullptr;
  if (!cursor) return 0;
  set_cursor(cursor);
  return 1;
}

void update_ui_state(detail::WindowData& w, std::uintptr_t wparam) {
  std::uint32_t bits = high_word(wparam) & 0x3;
  switch (low_word(wparam)) {
    case UIS_SET: w.ui_state |= bits; break;
    case UIS_CLEAR: w.ui_state &= ~bits; break;
    case UIS_INITIALIZE: w.ui_state = 0; break;
    default: return;
  }
  std::vector<Window*> children;
  for (detail::WindowData* c : w.children) children.push_back(c->handle);
  for (Window* c : children) send_message(c, WM_UPDATEUISTATE, wparam, 0);
}

}  // namespace

std::intptr_t def_window_proc(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  detail::WindowData* w = detail::find(window);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE: return 1;
    case WM_CLOSE: destroy_window(window); return 0;
    case WM_SYSCOMMAND: return system_command(window, wparam);
    case WM_SYSKEYDOWN:
      if (wparam == VK_F4 && (lparam & (1 << 29))) send_message(get_ancestor_root(window), WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_PAINT: {
      PaintStruct paint;
      if (begin_paint(window, paint)) end_paint(window, paint);
      return 0;
    }
    case WM_ERASEBKGND: {
      auto* dc = reinterpret_cast<DeviceContext*>(wparam);
      return dc && detail::erase_background(*w, dc) ? 1 : 0;
    }
    case WM_PRINT:
      if (lparam & PRF_ERASEBKGND) send_message(window, WM_ERASEBKGND, wparam, 0);
      if ((lparam & PRF_CLIENT) && detail::find(window)) send_message(window, WM_PRINTCLIENT, wparam, lparam);
      return 0;
    case WM_SETCURSOR: return set_cursor_default(*w, wparam, lparam);
    case WM_MOUSEACTIVATE:
      if (w->parent) {
        if (std::intptr_t answer = send_message(w->parent->handle, WM_MOUSEACTIVATE, wparam, lparam)) return answer;
      }
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (low_word(wparam) != WA_INACTIVE && high_word(wparam) == 0) set_focus(window);
      return 0;
    case WM_SETTEXT: set_window_text(window, lparam ? reinterpret_cast<const char16_t*>(lparam) : u""); return 1;
    case WM_UPDATEUISTATE: update_ui_state(*w, wparam); return 0;
    case WM_QUERYUISTATE: return static_cast<std::intptr_t>(w->ui_state);
    default: return 0;
  }
}

}  // namespace native
