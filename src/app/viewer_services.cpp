#include "app/viewer_services.h"

#include "app/command_line.h"
#include "ui/window_services.h"

RuntimeServices viewer_services() {
  RuntimeServices services;
  services.window = window_services();
  services.window.process = {init_process_services, nullptr};
  return services;
}
