// tesselon: the viewer in a real window. Without a display there is nothing
// to show: the program ends at once with status 0, like any failed start.
#include "app/command_line.h"
#include "app/viewer.h"
#include "native/backends/gtk/gtk_backend.h"

int main(int argc, char** argv) {
  std::u16string command_line = command_line_from_arguments(argc, argv);
  if (!native::gtk::install(&argc, &argv, "tesselon")) return 0;
  int status = run_viewer(command_line);
  native::gtk::uninstall();
  return status;
}
