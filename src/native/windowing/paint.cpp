// Update rectangles, the paint cycle, window device contexts and surfaces.
#include "native/windowing/paint.h"

#include "native/graphics/bitmap.h"
#include "native/graphics/gdi_object.h"
#include "native/windowing/backend.h"
#include "native/windowing/windowing_state.h"

#include <algorithm>
#include <cstring>

namespace native {
namespace detail {
namespace {

bool empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

Rect intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Rect unite(const Rect& a, const Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

Rect client_of(const WindowData& w) {
  Rect c = client_area(w);
  return {0, 0, c.right - c.left, c.bottom - c.top};
}

// Marks `rect` (client coordinates) invalid; children that overlap it are
// included unless the window clips them or `all_children` says otherwise.
void invalidate(WindowData& w, const Rect& rect, bool erase, bool all_children) {
  Rect r = intersect(rect, client_of(w));
  if (empty(r)) return;
  w.update = w.invalid ? unite(w.update, r) : r;
  w.invalid = true;
  if (erase) w.erase_pending = true;
  if (!all_children && (w.style & WS_CLIPCHILDREN)) return;
  for (WindowData* c : w.children) {
    if (!(c->style & WS_VISIBLE)) continue;
    Rect cc = client_area(*c);
    int dx = c->rect.left + cc.left, dy = c->rect.top + cc.top;
    invalidate(*c, {r.left - dx, r.top - dy, r.right - dx, r.bottom - dy}, erase, all_children);
  }
}

void update(WindowData& w) {
  Window* handle = w.handle;
  if (!(w.style & WS_VISIBLE)) return;
  if (w.invalid) send_message(handle, WM_PAINT, 0, 0);
  std::vector<Window*> children;
  if (WindowData* again = find(handle))
    for (WindowData* c : again->children) children.push_back(c->handle);
  for (Window* c : children)
    if (WindowData* child = find(c)) update(*child);
}

}  // namespace

void fit_surface(WindowData& w) {
  Rect c = client_of(w);
  int width = std::max(c.right, 1), height = std::max(c.bottom, 1);
  if (w.style & WS_MINIMIZE) return;  // keep the picture for the restore
  Bitmap* old = w.surface;
  if (old && old->width == width && old->height == height) return;
  Bitmap* fresh = create_dib_section(width, -height, 32);
  if (!fresh) return;      // keep showing the old pixels
  fresh->is_stock = true;  // nobody but the core may delete a surface
  if (old) {
    int rows = std::min(old->height, height);
    std::size_t bytes = static_cast<std::size_t>(std::min(old->width, width)) * 4;
    for (int y = 0; y < rows; ++y) std::memcpy(row_address(*fresh, y), row_address(*old, y), bytes);
  }
  for (DeviceContext* dc : w.dcs)
    if (dc->bitmap == old) dc->bitmap = fresh;
  w.surface = fresh;
  if (old) {
    old->is_stock = false;
    delete_object(old);
  }
}

void drop_surface(WindowData& w) {
  // Contexts still handed out die with the window; later calls on them fail
  // safely because the graphics layer validates every handle.
  for (DeviceContext* dc : w.dcs) {
    dc->bitmap = stock_bitmap();
    delete_dc(dc);
  }
  w.dcs.clear();
  if (w.surface) {
    w.surface->is_stock = false;
    delete_object(w.surface);
    w.surface = nullptr;
  }
}

bool erase_background(WindowData& w, DeviceContext* dc) {
  std::uint32_t colour;
  if (!background_colour(w.window_class->background, colour)) return false;
  Brush* brush = create_solid_brush(colour);
  if (!brush) return false;
  fill_rect(dc, client_of(w), brush);
  delete_object(brush);
  return true;
}

namespace {

// Draws a child's surface and, over it, its own children, bottom first.
void compose(Bitmap& out, const WindowData& w, int x, int y, Rect clip) {
  Rect c = client_of(w);
  clip = intersect(clip, {x, y, x + c.right, y + c.bottom});
  if (!w.surface || empty(clip)) return;
  for (int row = clip.top; row < clip.bottom; ++row)
    std::memcpy(row_address(out, row) + static_cast<std::size_t>(clip.left) * 4,
                row_address(*w.surface, row - y) + static_cast<std::size_t>(clip.left - x) * 4,
                static_cast<std::size_t>(clip.right - clip.left) * 4);
  for (auto it = w.children.rbegin(); it != w.children.rend(); ++it) {
    const WindowData& child = **it;
    if (!(child.style & WS_VISIBLE)) continue;
    Rect cc = client_area(child);
    compose(out, child, x + child.rect.left + cc.left, y + child.rect.top + cc.top, clip);
  }
}

}  // namespace
}  // namespace detail

using detail::find;
using detail::WindowData;

bool invalidate_rect(Window* window, const Rect* rect, bool erase) {
  WindowData* w = find(window);
  if (!w) return false;
  detail::invalidate(*w, rect ? *rect : detail::client_of(*w), erase, false);
  return true;
}

bool validate_rect(Window* window, const Rect* rect) {
  WindowData* w = find(window);
  if (!w) return false;
  // The invalid part is one rectangle: it goes only when wholly covered.
  if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top && rect->right >= w->update.right &&
                rect->bottom >= w->update.bottom)) {
    w->invalid = false;
    w->erase_pending = false;
    w->update = {};
  }
  return true;
}

bool get_update_rect(Window* window, Rect* out, bool) {
  WindowData* w = find(window);
  if (!w) return false;
  if (out) *out = w->invalid ? w->update : Rect{};
  return w->invalid;
}

bool redraw_window(Window* window, const Rect* rect, std::uint32_t flags) {
  WindowData* w = find(window);
  if (!w) return false;
  bool all = flags & RDW_ALLCHILDREN;
  if (flags & RDW_INVALIDATE)
    detail::invalidate(*w, rect ? *rect : detail::client_of(*w), (flags & RDW_ERASE) && !(flags & RDW_NOERASE), all);
  if (flags & RDW_VALIDATE) validate_rect(window, rect);
  if ((flags & RDW_ERASENOW) && !(flags & RDW_UPDATENOW) && (w = find(window)) && w->erase_pending) {
    w->erase_pending = false;
    if (DeviceContext* dc = get_dc(window)) {
      send_message(window, WM_ERASEBKGND, reinterpret_cast<std::uintptr_t>(dc), 0);
      release_dc(window, dc);
    }
  }
  if ((flags & RDW_UPDATENOW) && (w = find(window))) detail::update(*w);
  return true;
}

bool update_window(Window* window) {
  WindowData* w = find(window);
  if (!w) return false;
  detail::update(*w);
  return true;
}

DeviceContext* begin_paint(Window* window, PaintStruct& paint) {
  paint = {};
  WindowData* w = find(window);
  if (!w) return nullptr;
  DeviceContext* dc = get_dc(window);
  if (!dc) return nullptr;
  paint.dc = dc;
  paint.paint = w->invalid ? w->update : Rect{};
  bool erase = w->erase_pending;
  w->invalid = false;
  w->erase_pending = false;
  w->update = {};
  if (erase) paint.erase = !send_message(window, WM_ERASEBKGND, reinterpret_cast<std::uintptr_t>(dc), 0);
  return dc;
}

bool end_paint(Window* window, const PaintStruct& paint) { return release_dc(window, paint.dc); }

DeviceContext* get_dc(Window* window) {
  WindowData* w = find(window);
  if (!w || !w->surface) return nullptr;
  DeviceContext* dc = create_compatible_dc();
  if (!dc) return nullptr;
  select_object(dc, w->surface);
  w->dcs.push_back(dc);
  return dc;
}

bool release_dc(Window* window, DeviceContext* dc) {
  WindowData* w = find(window);
  if (!w || !dc) return false;
  auto it = std::find(w->dcs.begin(), w->dcs.end(), dc);
  if (it == w->dcs.end()) return false;
  w->dcs.erase(it);
  delete_dc(dc);
  Rect client = detail::client_of(*w);
  detail::windowing().backend.surface_changed(window, client);
  return true;
}

Window* window_from_dc(const DeviceContext* dc) {
  if (!dc) return nullptr;
  for (auto& [handle, w] : detail::windowing().windows)
    if (!w->destroyed && std::find(w->dcs.begin(), w->dcs.end(), dc) != w->dcs.end()) return w->handle;
  return nullptr;
}

Bitmap* compose_client(Window* window) {
  WindowData* w = find(window);
  if (!w || !w->surface) return nullptr;
  Bitmap* out = create_dib_section(w->surface->width, -w->surface->height, 32);
  if (!out) return nullptr;
  detail::compose(*out, *w, 0, 0, {0, 0, out->width, out->height});
  return out;
}

const Bitmap* window_surface(Window* window) {
  WindowData* w = find(window);
  return w ? w->surface : nullptr;
}

std::uint32_t surface_pixel(Window* window, int x, int y) {
  const Bitmap* b = window_surface(window);
  if (!b || x < 0 || y < 0 || x >= b->width || y >= b->height) return 0;
  return read_pixel(*b, x, y) & 0xFFFFFF;
}

}  // namespace native
