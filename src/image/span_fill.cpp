// The per-pixel path (gradients and custom filters), single-pixel plots and
// point readers. Rectangle fills use the span templates of span_fill.h.
#include "image/span_fill.h"

#include "image/drawing.h"
#include "image/drawing_modes.h"
#include "image/drawing_routines.h"

#include <cmath>

namespace {

std::uint32_t mix_component(std::uint32_t start, std::uint32_t end, int shift, double position) {
  double from = static_cast<double>((start >> shift) & 0xFF);
  double to = static_cast<double>((end >> shift) & 0xFF);
  return static_cast<std::uint32_t>(std::lround(from + (to - from) * position)) << shift;
}

// The gradient's colour at a pixel: start and end colours mixed component by
// component at the position the gradient function answers.
std::uint32_t gradient_colour(const DrawingContext* context, int x, int y) {
  double position = context->gradient_function(x, y);
  // Out-of-range answers (NaN included) are held to the ends.
  if (!(position >= 0.0)) position = 0.0;
  if (position > 1.0) position = 1.0;
  std::uint32_t start = context->gradient_start_colour, end = context->gradient_end_colour;
  return mix_component(start, end, 0, position) | mix_component(start, end, 8, position) |
         mix_component(start, end, 16, position) | mix_component(start, end, 24, position);
}

bool inside(const DrawingContext* context, int x, int y) {
  return x >= 0 && y >= 0 && x < context->width && y < context->height;
}

template <int Bytes, PixelRule Rule>
struct Plot {
  static void run(DrawingContext* context, int x, int y) {
    if (!inside(context, x, y)) return;
    std::uint8_t* p = pixel_pointer(context, x, y);
    if constexpr (Rule == PixelRule::per_pixel)
      per_pixel_span(context, p, x, y, 1, context->front_colour);
    else
      apply_rule<Bytes, Rule>(p, context->front);
  }
};

template <int Bytes, PixelRule Rule>
struct PlotColour {
  static void run(DrawingContext* context, int x, int y, std::uint32_t colour) {
    if (!inside(context, x, y)) return;
    std::uint8_t* p = pixel_pointer(context, x, y);
    if constexpr (Rule == PixelRule::per_pixel)
      per_pixel_span(context, p, x, y, 1, colour);
    else
      apply_rule<Bytes, Rule>(p, prepare_colour(colour, context->blend_flag != 0));
  }
};

}  // namespace

void filter_and_write(DrawingContext* context, std::uint8_t* pixel, int x, int y, std::uint32_t colour) {
  const bool four = context->bytes_per_pixel == 4;
  if (context->custom_flag) {
    std::uint32_t target = four ? pixel_colour<4>(pixel, true) : pixel_colour<3>(pixel, false);
    colour = context->custom_filter_function(x, y, colour, target);
  }
  const PixelRule rule = write_rule_for(context->drawing_mode, context->bytes_per_pixel);
  const PreparedColour prepared = prepare_colour(colour, rule_blends(rule));
  if (four)
    apply_chosen_rule<4>(rule, pixel, prepared);
  else
    apply_chosen_rule<3>(rule, pixel, prepared);
}

void per_pixel_span(DrawingContext* context, std::uint8_t* first, int x, int y, int n, std::uint32_t colour) {
  const int bytes = context->bytes_per_pixel;
  for (int i = 0; i < n; ++i) {
    std::uint32_t pixel_colour = context->gradient_flag ? gradient_colour(context, x + i, y) : colour;
    filter_and_write(context, first + static_cast<std::ptrdiff_t>(i) * bytes, x + i, y, pixel_colour);
  }
}

PlotEntry plot_routine(int bytes_per_pixel, PixelRule rule) { return pick_routine<Plot>(bytes_per_pixel, rule); }

PlotColourEntry plot_colour_routine(int bytes_per_pixel, PixelRule rule) {
  return pick_routine<PlotColour>(bytes_per_pixel, rule);
}

std::uint32_t point_with_alpha(DrawingContext* context, int x, int y) {
  if (!inside(context, x, y)) return 0;
  const std::uint8_t* p = pixel_pointer(context, x, y);
  return context->bytes_per_pixel == 4 ? pixel_colour<4>(p, true) : pixel_colour<3>(p, false);
}

std::uint32_t point_without_alpha(DrawingContext* context, int x, int y) {
  if (!inside(context, x, y)) return 0;
  return pixel_colour<3>(pixel_pointer(context, x, y), false);
}

void plot(int x, int y) {
  DrawingContext* context = current_context();
  if (!context) return;
  prepare_front(context);
  context->plot(context, offset_x(context, x), offset_y(context, y));
}

void plot(int x, int y, std::uint32_t colour) {
  if (DrawingContext* context = current_context())
    context->plot_with_colour(context, offset_x(context, x), offset_y(context, y), colour);
}

std::uint32_t point(int x, int y) {
  DrawingContext* context = current_context();
  return context ? context->point(context, offset_x(context, x), offset_y(context, y)) : 0;
}
