#pragma once
// The pointer's look and ownership: cursor shapes, capture as a pointer
// grab, confinement to a screen rectangle.
#include "native/graphics/device_context.h"

namespace native {
struct Cursor;
struct Window;
}  // namespace native

namespace native::gtk {

void show_cursor(Cursor* cursor);
void grab_for_capture(Window* window);
void confine_pointer(const Rect* rect);
// The cursor and grab again on a newly shown window.
void refresh_pointer();

}  // namespace native::gtk
