#include "app/runtime_services.h"

#include "app/command_line.h"

#include "image/drawing_context.h"
#include "image/images.h"
#include "runtime/files.h"
#include "runtime/memory_blocks.h"
#include "runtime/text_scratch.h"
#include "ui/drop_target.h"
#include "ui/event_wait.h"
#include "ui/gadgets.h"
#include "ui/menus.h"
#include "ui/requesters.h"
#include "ui/windows.h"

// The generic structure routines that array and map hooks would serve do not
// exist here (texts, arrays and maps are ordinary containers), so those two
// steps have nothing to set up.
void start_runtime_services() {
  init_text();
  init_memory_blocks();
  init_image_services();
  init_images();
  init_drawing();
  init_events();
  init_windows();
  init_gadgets();
  init_ole();
  init_files();
  init_menus();
  init_process_services();
  init_requesters();
}

// Open files go first, before any window; windows go before the event
// layer's hidden window; memory goes last.
void stop_runtime_services() {
  shutdown_files();
  shutdown_ole();
  shutdown_gadgets();
  shutdown_windows();
  shutdown_events();
  free_all_images();
  shutdown_image_services();
  shutdown_memory_blocks();
  shutdown_text();
}
