#pragma once
// The screen in the viewer's window: loading a file with the "Wrong size"
// box for one it cannot use, and showing image 0 on canvas 0.
#include <string_view>

// The viewer's canvas, which a double-size screen fills.
constexpr int CANVAS_WIDTH = 512;
constexpr int CANVAS_HEIGHT = 384;

// Reads the named file into the viewer state and renders it. A file that
// cannot be used brings up the "Wrong size" box and changes nothing.
void load_screen(std::u16string_view name);

// Paints the loaded screen into image 0 at the current scale, applying the
// file's line changes row by row, and shows image 0 on canvas 0: centred on
// black at scale 1, filling the canvas at scale 2. Nothing happens while
// nothing is loaded.
void render_screen();
