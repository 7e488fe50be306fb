#pragma once
// Keyboard cues (focus rectangles and accelerator underlines) are hidden
// until the keyboard is used, and hidden again when a window loses activation.
namespace native { struct Window; }

void show_keyboard_cues(native::Window* window);
void hide_keyboard_cues(native::Window* window);
