#pragma once
// What the viewer's command line asks for before any window opens: help,
// the version, or the screen to show.
#include <string>
#include <string_view>
#include <vector>

enum class StartAction { view, help, version };

struct StartRequest {
  StartAction action = StartAction::view;
  // The program's path, then the arguments the viewer takes as names.
  std::vector<std::u16string> arguments;
};

// "--help" (or "-h") and "--version" count only as the whole command line,
// so any other name still opens; "--" first lets a name start with "-".
StartRequest start_request(std::vector<std::u16string> arguments);

std::string viewer_help_text();
std::string viewer_version_text();

// The one line that says why no window could open, from the DISPLAY the
// program was given (null or empty when there was none).
std::string no_display_text(const char* display);
