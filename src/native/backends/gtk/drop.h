#pragma once
// Files dropped from other programs: text/uri-list drags over a top-level
// become the core's drag protocol (enter, over, leave, drop) with the
// dropped names as a file list.
#include "native/backends/gtk/gtk_state.h"

namespace native::gtk {

void enable_drops(TopLevel& top);

}  // namespace native::gtk
