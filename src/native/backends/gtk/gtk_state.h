#pragma once
// What the backend keeps beside the core: one GTK window per shown top-level
// native window, and the flags that tie GTK's main loop to the core's wait.
#include "native/windowing/window.h"

#include <gtk/gtk.h>

#include <map>
#include <memory>

namespace native::gtk {

struct TopLevel {
  Window* window = nullptr;
  GtkWidget* gtk_window = nullptr;
  GtkWidget* box = nullptr;       // menu bar over canvas area
  GtkWidget* menu_bar = nullptr;  // null while the window has no menu
  GtkWidget* client = nullptr;    // drawing area below the bar, the canvas in it
  // The window's size on the X server as its last real configure event
  // gave it (0 before the first); GTK's own idea can be a window manager's.
  int shown_width = 0;
  int shown_height = 0;
  bool keep_above = false;
  bool iconified = false;
  bool shown = false;
  bool following = false;  // the core is taking a move the user made
};

struct State {
  std::map<Window*, std::unique_ptr<TopLevel>> top_levels;
  // Set whenever GTK input has become a native message; the wait runs GTK's
  // loop until it is.
  bool input_arrived = false;
  int menu_height = 0;
  int modal_depth = 0;  // our own dialogs running their nested loops
  bool report_first_draw = false;
};

State& state();
TopLevel* find_top_level(Window* window);
// The top-level holding `window` (itself or an ancestor), when shown by GTK.
TopLevel* top_level_of(Window* window);
TopLevel* top_level_of_widget(GtkWidget* widget);
inline void note_input() { state().input_arrived = true; }

// The shown top-level GTK has made active, if any.
TopLevel* active_top_level();
// Where the top-level's canvas really is on screen, less where the core
// believes its client area is: the window manager's frame may differ from the
// core's metrics.
Point real_screen_offset(const TopLevel& top);
// A point of the top-level's drawing area in the core's screen coordinates.
Point screen_point(const TopLevel& top, double x, double y);

}  // namespace native::gtk
