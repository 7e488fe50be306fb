#include "image/drawing_context.h"

#include "image/drawing_modes.h"
#include "image/drawing_routines.h"
#include "image/span_fill.h"
#include "native/system/library.h"
#include "runtime/general_heap.h"

DrawingContext* drawing_detail::current = nullptr;

namespace {

// Reserved once per process: slots are never given back, and the runtime may
// be started more than once in one process (tests do).
unsigned context_slot = native::TLS_OUT_OF_INDEXES;

void make_current(DrawingContext* context) {
  drawing_detail::current = context;
  if (context_slot != native::TLS_OUT_OF_INDEXES) native::tls_set_value(context_slot, context);
}

// Hands a context back to its output and frees it.
void end_context(DrawingContext* context, int commit) {
  if (drawing_detail::current == context) make_current(nullptr);
  if (context->release) context->release(context, commit);
  general_free(context);
}

std::uint8_t* answer_buffer_address(DrawingContext* context) { return context->base_pixel_address; }
std::int32_t answer_buffer_pitch(DrawingContext* context) { return context->stride; }
std::uint32_t answer_buffer_format(DrawingContext* context) { return context->pixel_format; }

// The output-independent start: the pass can only begin on a buffer. Text
// drawing is not offered, so no text device context or scratch buffer is made.
void* start_pass(DrawingContext* context) {
  if (!context->pixel_address) return nullptr;
  context->base_pixel_address = context->pixel_address;
  return context->start_returns_address ? static_cast<void*>(context->pixel_address)
                                        : static_cast<void*>(context->device_context);
}

// Nothing of the pass's own to free: the text resources, flood-fill pools
// and gradient stops it would own are never made.
void stop_pass(DrawingContext*) {}

}  // namespace

void init_drawing() {
  if (context_slot == native::TLS_OUT_OF_INDEXES) context_slot = native::tls_alloc();
}

DrawingContext* new_context(std::uint32_t format) {
  auto* context = static_cast<DrawingContext*>(general_alloc(sizeof(DrawingContext)));
  if (!context) return nullptr;
  // A context made current and never stopped would keep its device context
  // and its bitmap's selection for ever.
  if (DrawingContext* previous = current_context()) end_context(previous, 0);
  make_current(context);

  context->pixel_format = format;
  context->bottom_up_flag = static_cast<std::int32_t>(format & FORMAT_BOTTOM_UP);
  context->drawing_mode = MODE_DEFAULT;
  context->bytes_per_pixel = (format & FORMAT_FOUR_BYTE_BITS) ? 4 : 3;

  context->gradient_end_colour = 0xFFFFFFFF;
  context->gradient_start_colour = 0xFF000000;
  context->front_colour = 0;
  context->back_colour = 0;

  context->set_back_colour = set_back_colour;
  context->buffer_address = answer_buffer_address;
  context->buffer_pitch = answer_buffer_pitch;
  context->buffer_format = answer_buffer_format;
  context->set_drawing_mode = set_drawing_mode;
  context->image_blit = image_blit;
  context->sized_image_blit = sized_image_blit;
  context->alpha_image_blit = alpha_image_blit;
  context->set_front_colour = set_front_colour;
  context->start = start_pass;
  context->stop = stop_pass;
  context->gradient_function = default_gradient_function;
  context->custom_filter_function = default_custom_filter;

  // Also picks the box, plot and point routines and prepares both colours.
  context->set_drawing_mode(context, MODE_DEFAULT);
  return context;
}

void drop_context(DrawingContext* context) {
  if (context) end_context(context, 0);
}

void* start_drawing(DrawingContext* output) {
  // Only the context a provider has just made may start: anything else is
  // stale (stopped, or replaced by a newer output) and already freed.
  if (!output || output != current_context()) return nullptr;
  output->full_width = output->width;
  output->full_height = output->height;
  if (void* started = output->start(output)) {
    output->top_row = row_pointer(output, 0);
    output->row_down = row_step(output);
    return started;
  }
  end_context(output, 0);
  return nullptr;
}

void stop_drawing() {
  DrawingContext* context = current_context();
  if (!context) return;
  context->stop(context);
  end_context(context, 1);
}

std::uint8_t* drawing_buffer() {
  DrawingContext* context = current_context();
  return context ? context->buffer_address(context) : nullptr;
}

std::int32_t drawing_buffer_pitch() {
  DrawingContext* context = current_context();
  return context ? context->buffer_pitch(context) : 0;
}

std::uint32_t drawing_buffer_format() {
  DrawingContext* context = current_context();
  return context ? context->buffer_format(context) : 0;
}
