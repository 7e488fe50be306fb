// Rectangles, frame arithmetic, coordinates, metrics, placement and Z order.
#include "native/windowing/backend.h"
#include "native/windowing/menu.h"
#include "native/windowing/paint.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>

namespace native {
namespace detail {

Rect frame_insets(std::uint32_t style, std::uint32_t ex_style, bool has_menu) {
  int fx = 0, fy = 0;
  if (style & WS_THICKFRAME) {
    fx = get_system_metrics(SM_CXFRAME);
    fy = get_system_metrics(SM_CYFRAME);
  } else if ((ex_style & WS_EX_DLGMODALFRAME) || (style & WS_DLGFRAME)) {
    fx = get_system_metrics(SM_CXFIXEDFRAME);
    fy = get_system_metrics(SM_CYFIXEDFRAME);
  } else if ((style & WS_BORDER) || !(style & (WS_CHILD | WS_POPUP))) {
    fx = get_system_metrics(SM_CXBORDER);
    fy = get_system_metrics(SM_CYBORDER);
  }
  Rect r{fx, fy, fx, fy};
  if ((style & WS_CAPTION) == WS_CAPTION)
    r.top += get_system_metrics(ex_style & WS_EX_TOOLWINDOW ? SM_CYSMCAPTION : SM_CYCAPTION);
  if (has_menu) r.top += get_system_metrics(SM_CYMENU);
  if (ex_style & WS_EX_CLIENTEDGE) {
    r.left += get_system_metrics(SM_CXEDGE);
    r.right += get_system_metrics(SM_CXEDGE);
    r.top += get_system_metrics(SM_CYEDGE);
    r.bottom += get_system_metrics(SM_CYEDGE);
  }
  return r;
}

bool window_has_menu_bar(const WindowData& w) { return !w.parent && w.menu && is_menu(w.menu); }

Rect client_area(const WindowData& w) {
  int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
  if (w.style & WS_MINIMIZE) return {0, 0, 0, 0};
  Rect in = frame_insets(w.style, w.ex_style, window_has_menu_bar(w));
  int left = std::min(in.left, width), top = std::min(in.top, height);
  return {left, top, std::max(left, width - in.right), std::max(top, height - in.bottom)};
}

Point client_origin_on_screen(const WindowData& w) {
  Rect c = client_area(w);
  Point p{w.rect.left + c.left, w.rect.top + c.top};
  for (const WindowData* a = w.parent; a; a = a->parent) {
    Rect ac = client_area(*a);
    p.x += a->rect.left + ac.left;
    p.y += a->rect.top + ac.top;
  }
  return p;
}

namespace {

// The client origin in the coordinates WM_MOVE reports (parent client for
// children, screen for top level).
Point move_origin(const WindowData& w) {
  Rect c = client_area(w);
  return {w.rect.left + c.left, w.rect.top + c.top};
}

}  // namespace

void send_size(WindowData& w) {
  Rect c = client_area(w);
  std::uintptr_t kind = w.style & WS_MINIMIZE ? SIZE_MINIMIZED : w.style & WS_MAXIMIZE ? SIZE_MAXIMIZED : SIZE_RESTORED;
  send_message(w.handle, WM_SIZE, kind, make_lparam(c.right - c.left, c.bottom - c.top));
}

void send_move(WindowData& w) {
  Point p = move_origin(w);
  send_message(w.handle, WM_MOVE, 0, make_lparam(p.x, p.y));
}

void place_in_z_order(WindowData& w, Window* after) {
  auto& list = w.parent ? w.parent->children : windowing().top_level;
  list.erase(std::remove(list.begin(), list.end(), &w), list.end());
  bool top_level = !w.parent;
  if (top_level && after == HWND_TOPMOST) w.ex_style |= WS_EX_TOPMOST;
  if (top_level && (after == HWND_NOTOPMOST || after == HWND_BOTTOM)) w.ex_style &= ~WS_EX_TOPMOST;
  auto band_end = std::find_if(list.begin(), list.end(), [](WindowData* o) { return !(o->ex_style & WS_EX_TOPMOST); });
  bool topmost = w.ex_style & WS_EX_TOPMOST;
  auto position = topmost ? list.begin() : band_end;  // HWND_TOP, HWND_TOPMOST, HWND_NOTOPMOST
  if (after == HWND_BOTTOM) {
    position = list.end();
  } else if (WindowData* other = find(after); other && after != HWND_TOPMOST && after != HWND_NOTOPMOST) {
    auto it = std::find(list.begin(), list.end(), other);
    if (it != list.end()) position = it + 1;
    // Stay inside the window's own band.
    if (top_level && topmost && position > band_end) position = band_end;
    if (top_level && !topmost && position < band_end) position = band_end;
  }
  list.insert(position, &w);
}

}  // namespace detail

using detail::find;
using detail::WindowData;
using detail::windowing;

Rect get_window_rect(Window* window) {
  WindowData* w = find(window);
  if (!w) return {};
  Rect r = w->rect;
  if (w->parent) {
    Point o = detail::client_origin_on_screen(*w->parent);
    r = {r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
  }
  return r;
}

Rect get_client_rect(Window* window) {
  WindowData* w = find(window);
  if (!w) return {};
  Rect c = detail::client_area(*w);
  return {0, 0, c.right - c.left, c.bottom - c.top};
}

bool adjust_window_rect_ex(Rect& rect, std::uint32_t style, bool has_menu, std::uint32_t ex_style) {
  Rect in = detail::frame_insets(style, ex_style, has_menu);
  rect = {rect.left - in.left, rect.top - in.top, rect.right + in.right, rect.bottom + in.bottom};
  return true;
}

bool screen_to_client(Window* window, Point& point) {
  WindowData* w = find(window);
  if (!w) return false;
  Point o = detail::client_origin_on_screen(*w);
  point = {point.x - o.x, point.y - o.y};
  return true;
}

bool client_to_screen(Window* window, Point& point) {
  WindowData* w = find(window);
  if (!w) return false;
  Point o = detail::client_origin_on_screen(*w);
  point = {point.x + o.x, point.y + o.y};
  return true;
}

int map_window_points(Window* from, Window* to, Point* points, unsigned count) {
  WindowData* f = find(from);
  WindowData* t = find(to);
  if ((from && !f) || (to && !t) || (!points && count)) return 0;
  Point a = f ? detail::client_origin_on_screen(*f) : Point{};
  Point b = t ? detail::client_origin_on_screen(*t) : Point{};
  int dx = a.x - b.x, dy = a.y - b.y;
  for (unsigned i = 0; i < count; ++i) points[i] = {points[i].x + dx, points[i].y + dy};
  return static_cast<int>(static_cast<std::uint16_t>(dx) | static_cast<std::uint32_t>(static_cast<std::uint16_t>(dy))
                                                               << 16);
}

namespace {

bool inside(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

Window* deepest_child(WindowData& w, Point screen) {
  Point o = detail::client_origin_on_screen(w);
  Point local{screen.x - o.x, screen.y - o.y};
  for (WindowData* c : w.children) {
    if (!(c->style & WS_VISIBLE) || (c->style & WS_DISABLED) || !inside(c->rect, local)) continue;
    Rect cc = detail::client_area(*c);
    Point in_child{local.x - c->rect.left, local.y - c->rect.top};
    return inside(cc, in_child) ? deepest_child(*c, screen) : c->handle;
  }
  return w.handle;
}

}  // namespace

Window* window_from_point(Point screen) {
  for (WindowData* w : windowing().top_level) {
    if (!(w->style & WS_VISIBLE) || (w->style & WS_MINIMIZE) || !inside(w->rect, screen)) continue;
    return deepest_child(*w, screen);
  }
  return nullptr;
}

int get_system_metrics(int index) {
  int answer = windowing().backend.system_metric(index);
  if (answer >= 0) return answer;
  switch (index) {
    case SM_CXSCREEN: return 1024;
    case SM_CYSCREEN: return 768;
    case SM_CYCAPTION: return 23;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return 3;
    case SM_CYMENU: return 20;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CYSMCAPTION: return 17;
    case SM_CXMAXIMIZED: return get_system_metrics(SM_CXSCREEN) + 2 * get_system_metrics(SM_CXFRAME);
    case SM_CYMAXIMIZED: return get_system_metrics(SM_CYSCREEN) + 2 * get_system_metrics(SM_CYFRAME);
    default: return 0;
  }
}

bool set_window_pos(Window* window, Window* insert_after, int x, int y, int width, int height, std::uint32_t flags) {
  WindowData* w = find(window);
  if (!w) return false;
  if (flags & SWP_HIDEWINDOW) show_window(window, SW_HIDE);
  if (!(w = find(window))) return true;
  Rect old_client = detail::client_area(*w);
  Point old_origin = detail::client_origin_on_screen(*w);
  Rect r = w->rect;
  if (!(flags & SWP_NOMOVE)) r = {x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
  if (!(flags & SWP_NOSIZE)) r = {r.left, r.top, r.left + std::max(width, 0), r.top + std::max(height, 0)};
  w->rect = r;
  if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->normal_rect = r;
  if (!(flags & SWP_NOZORDER)) detail::place_in_z_order(*w, insert_after);
  Rect client = detail::client_area(*w);
  bool sized = client.right - client.left != old_client.right - old_client.left ||
               client.bottom - client.top != old_client.bottom - old_client.top;
  bool moved = !(detail::client_origin_on_screen(*w) == old_origin);
  windowing().backend.window_placed(window);
  if (sized) {
    detail::fit_surface(*w);
    invalidate_rect(window, nullptr, true);
  }
  // A placement reports the move before the size, as the native default
  // handling of a position change does (creation is the other way round).
  if (moved) detail::send_move(*w);
  if (sized && (w = find(window))) detail::send_size(*w);
  if ((flags & SWP_SHOWWINDOW) && find(window)) show_window(window, flags & SWP_NOACTIVATE ? SW_SHOWNA : SW_SHOW);
  if (!(flags & SWP_NOACTIVATE) && (w = find(window)) && !w->parent && (w->style & WS_VISIBLE))
    detail::activate(window, WA_ACTIVE);
  return true;
}

bool move_window(Window* window, int x, int y, int width, int height, bool repaint) {
  if (!set_window_pos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE)) return false;
  if (repaint) invalidate_rect(window, nullptr, true);
  return true;
}

}  // namespace native
