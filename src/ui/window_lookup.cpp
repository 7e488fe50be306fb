#include "ui/window_lookup.h"

#include "native/windowing/window.h"

ObjectId window_number_of(native::Window* window) {
  for (native::Window* w = window; w; w = native::get_parent(w)) {
    auto value = reinterpret_cast<ObjectId>(native::get_prop(w, WINDOW_ID_PROPERTY));
    if (value) return value - 1;
  }
  return -1;
}
