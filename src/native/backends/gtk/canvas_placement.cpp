// The canvas centred in what the window really shows.
#include "native/backends/gtk/canvas_placement.h"

#include "native/backends/gtk/gtk_state.h"

#include <algorithm>

namespace native::gtk {
namespace {

int centred(int start, int end, int shown, int canvas) {
  int visible = shown > 0 ? std::min(end, shown) - start : end - start;
  return std::max(0, (visible - canvas) / 2);
}

}  // namespace

Point canvas_origin(const Rect& area, int shown_width, int shown_height, int canvas_width, int canvas_height) {
  return {centred(area.left, area.right, shown_width, canvas_width),
          centred(area.top, area.bottom, shown_height, canvas_height)};
}

Point canvas_offset(const TopLevel& top) {
  GtkAllocation area{};
  gtk_widget_get_allocation(top.client, &area);
  // The size the core last gave the canvas (it has none while minimised).
  int width = 0, height = 0;
  gtk_widget_get_size_request(top.client, &width, &height);
  return canvas_origin({area.x, area.y, area.x + area.width, area.y + area.height}, top.shown_width, top.shown_height,
                       width, height);
}

}  // namespace native::gtk
