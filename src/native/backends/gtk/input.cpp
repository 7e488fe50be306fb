// Turning GTK events into the core's input messages.
#include "native/backends/gtk/input.h"

#include "native/backends/gtk/key_map.h"
#include "native/windowing/input_events.h"
#include "native/windowing/input_state.h"
#include "native/windowing/message_queue.h"

namespace native::gtk {
namespace {

// Every handler returns TRUE: the core, not GTK, decides what a key does,
// so F10, Alt+letter and GTK's own shortcuts never fire behind its back.
gboolean on_key(GtkWidget*, GdkEventKey* event, gpointer) {
  std::uint8_t key = virtual_key_for(*event);
  if (key) {
    input_key(key, event->type == GDK_KEY_PRESS);
    note_input();
  }
  return TRUE;
}

// The pointer moved over the window. Over the core's client area that is
// WM_MOUSEMOVE; anywhere else on the window (the menu bar, the border round
// a canvas the window manager made larger) it is the frame's, and the
// native system says so with WM_NCMOUSEMOVE. Either message reaching the
// wait is an event, so a held Escape counts wherever the pointer moves.
void pointer_moved(TopLevel& top, Point screen, std::uint16_t hit) {
  input_mouse_move(screen);
  if (!get_capture() && !window_under_pointer() && is_window_enabled(top.window))
    post_input_message(top.window, WM_NCMOUSEMOVE, hit, make_lparam(screen.x, screen.y));
  note_input();
}

gboolean on_motion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  auto* top = static_cast<TopLevel*>(data);
  pointer_moved(*top, screen_point(*top, event->x, event->y), HTBORDER);
  return TRUE;
}

// Motion over the rest of the window, which is the menu bar: GTK passes it
// up from whichever of the bar's windows the pointer is over, in that
// window's coordinates.
gboolean on_frame_motion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
  auto* top = static_cast<TopLevel*>(data);
  GdkWindow* outer = gtk_widget_get_window(widget);
  double x = event->x, y = event->y;
  GdkWindow* from = event->window;
  for (; from && from != outer; from = gdk_window_get_parent(from)) gdk_window_coords_to_parent(from, x, y, &x, &y);
  if (!from) return TRUE;
  GtkAllocation bar{}, area{};
  if (top->menu_bar) gtk_widget_get_allocation(top->menu_bar, &bar);
  gtk_widget_get_allocation(top->client, &area);
  bool on_bar = top->menu_bar && y >= bar.y && y < bar.y + bar.height;
  pointer_moved(*top, screen_point(*top, x - area.x, y - area.y), on_bar ? HTMENU : HTBORDER);
  return TRUE;
}

bool button_of(guint number, MouseButton& out) {
  switch (number) {
    case 1: out = MouseButton::left; return true;
    case 2: out = MouseButton::middle; return true;
    case 3: out = MouseButton::right; return true;
    default: return false;
  }
}

gboolean on_button(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  // The core makes double clicks from the presses themselves; GDK's extra
  // 2BUTTON/3BUTTON events would count twice.
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) return TRUE;
  MouseButton button;
  if (!button_of(event->button, button)) return TRUE;
  if (event->type == GDK_BUTTON_PRESS) gtk_widget_grab_focus(widget);
  input_mouse_button(button, event->type == GDK_BUTTON_PRESS,
                     screen_point(*static_cast<TopLevel*>(data), event->x, event->y));
  note_input();
  return TRUE;
}

gboolean on_scroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  constexpr int kNotch = 120;
  int delta = 0;
  if (event->direction == GDK_SCROLL_UP) delta = kNotch;
  if (event->direction == GDK_SCROLL_DOWN) delta = -kNotch;
  if (event->direction == GDK_SCROLL_SMOOTH) delta = static_cast<int>(-event->delta_y * kNotch);
  if (delta == 0) return TRUE;
  input_mouse_move(screen_point(*static_cast<TopLevel*>(data), event->x, event->y));
  input_wheel(delta);
  note_input();
  return TRUE;
}

// Entering and leaving are pointer moves: the core works out which of its
// windows the pointer left from where it now is.
gboolean on_crossing(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  input_mouse_move(screen_point(*static_cast<TopLevel*>(data), event->x, event->y));
  note_input();
  return TRUE;
}

void on_active_changed(GObject*, GParamSpec*, gpointer data) {
  auto* top = static_cast<TopLevel*>(data);
  if (gtk_window_is_active(GTK_WINDOW(top->gtk_window))) {
    if (get_active_window() != top->window) set_active_window(top->window);
    gtk_widget_grab_focus(top->client);
  } else {
    release_held_keys();
    // Our own dialogs take the focus without another program becoming active.
    if (state().modal_depth == 0 && !active_top_level()) other_program_activated();
  }
  note_input();
}

gboolean on_window_state(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  auto* top = static_cast<TopLevel*>(data);
  if (!(event->changed_mask & GDK_WINDOW_STATE_ICONIFIED)) return FALSE;
  bool iconified = event->new_window_state & GDK_WINDOW_STATE_ICONIFIED;
  top->iconified = iconified;
  if (iconified == is_iconic(top->window)) return FALSE;
  // As the native system does for the user's minimise and restore.
  if (post_message(top->window, WM_SYSCOMMAND, iconified ? SC_MINIMIZE : SC_RESTORE, 0)) note_input();
  return FALSE;
}

gboolean on_delete(GtkWidget*, GdkEvent*, gpointer data) {
  auto* top = static_cast<TopLevel*>(data);
  Point p = get_cursor_pos();
  if (post_message(top->window, WM_SYSCOMMAND, SC_CLOSE, make_lparam(p.x, p.y))) note_input();
  return TRUE;  // the program decides whether the window goes
}

}  // namespace

void release_held_keys() {
  for (int key = 1; key < 255; ++key) {
    if (key == VK_LBUTTON || key == VK_RBUTTON || key == VK_MBUTTON) continue;
    if (key == VK_LSHIFT || key == VK_RSHIFT || key == VK_LCONTROL || key == VK_RCONTROL || key == VK_LMENU ||
        key == VK_RMENU)
      continue;  // they follow Shift, Control and Alt
    if (reported_key_down(static_cast<std::uint8_t>(key))) {
      input_key(static_cast<std::uint8_t>(key), false);
      note_input();
    }
  }
}

void connect_input(TopLevel& top) {
  gtk_widget_add_events(top.client, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                        GDK_SCROLL_MASK | GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK |
                                        GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK);
  gtk_widget_add_events(top.gtk_window, GDK_POINTER_MOTION_MASK);
  g_signal_connect(top.gtk_window, "motion-notify-event", G_CALLBACK(on_frame_motion), &top);
  g_signal_connect(top.gtk_window, "key-press-event", G_CALLBACK(on_key), &top);
  g_signal_connect(top.gtk_window, "key-release-event", G_CALLBACK(on_key), &top);
  g_signal_connect(top.gtk_window, "notify::is-active", G_CALLBACK(on_active_changed), &top);
  g_signal_connect(top.gtk_window, "window-state-event", G_CALLBACK(on_window_state), &top);
  g_signal_connect(top.gtk_window, "delete-event", G_CALLBACK(on_delete), &top);
  g_signal_connect(top.client, "motion-notify-event", G_CALLBACK(on_motion), &top);
  g_signal_connect(top.client, "button-press-event", G_CALLBACK(on_button), &top);
  g_signal_connect(top.client, "button-release-event", G_CALLBACK(on_button), &top);
  g_signal_connect(top.client, "scroll-event", G_CALLBACK(on_scroll), &top);
  g_signal_connect(top.client, "enter-notify-event", G_CALLBACK(on_crossing), &top);
  g_signal_connect(top.client, "leave-notify-event", G_CALLBACK(on_crossing), &top);
}

}  // namespace native::gtk
