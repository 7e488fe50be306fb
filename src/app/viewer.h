#pragma once
// The viewer: one window with a menu and a 512 × 384 canvas, showing a
// screen file at single or double size and saving it as PNG. Runs until
// Quit, the close box, or Escape held when an event arrives; answers the
// process exit code, always 0. The caller sets up the native window system
// (a backend) first.
#include <string>
#include <string_view>
#include <vector>

// The command line as one text, split by its rules.
int run_viewer(std::u16string_view command_line_text);
// The command line as the process's arguments, each whole.
int run_viewer(const std::vector<std::u16string>& arguments);
