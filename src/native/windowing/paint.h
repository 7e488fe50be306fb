#pragma once
// The paint cycle and each window's on-screen surface.
//
// Every window owns a surface: a 32-bit top-down device-independent bitmap
// of its client size holding the pixels the window currently shows. Paint
// and window device contexts draw straight into it; backends present it.
// The invalid part of a window is kept as one bounding rectangle.
#include "native/graphics/device_context.h"

#include <cstdint>

namespace native {

struct Window;
struct Bitmap;

struct PaintStruct {
  DeviceContext* dc = nullptr;
  bool erase = false;  // true when the background still needs erasing
  Rect paint{};
};

constexpr std::uint32_t RDW_INVALIDATE = 0x1;
constexpr std::uint32_t RDW_INTERNALPAINT = 0x2;
constexpr std::uint32_t RDW_ERASE = 0x4;
constexpr std::uint32_t RDW_VALIDATE = 0x8;
constexpr std::uint32_t RDW_NOERASE = 0x20;
constexpr std::uint32_t RDW_ALLCHILDREN = 0x80;
constexpr std::uint32_t RDW_UPDATENOW = 0x100;
constexpr std::uint32_t RDW_ERASENOW = 0x200;

// Null rect = the whole client area.
bool invalidate_rect(Window* window, const Rect* rect, bool erase);
bool validate_rect(Window* window, const Rect* rect);
bool get_update_rect(Window* window, Rect* out, bool erase);  // true when something is invalid
bool redraw_window(Window* window, const Rect* rect, std::uint32_t flags);
// Sends WM_PAINT at once when something is invalid.
bool update_window(Window* window);

// Sends WM_ERASEBKGND when the background is due, validates the window and
// answers a device context on its surface.
DeviceContext* begin_paint(Window* window, PaintStruct& paint);
bool end_paint(Window* window, const PaintStruct& paint);
DeviceContext* get_dc(Window* window);
bool release_dc(Window* window, DeviceContext* dc);
// The window a paint or window context draws on, null for other contexts.
Window* window_from_dc(const DeviceContext* dc);

// The window's surface, owned by the core (null for a stale handle). Its size
// follows the client area.
const Bitmap* window_surface(Window* window);
// Pixel of the surface in client coordinates as 0x00RRGGBB (0 outside).
std::uint32_t surface_pixel(Window* window, int x, int y);
// The client area as the screen shows it: the window's surface with the
// surfaces of its visible children over it (each clipped to its parent), as
// a new 32-bit top-down bitmap the caller deletes. Null for a stale window.
Bitmap* compose_client(Window* window);

}  // namespace native
