#include "image/picture_services.h"

#include "image/drawing_context.h"
#include "image/images.h"
#include "runtime/files.h"
#include "runtime/memory_blocks.h"
#include "runtime/text_scratch.h"

void start_picture_services() {
  init_text();
  init_memory_blocks();
  init_image_services();
  init_images();
  init_drawing();
  init_files();
}

// Open files go first; memory goes last.
void stop_picture_services() {
  shutdown_files();
  free_all_images();
  shutdown_image_services();
  shutdown_memory_blocks();
  shutdown_text();
}
