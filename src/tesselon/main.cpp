// tesselon: the viewer in a real window. Help and version need no display;
// without one there is nothing to show, and the program says so and fails.
#include "app/command_line.h"
#include "app/start_options.h"
#include "app/viewer.h"
#include "native/backends/gtk/gtk_backend.h"
#include "runtime/print_text.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  // Taken before GTK removes the arguments it understands.
  StartRequest request = start_request(arguments_from_process(argc, argv));
  if (request.action == StartAction::help) return print_text("tesselon", viewer_help_text());
  if (request.action == StartAction::version) return print_text("tesselon", viewer_version_text());
  if (!native::gtk::install(&argc, &argv, "tesselon")) {
    std::fprintf(stderr, "tesselon: %s\n", no_display_text(std::getenv("DISPLAY")).c_str());
    return 1;
  }
  int status = run_viewer(request.arguments);
  native::gtk::uninstall();
  return status;
}
