#pragma once
// The core's menu bar as a GtkMenuBar. The core owns every item and check
// mark; the GTK bar is rebuilt from it whenever it changes, and a chosen
// item only posts the command the core would get.
#include "native/backends/gtk/gtk_state.h"

namespace native::gtk {

// Makes, replaces or removes the window's GTK bar to match the core's.
void sync_menu_bar(TopLevel& top);
// Height of a bar with the current theme and font, in pixels.
int measure_menu_bar_height();

}  // namespace native::gtk
