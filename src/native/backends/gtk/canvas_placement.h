#pragma once
// Where the canvas sits in the drawing area below the menu bar. The window
// keeps the canvas's size where the window manager lets it; where it does
// not (fullscreen, a forced size) the drawing area takes the whole window
// and the canvas is centred in what the window really shows.
#include "native/graphics/device_context.h"
#include "native/windowing/messages.h"

namespace native::gtk {

struct TopLevel;

// The canvas's top-left corner in the drawing area's own coordinates.
// area: the drawing area as GTK laid it out, in the top-level's
// coordinates; shown_width, shown_height: the top-level's size on the X
// server, 0 when not known yet. GTK can believe the window larger than it
// is (a window manager's synthetic configure event may carry its own idea
// of a fullscreen size), so only the part of the area inside the real
// window counts. A part no larger than the canvas puts it at the corner.
Point canvas_origin(const Rect& area, int shown_width, int shown_height, int canvas_width, int canvas_height);

// canvas_origin for a shown top-level: its drawing area, its real size and
// the canvas's size.
Point canvas_offset(const TopLevel& top);

}  // namespace native::gtk
