#pragma once
// Keyboard navigation: Tab moves the focus, and the keyboard cues show once
// the keyboard is used.
namespace native {
struct Window;
}

// Tab and Shift+Tab: the keyboard focus moves among the enabled, visible tab
// stops of the active window, wrapping at either end.
void move_focus(bool forward);

// Keyboard cues (focus rectangles and accelerator underlines) are hidden
// until the keyboard is used, and hidden again when a window loses activation.
void show_keyboard_cues(native::Window* window);
void hide_keyboard_cues(native::Window* window);
