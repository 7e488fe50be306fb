// The canvas output provider: a drawing context on the backing store. Ending
// the pass paints the canvas at once, so the picture shows without waiting
// for the next paint message.
#include "ui/canvas_state.h"

#include "image/bitmap_output.h"

namespace {

void release_canvas_output(DrawingContext* context, int commit) {
  release_bitmap_output(context);
  if (!commit) return;
  // The canvas may have gone (or been replaced) during the pass.
  if (GadgetRecord* record = canvas_record(context->canvas_number)) repaint_canvas(record);
}

}  // namespace

DrawingContext* canvas_output(ObjectId number) {
  GadgetRecord* record = canvas_record(number);
  if (!record) return nullptr;
  DrawingContext* context =
      bitmap_output(record->canvas.bitmap, FORMAT_24_BGR | FORMAT_BOTTOM_UP, release_canvas_output);
  if (context) context->canvas_number = number;
  return context;
}
