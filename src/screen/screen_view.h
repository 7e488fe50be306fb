#pragma once
// Paints the loaded screen into image 0 at the current scale, applying the
// file's line changes row by row, and shows image 0 on canvas 0: centred on
// black at scale 1, filling the canvas at scale 2. Nothing happens while
// nothing is loaded.
void render_screen();
