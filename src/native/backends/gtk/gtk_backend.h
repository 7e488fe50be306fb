#pragma once
// The GTK 3 backend: real windows on an X11 display. Nothing outside this
// folder sees GTK; callers get only this entry point.

namespace native::gtk {

// Opens the display and starts the native window system on it; windows
// carry the program's name as their class and icon. False when there is no
// display to open (nothing is started then).
bool install(int* argc, char*** argv, const char* program_name);

// Stops the native window system and lets GTK tidy up the windows it still
// holds.
void uninstall();

}  // namespace native::gtk
