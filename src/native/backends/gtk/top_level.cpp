// GTK windows for the core's top-level windows.
#include "native/backends/gtk/top_level.h"

#include "native/backends/gtk/canvas_placement.h"
#include "native/backends/gtk/drop.h"
#include "native/backends/gtk/input.h"
#include "native/backends/gtk/menu_bar.h"
#include "native/graphics/bitmap.h"
#include "native/graphics/gdi_object.h"
#include "native/system/text.h"
#include "native/windowing/menu.h"
#include "native/windowing/paint.h"

#include <cstdio>
#include <ctime>

namespace native::gtk {
namespace {

void report_first_draw() {
  State& s = state();
  if (!s.report_first_draw) return;
  s.report_first_draw = false;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(stderr, "first-draw %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}

// The client area is the core's surfaces composed, shown 1:1 on black
// where the window is larger than the canvas.
gboolean on_draw(GtkWidget*, cairo_t* cr, gpointer data) {
  auto* top = static_cast<TopLevel*>(data);
  Bitmap* picture = compose_client(top->window);
  if (!picture) return FALSE;
  Point at = canvas_offset(*top);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, picture->width);
  if (picture->bits && static_cast<std::size_t>(stride) == picture->stride) {
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(picture->bits, CAIRO_FORMAT_RGB24, picture->width, picture->height, stride);
    cairo_set_source_surface(cr, surface, at.x, at.y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_surface_destroy(surface);
  }
  delete_object(picture);
  report_first_draw();
  return TRUE;
}

// The size the X server gives the window. Only its own configure events
// say it: a window manager's synthetic ones may carry the size it has in
// mind (its fullscreen size, after another program resized the window
// back), which GTK takes for the window's.
void note_real_size(TopLevel& top, const GdkEventConfigure& event) {
  if (event.send_event || (event.width == top.shown_width && event.height == top.shown_height)) return;
  top.shown_width = event.width;
  top.shown_height = event.height;
  gtk_widget_queue_draw(top.client);  // the canvas may sit elsewhere now
}

// The user or the window manager moved the window: the core follows
// without moving it back.
gboolean on_configure(GtkWidget* widget, GdkEventConfigure* event, gpointer data) {
  auto* top = static_cast<TopLevel*>(data);
  note_real_size(*top, *event);
  if (!top->shown || is_iconic(top->window)) return FALSE;
  int x = 0, y = 0;
  gtk_window_get_position(GTK_WINDOW(widget), &x, &y);
  Rect outer = get_window_rect(top->window);
  if (x == outer.left && y == outer.top) return FALSE;
  top->following = true;
  set_window_pos(top->window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (TopLevel* still = find_top_level(top->window)) still->following = false;
  note_input();
  return FALSE;
}

TopLevel& make_top_level(Window* window) {
  auto top = std::make_unique<TopLevel>();
  top->window = window;
  top->gtk_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_resizable(GTK_WINDOW(top->gtk_window), FALSE);
  top->box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(top->gtk_window), top->box);
  top->client = gtk_drawing_area_new();
  gtk_widget_set_can_focus(top->client, TRUE);
  // The whole window below the bar, however large the window manager
  // makes it, so that the canvas, the pointer and drops are never lost.
  gtk_box_pack_end(GTK_BOX(top->box), top->client, TRUE, TRUE, 0);
  g_object_set_data(G_OBJECT(top->gtk_window), "tesselon-window", window);
  g_object_set_data(G_OBJECT(top->client), "tesselon-window", window);
  g_signal_connect(top->client, "draw", G_CALLBACK(on_draw), top.get());
  g_signal_connect(top->gtk_window, "configure-event", G_CALLBACK(on_configure), top.get());
  connect_input(*top);
  enable_drops(*top);
  TopLevel& made = *top;
  state().top_levels[window] = std::move(top);
  sync_title(made);
  sync_menu_bar(made);
  sync_placement(made);
  return made;
}

}  // namespace

void sync_title(TopLevel& top) {
  gtk_window_set_title(GTK_WINDOW(top.gtk_window), to_display_utf8(get_window_text(top.window)).c_str());
}

void sync_placement(TopLevel& top) {
  Rect outer = get_window_rect(top.window);
  Rect client = get_client_rect(top.window);
  if (!is_iconic(top.window)) gtk_widget_set_size_request(top.client, client.right, client.bottom);
  // A fixed-size window keeps its corner when it changes size, so it is
  // placed again every time the core places it.
  if (!top.following) gtk_window_move(GTK_WINDOW(top.gtk_window), outer.left, outer.top);
  bool above = get_window_long(top.window, GWL_EXSTYLE) & WS_EX_TOPMOST;
  if (above != top.keep_above) {
    top.keep_above = above;
    gtk_window_set_keep_above(GTK_WINDOW(top.gtk_window), above);
  }
  bool iconic = is_iconic(top.window);
  if (top.shown && iconic != top.iconified) {
    top.iconified = iconic;
    if (iconic)
      gtk_window_iconify(GTK_WINDOW(top.gtk_window));
    else
      gtk_window_deiconify(GTK_WINDOW(top.gtk_window));
  }
}

void show_top_level(Window* window, bool visible) {
  TopLevel* top = find_top_level(window);
  if (!visible) {
    if (top && top->shown) gtk_widget_hide(top->gtk_window);
    if (top) top->shown = false;
    return;
  }
  if (!top) top = &make_top_level(window);
  sync_placement(*top);
  gtk_widget_show_all(top->gtk_window);
  top->shown = true;
}

void destroy_top_level(Window* window) {
  State& s = state();
  auto it = s.top_levels.find(window);
  if (it == s.top_levels.end()) return;
  // Signal handlers hold the record: cut them before it goes.
  g_signal_handlers_disconnect_matched(it->second->client, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr,
                                       it->second.get());
  g_signal_handlers_disconnect_matched(it->second->gtk_window, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr,
                                       it->second.get());
  gtk_widget_destroy(it->second->gtk_window);
  s.top_levels.erase(it);
}

void redraw(Window* window, const Rect& rect) {
  TopLevel* top = top_level_of(window);
  if (!top || !top->shown) return;
  Point corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  if (window != top->window) map_window_points(window, top->window, corners, 2);
  Point at = canvas_offset(*top);
  gtk_widget_queue_draw_area(top->client, corners[0].x + at.x, corners[0].y + at.y, corners[1].x - corners[0].x,
                             corners[1].y - corners[0].y);
}

}  // namespace native::gtk
