#pragma once
// A drawing pass on one output. An output provider (image_output here, and
// canvas_output in the ui layer) makes a DrawingContext that describes the
// output's pixel buffer and carries a table of operations suited to its pixel
// format; start_drawing begins the pass, every drawing command works on the
// one current context, and stop_drawing hands the result back and frees it.
#include "image/pixel_rules.h"
#include "runtime/object_table.h"

#include <cstddef>
#include <cstdint>

namespace native {
struct Bitmap;
struct DeviceContext;
}  // namespace native

// Pixel formats.
constexpr std::uint32_t FORMAT_24_BGR = 0x10;
constexpr std::uint32_t FORMAT_32_BGRA = 0x40;
constexpr std::uint32_t FORMAT_BOTTOM_UP = 0x8000;
// Formats with these bits have 4 bytes per pixel.
constexpr std::uint32_t FORMAT_FOUR_BYTE_BITS = 0x60;

struct DrawingContext;

// Answers the position in [0, 1] of a pixel between the gradient's start and
// end colours.
using GradientFunction = double (*)(int x, int y);
// Answers the colour to write at (x, y), given the drawing colour and the
// colour already there.
using CustomFilter = std::uint32_t (*)(int x, int y, std::uint32_t colour, std::uint32_t target);

using ColourEntry = void (*)(DrawingContext*, std::uint32_t colour);
using BoxEntry = void (*)(DrawingContext*, int x, int y, int width, int height);
using AddressEntry = std::uint8_t* (*)(DrawingContext*);
using PitchEntry = std::int32_t (*)(DrawingContext*);
using FormatEntry = std::uint32_t (*)(DrawingContext*);
using ModeEntry = void (*)(DrawingContext*, std::uint32_t mode);
using ImageBlitEntry = void (*)(DrawingContext*, ObjectId handle, int x, int y);
using SizedImageBlitEntry = void (*)(DrawingContext*, ObjectId handle, int x, int y, int width, int height);
using AlphaImageBlitEntry = void (*)(DrawingContext*, ObjectId handle, int x, int y, std::uint32_t alpha);
using PlotEntry = void (*)(DrawingContext*, int x, int y);
using PlotColourEntry = void (*)(DrawingContext*, int x, int y, std::uint32_t colour);
using PointEntry = std::uint32_t (*)(DrawingContext*, int x, int y);
using StartEntry = void* (*)(DrawingContext*);
using StopEntry = void (*)(DrawingContext*);
// Output-specific clean-up; commit is 1 after a drawing pass, 0 after a
// failed start or when the context is dropped unfinished.
using ReleaseEntry = void (*)(DrawingContext*, int commit);

// One zero-filled block from the general heap per drawing pass. Entries
// receive coordinates with the offsets already added, y downwards from the
// top of the drawable area.
struct DrawingContext {
  // Operation table.
  ColourEntry set_back_colour;
  BoxEntry box;  // chosen with the drawing mode, so the fill loop is fixed
  AddressEntry buffer_address;
  PitchEntry buffer_pitch;
  FormatEntry buffer_format;
  ModeEntry set_drawing_mode;
  ImageBlitEntry image_blit;
  SizedImageBlitEntry sized_image_blit;
  AlphaImageBlitEntry alpha_image_blit;
  ColourEntry set_front_colour;
  PlotEntry plot;
  PlotColourEntry plot_with_colour;
  PointEntry point;
  StartEntry start;
  StopEntry stop;
  ReleaseEntry release;

  // State.
  std::int32_t width;
  std::int32_t height;
  std::int32_t depth;
  std::int32_t x_offset;
  std::int32_t y_offset;
  std::int32_t full_width;
  std::int32_t full_height;
  std::int32_t origin_x;
  std::int32_t origin_y;
  std::uint32_t gradient_end_colour;
  std::uint32_t gradient_start_colour;
  std::uint32_t front_colour;  // exactly as last given
  // The colour `front` was prepared from. Small boxes in the default mode
  // write the colour as given and leave preparing it to whatever needs it
  // next, so this may lag behind front_colour.
  std::uint32_t front_prepared_from;
  std::uint32_t back_colour;
  GradientFunction gradient_function;
  CustomFilter custom_filter_function;
  std::uint8_t* pixel_address;
  std::int32_t stride;
  std::uint32_t pixel_format;
  std::int32_t bytes_per_pixel;
  std::uint32_t drawing_mode;
  std::int32_t blend_flag;
  std::int32_t gradient_flag;
  std::int32_t custom_flag;
  std::int32_t bottom_up_flag;
  std::uint8_t* base_pixel_address;
  // Set when the pass starts: the first byte of the drawable area's top row,
  // and the distance in memory from a row to the row below it.
  std::uint8_t* top_row;
  std::ptrdiff_t row_down;
  PreparedColour front;
  PreparedColour back;
  std::int32_t start_returns_address;
  native::DeviceContext* device_context;
  std::uint32_t saved_batch_limit;
  native::Bitmap* target_bitmap;
  ObjectId canvas_number;  // the gadget drawn on, for canvas outputs
};

// Brings `front` up to date with the front colour, through the context's
// own preparation.
inline void prepare_front(DrawingContext* context) {
  if (context->front_prepared_from != context->front_colour) context->set_front_colour(context, context->front_colour);
}

namespace drawing_detail {
extern DrawingContext* current;
}

// The context every drawing command works on, or null.
inline DrawingContext* current_context() { return drawing_detail::current; }

// Start-up step: reserves the thread-local slot the current context is
// mirrored into.
void init_drawing();

// For output providers: a new context for a pixel format, already current.
// A context that was current and never stopped is released (commit 0) and
// freed first, so replacing one leaks nothing. Null when out of memory.
DrawingContext* new_context(std::uint32_t format);
// For output providers that fail after new_context: releases the context
// (commit 0), frees it and leaves no context current.
void drop_context(DrawingContext* context);

// Begins the drawing pass on an output that a provider has just made. Answers
// the output's device context, or 0 when nothing was started; a context that
// fails to start is released and freed.
void* start_drawing(DrawingContext* output);
// Ends the current drawing pass; no effect without one.
void stop_drawing();

// Answers of the buffer entries of the current context (0 without one).
std::uint8_t* drawing_buffer();
std::int32_t drawing_buffer_pitch();
std::uint32_t drawing_buffer_format();

// A command's coordinates moved by the context's offsets. The sum wraps
// instead of overflowing on absurd values; the entries clip what they get.
inline int offset_x(const DrawingContext* context, int x) {
  return static_cast<int>(static_cast<std::uint32_t>(x) + static_cast<std::uint32_t>(context->x_offset));
}
inline int offset_y(const DrawingContext* context, int y) {
  return static_cast<int>(static_cast<std::uint32_t>(y) + static_cast<std::uint32_t>(context->y_offset));
}
