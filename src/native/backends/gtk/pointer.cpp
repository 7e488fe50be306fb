// Cursor shapes, capture and confinement on X11.
#include "native/backends/gtk/pointer.h"

#include "native/backends/gtk/gtk_state.h"
#include "native/windowing/input_state.h"
#include "native/windowing/window.h"

#include <gdk/gdkx.h>

namespace native::gtk {
namespace {

struct PointerState {
  int cursor_id = IDC_ARROW;
  bool hidden = false;
  Window* capture = nullptr;
  GdkWindow* fence = nullptr;  // input-only window the pointer is kept inside
};

PointerState& pointer() {
  static PointerState p;
  return p;
}

const char* cursor_name(int id) {
  switch (id) {
    case IDC_IBEAM: return "text";
    case IDC_WAIT: return "wait";
    case IDC_CROSS: return "crosshair";
    case IDC_SIZENWSE: return "nwse-resize";
    case IDC_SIZENESW: return "nesw-resize";
    case IDC_SIZEWE: return "ew-resize";
    case IDC_SIZENS: return "ns-resize";
    case IDC_SIZEALL: return "move";
    case IDC_NO: return "not-allowed";
    case IDC_HAND: return "pointer";
    case IDC_APPSTARTING: return "progress";
    default: return "default";
  }
}

void apply_cursor() {
  PointerState& p = pointer();
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return;
  GdkCursor* cursor = p.hidden ? gdk_cursor_new_for_display(display, GDK_BLANK_CURSOR)
                               : gdk_cursor_new_from_name(display, cursor_name(p.cursor_id));
  for (auto& [window, top] : state().top_levels)
    if (GdkWindow* area = gtk_widget_get_window(top->client)) gdk_window_set_cursor(area, cursor);
  if (cursor) g_object_unref(cursor);
}

void drop_fence() {
  PointerState& p = pointer();
  if (p.fence) gdk_window_destroy(p.fence);
  p.fence = nullptr;
}

// The top-level a grab belongs to: the capture's, else the active one.
TopLevel* grab_owner() {
  PointerState& p = pointer();
  return p.capture ? top_level_of(p.capture) : active_top_level();
}

// X confines a grab to a window, so the rectangle gets an input-only window
// of its own on the root window.
GdkWindow* make_fence(const Rect& rect) {
  GdkWindowAttr attributes{};
  attributes.x = rect.left;
  attributes.y = rect.top;
  attributes.width = rect.right - rect.left;
  attributes.height = rect.bottom - rect.top;
  attributes.wclass = GDK_INPUT_ONLY;
  attributes.window_type = GDK_WINDOW_TEMP;
  attributes.override_redirect = TRUE;
  if (attributes.width <= 0 || attributes.height <= 0) return nullptr;
  GdkWindow* fence = gdk_window_new(nullptr, &attributes, GDK_WA_X | GDK_WA_Y | GDK_WA_NOREDIR);
  gdk_window_show(fence);
  gdk_window_lower(fence);
  return fence;
}

// One grab serves both: capture sends the pointer to our windows wherever
// it is, confinement keeps it inside the fence.
void apply_grab() {
  PointerState& p = pointer();
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) return;
  Display* x = gdk_x11_display_get_xdisplay(display);
  TopLevel* top = grab_owner();
  GdkWindow* owner = top ? gtk_widget_get_window(top->gtk_window) : nullptr;
  if (!owner || (!p.capture && !p.fence)) {
    XUngrabPointer(x, CurrentTime);
    XFlush(x);
    return;
  }
  unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
  XGrabPointer(x, gdk_x11_window_get_xid(owner), True, mask, GrabModeAsync, GrabModeAsync,
               p.fence ? gdk_x11_window_get_xid(p.fence) : None, None, CurrentTime);
  XFlush(x);
}

}  // namespace

void show_cursor(Cursor* cursor) {
  PointerState& p = pointer();
  p.hidden = cursor == nullptr;
  if (cursor) p.cursor_id = cursor_id(cursor);
  apply_cursor();
}

void grab_for_capture(Window* window) {
  pointer().capture = window;
  apply_grab();
}

void confine_pointer(const Rect* rect) {
  PointerState& p = pointer();
  drop_fence();
  if (rect) {
    // The whole screen is no confinement at all.
    Rect screen{0, 0, get_system_metrics(SM_CXSCREEN), get_system_metrics(SM_CYSCREEN)};
    bool whole = rect->left <= screen.left && rect->top <= screen.top && rect->right >= screen.right &&
                 rect->bottom >= screen.bottom;
    TopLevel* top = grab_owner();
    if (!whole) {
      // The core's screen and the real one differ by the window manager's frame.
      Point shift = top ? real_screen_offset(*top) : Point{0, 0};
      p.fence = make_fence({rect->left + shift.x, rect->top + shift.y, rect->right + shift.x, rect->bottom + shift.y});
    }
  }
  apply_grab();
}

void refresh_pointer() {
  apply_cursor();
  if (pointer().capture || pointer().fence) apply_grab();
}

}  // namespace native::gtk
