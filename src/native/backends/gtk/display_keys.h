#pragma once
// Keys held anywhere on the X display, whichever program has the keyboard:
// the program samples Escape as each event arrives, also while another
// program has the focus.

namespace native::gtk {

// Whether a key that makes the virtual key is down on the display; false
// when the display is not X11 or has no such key.
bool key_down_on_display(int virtual_key);

// The keys down now belong to the dialog of ours that just closed (the
// Escape that cancelled it): they count again once they have been let go.
void disown_held_keys();

}  // namespace native::gtk
