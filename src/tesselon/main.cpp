// tesselon: the viewer in a real window. Without a display there is nothing
// to show: the program ends at once with status 0, like any failed start.
#include "app/command_line.h"
#include "app/viewer.h"
#include "native/backends/gtk/gtk_backend.h"

int main(int argc, char** argv) {
  // Taken before GTK removes the arguments it understands.
  std::vector<std::u16string> arguments = arguments_from_process(argc, argv);
  if (!native::gtk::install(&argc, &argv, "tesselon")) return 0;
  int status = run_viewer(arguments);
  native::gtk::uninstall();
  return status;
}
