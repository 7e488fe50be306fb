#pragma once
// GTK input on a top-level window turned into the core's input: keys,
// pointer, wheel, activation, minimising and the close box.
#include "native/backends/gtk/gtk_state.h"

namespace native::gtk {

void connect_input(TopLevel& top);
// Lets go of every key the core believes held: after a modal dialog or a
// focus loss the releases may never reach us.
void release_held_keys();

}  // namespace native::gtk
