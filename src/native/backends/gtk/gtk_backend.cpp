// The backend table: metrics from the display, GTK's main loop as the
// core's wait and GLib's clock as its time, and the core's window changes
// shown through GTK.
#include "native/backends/gtk/gtk_backend.h"

#include "native/backends/gtk/canvas_placement.h"
#include "native/backends/gtk/dialogs.h"
#include "native/backends/gtk/display_keys.h"
#include "native/backends/gtk/gtk_state.h"
#include "native/backends/gtk/menu_bar.h"
#include "native/backends/gtk/pointer.h"
#include "native/backends/gtk/top_level.h"
#include "native/windowing/backend.h"
#include "native/windowing/input_state.h"
#include "native/windowing/message_queue.h"

#include <cmath>
#include <cstdlib>

namespace native::gtk {
namespace {

GdkRectangle monitor_geometry() {
  GdkRectangle area{0, 0, 1024, 768};
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
  if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
  if (monitor) gdk_monitor_get_geometry(monitor, &area);
  return area;
}

int setting(const char* name, int fallback) {
  int value = fallback;
  if (GtkSettings* settings = gtk_settings_get_default()) g_object_get(settings, name, &value, nullptr);
  return value;
}

int metric(int index) {
  switch (index) {
    case SM_CXSCREEN: return monitor_geometry().width;
    case SM_CYSCREEN: return monitor_geometry().height;
    case SM_CYMENU: return state().menu_height;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 2 * setting("gtk-double-click-distance", 5);
    default: return -1;
  }
}

int double_click_time() { return setting("gtk-double-click-time", 400); }

void pump_input() {
  // Bounded: a busy frame clock must not keep the program from its queue.
  for (int i = 0; i < 64 && g_main_context_pending(nullptr); ++i) g_main_context_iteration(nullptr, FALSE);
}

gboolean time_is_up(gpointer flag) {
  *static_cast<bool*>(flag) = true;
  return G_SOURCE_REMOVE;
}

// GTK's loop runs (drawing, dialogs of the window manager, timers) until
// something has become a native message or the time is up.
bool wait_input(std::uint32_t timeout_ms) {
  State& s = state();
  s.input_arrived = false;
  bool timed_out = false;
  guint timer = timeout_ms == INFINITE ? 0 : g_timeout_add(timeout_ms, time_is_up, &timed_out);
  while (!s.input_arrived && !timed_out) g_main_context_iteration(nullptr, TRUE);
  if (timer && !timed_out) g_source_remove(timer);
  return s.input_arrived;
}

// The clock GLib's timeouts run on, so a wait's timeout and the time the
// core sees pass agree.
std::uint64_t clock_ms() { return static_cast<std::uint64_t>(g_get_monotonic_time() / 1000); }

void window_destroyed(Window* window) { destroy_top_level(window); }

void window_shown(Window* window, bool visible) {
  if (!get_parent(window)) {
    show_top_level(window, visible);
    if (visible) refresh_pointer();
  } else {
    redraw(window, get_client_rect(window));
  }
}

void window_placed(Window* window) {
  if (TopLevel* top = find_top_level(window)) {
    sync_placement(*top);
  } else if (get_parent(window)) {
    redraw(get_ancestor_root(window), get_client_rect(get_ancestor_root(window)));
  }
}

void window_text_changed(Window* window) {
  if (TopLevel* top = find_top_level(window)) sync_title(*top);
}

void window_activated(Window* window) {
  TopLevel* top = window ? find_top_level(window) : nullptr;
  if (top && top->shown && !gtk_window_is_active(GTK_WINDOW(top->gtk_window)))
    gtk_window_present(GTK_WINDOW(top->gtk_window));
}

void menu_changed(Window* window) {
  // Attaching or removing a bar also changes the client area's height.
  if (TopLevel* top = window ? find_top_level(window) : nullptr) {
    sync_menu_bar(*top);
    sync_placement(*top);
  }
}

void surface_changed(Window* window, const Rect& rect) { redraw(window, rect); }

void capture_changed(Window* window) { grab_for_capture(window); }

const Backend table = [] {
  Backend b;
  b.name = "gtk";
  b.system_metric = &metric;
  b.double_click_time_ms = &double_click_time;
  b.pump_input = &pump_input;
  b.wait_input = &wait_input;
  b.clock_ms = &clock_ms;
  b.key_down_anywhere = &key_down_on_display;
  b.window_destroyed = &window_destroyed;
  b.window_shown = &window_shown;
  b.window_placed = &window_placed;
  b.window_text_changed = &window_text_changed;
  b.window_activated = &window_activated;
  b.menu_changed = &menu_changed;
  b.surface_changed = &surface_changed;
  b.cursor_changed = &show_cursor;
  b.capture_changed = &capture_changed;
  b.cursor_clip_changed = &confine_pointer;
  b.file_dialog = &run_file_dialog;
  b.message_box = &run_message_box;
  return b;
}();

}  // namespace

State& state() {
  static State s;
  return s;
}

TopLevel* find_top_level(Window* window) {
  auto& tops = state().top_levels;
  auto it = tops.find(window);
  return it == tops.end() ? nullptr : it->second.get();
}

TopLevel* top_level_of(Window* window) {
  return is_window(window) ? find_top_level(get_ancestor_root(window)) : nullptr;
}

TopLevel* top_level_of_widget(GtkWidget* widget) {
  auto* window = static_cast<Window*>(g_object_get_data(G_OBJECT(widget), "tesselon-window"));
  return window ? find_top_level(window) : nullptr;
}

TopLevel* active_top_level() {
  for (auto& [window, top] : state().top_levels)
    if (top->shown && gtk_window_is_active(GTK_WINDOW(top->gtk_window))) return top.get();
  return nullptr;
}

Point real_screen_offset(const TopLevel& top) {
  Point core{0, 0};
  client_to_screen(top.window, core);
  int x = core.x, y = core.y;
  if (GdkWindow* area = gtk_widget_get_window(top.client)) gdk_window_get_origin(area, &x, &y);
  Point canvas = canvas_offset(top);
  return {x + canvas.x - core.x, y + canvas.y - core.y};
}

Point screen_point(const TopLevel& top, double x, double y) {
  Point canvas = canvas_offset(top);
  // Floor, not truncation: the border left of a centred canvas is outside it.
  Point p{static_cast<int>(std::floor(x)) - canvas.x, static_cast<int>(std::floor(y)) - canvas.y};
  client_to_screen(top.window, p);
  return p;
}

bool install(int* argc, char*** argv, const char* program_name) {
  // Placement, keep-above, grabs and confinement are X11's; under Wayland
  // the program runs through its X server.
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(argc, argv)) return false;
  // The window manager's class and the icon theme's picture for the program.
  g_set_prgname(program_name);
  gtk_window_set_default_icon_name(program_name);
  State& s = state();
  s.menu_height = measure_menu_bar_height();
  const char* report = std::getenv("TESSELON_REPORT_FIRST_DRAW");
  s.report_first_draw = report && *report && *report != '0';
  init(&table);
  return true;
}

void uninstall() {
  shutdown();
  state().top_levels.clear();
  while (g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
}

}  // namespace native::gtk
