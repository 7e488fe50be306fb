#include "ui/keyboard_cues.h"

#include "native/windowing/window.h"

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
