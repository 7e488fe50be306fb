#include "image/runtime_services.h"

#include "image/drawing_context.h"
#include "image/images.h"
#include "runtime/files.h"
#include "runtime/memory_blocks.h"
#include "runtime/text_scratch.h"

namespace {

void start(const ServiceStep& step) {
  if (step.start) step.start();
}

void stop(const ServiceStep& step) {
  if (step.stop) step.stop();
}

}  // namespace

// The generic structure routines that array and map hooks would serve do not
// exist here (texts, arrays and maps are ordinary containers), so those two
// steps have nothing to set up.
void start_runtime_services(const RuntimeServices& s) {
  if (s.text) init_text();
  if (s.memory_blocks) init_memory_blocks();
  if (s.images) {
    init_image_services();
    init_images();
    init_drawing();
  }
  start(s.window.events);
  start(s.window.windows);
  start(s.window.gadgets);
  start(s.window.ole);
  if (s.files) init_files();
  start(s.window.menus);
  start(s.window.process);
  start(s.window.requesters);
}

// Open files go first, before any window; windows go before the event
// layer's hidden window; memory goes last.
void stop_runtime_services(const RuntimeServices& s) {
  if (s.files) shutdown_files();
  stop(s.window.ole);
  stop(s.window.gadgets);
  stop(s.window.windows);
  stop(s.window.events);
  if (s.images) {
    free_all_images();
    shutdown_image_services();
  }
  if (s.memory_blocks) shutdown_memory_blocks();
  if (s.text) shutdown_text();
}
