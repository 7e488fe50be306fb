#include "app/start_options.h"

StartRequest start_request(std::vector<std::u16string> arguments) {
  StartRequest request;
  if (arguments.size() == 2) {
    const std::u16string& only = arguments[1];
    if (only == u"--help" || only == u"-h") request.action = StartAction::help;
    if (only == u"--version") request.action = StartAction::version;
  }
  if (arguments.size() >= 2 && arguments[1] == u"--") arguments.erase(arguments.begin() + 1);
  request.arguments = std::move(arguments);
  return request;
}

std::string viewer_help_text() {
  return "usage: tesselon [FILE]\n"
         "       tesselon -- FILE   (for a FILE whose name starts with -)\n"
         "Shows a SAM screen mode 4 file (.ss4) in a window, at double or single\n"
         "size, and saves what it shows as PNG.\n"
         "\n"
         "  Ctrl+O       open a screen (or drop one on the window)\n"
         "  Ctrl+S       save the picture as PNG\n"
         "  Mode         x1 or x2: single or double size\n"
         "  Escape       quit: held as the next event arrives, whichever program\n"
         "               has the keyboard (in the viewer's own dialogs it closes\n"
         "               the dialog)\n"
         "  -h, --help   show this text\n"
         "  --version    show the version\n"
         "\n"
         "Needs an X display; ss4topng converts screens without one.\n";
}

std::string viewer_version_text() { return "tesselon (Tesselon) " TESSELON_VERSION "\n"; }

std::string no_display_text(const char* display) {
  if (!display || !*display)
    return "no X display to open a window on (DISPLAY is not set); ss4topng converts screens without one";
  return std::string("cannot open the X display \"") + display + "\"; ss4topng converts screens without one";
}
