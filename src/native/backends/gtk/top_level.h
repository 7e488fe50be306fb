#pragma once
// Top-level native windows as GTK windows: made when first shown, kept in
// step with the core's title, placement, state and keep-above, and painted
// from the core's surfaces.
#include "native/backends/gtk/gtk_state.h"

namespace native::gtk {

void show_top_level(Window* window, bool visible);
void destroy_top_level(Window* window);
// Title, size, position, minimised state and keep-above from the core.
void sync_placement(TopLevel& top);
void sync_title(TopLevel& top);
// Redraws the part of the top-level's client area a window of it covers.
void redraw(Window* window, const Rect& rect);

}  // namespace native::gtk
