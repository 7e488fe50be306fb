#include "ui/keyboard_navigation.h"

#include "native/windowing/window.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint32_t COMPOSITE_STYLE_BIT = 0x1;

std::vector<native::Window*> tab_stops(native::Window* container) {
  std::vector<native::Window*> stops;
  native::enum_child_windows(
      container,
      [](native::Window* child, std::intptr_t data) {
        auto style = static_cast<std::uint32_t>(native::get_window_long(child, native::GWL_STYLE));
        if (native::is_window_enabled(child) && native::is_window_visible(child) && (style & native::WS_TABSTOP))
          reinterpret_cast<std::vector<native::Window*>*>(data)->push_back(child);
        return true;
      },
      reinterpret_cast<std::intptr_t>(&stops));
  return stops;
}

}  // namespace

void move_focus(bool forward) {
  native::Window* container = native::get_active_window();
  native::Window* focus = native::get_focus();
  native::Window* current = focus && native::is_child(container, focus) ? focus : nullptr;
  // A control made of several windows is one stop; a child frame is a
  // container of its own.
  for (native::Window* w = focus; w; w = native::get_parent(w)) {
    std::u16string name = native::get_class_name(w);
    auto style = static_cast<std::uint32_t>(native::get_window_long(w, native::GWL_STYLE));
    if (name == u"MDI_ChildClass") {
      container = w;
      if (w == focus) current = nullptr;
    } else if ((name == u"ComboBoxEx32" && (style & COMPOSITE_STYLE_BIT)) || name == u"SysIPAddress32") {
      current = w;
    }
  }
  if (!container) return;
  std::vector<native::Window*> stops = tab_stops(container);
  if (stops.empty()) return;
  if (!current) {
    native::set_focus(forward ? stops.front() : stops.back());
    return;
  }
  auto at = std::find(stops.begin(), stops.end(), current);
  if (at == stops.end()) return;
  if (forward)
    native::set_focus(std::next(at) == stops.end() ? stops.front() : *std::next(at));
  else
    native::set_focus(at == stops.begin() ? stops.back() : *std::prev(at));
}

namespace {
constexpr std::intptr_t HIDE_FOCUS = 1;
constexpr std::intptr_t HIDE_ACCELERATORS = 2;
constexpr std::uintptr_t SET_BOTH = 0x30001;    // hide both
constexpr std::uintptr_t CLEAR_BOTH = 0x30002;  // show both
}  // namespace

void show_keyboard_cues(native::Window* window) {
  if (!window) return;
  std::intptr_t hidden = native::send_message(window, native::WM_QUERYUISTATE, 0, 0);
  if (hidden & (HIDE_FOCUS | HIDE_ACCELERATORS)) native::send_message(window, native::WM_UPDATEUISTATE, CLEAR_BOTH, 0);
}

void hide_keyboard_cues(native::Window* window) {
  if (!window) return;
  std::intptr_t hidden = native::send_message(window, native::WM_QUERYUISTATE, 0, 0);
  if ((hidden & (HIDE_FOCUS | HIDE_ACCELERATORS)) != (HIDE_FOCUS | HIDE_ACCELERATORS))
    native::send_message(window, native::WM_UPDATEUISTATE, SET_BOTH, 0);
}
