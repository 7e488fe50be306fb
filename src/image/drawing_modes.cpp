#include "image/drawing_modes.h"

#include "image/drawing_routines.h"

namespace {

constexpr std::uint32_t BLEND_BITS = MODE_ALPHA_BLEND | MODE_ALPHA_CLIP;
// Modes under which colours are not blended even with a blend bit set.
constexpr std::uint32_t NO_BLEND_BITS = MODE_XOR | MODE_GRADIENT | MODE_CUSTOM | MODE_ALL_CHANNELS;
// Modes whose point reader answers the alpha byte too.
constexpr std::uint32_t ALPHA_READ_BITS =
    MODE_ALPHA_CHANNEL | MODE_ALPHA_BLEND | MODE_ALPHA_CLIP | MODE_CUSTOM | MODE_ALL_CHANNELS;

}  // namespace

PixelRule write_rule_for(std::uint32_t mode, int bytes_per_pixel) {
  const bool four = bytes_per_pixel == 4;
  if (mode & MODE_XOR) return PixelRule::xor_colour;
  if (mode & MODE_ALL_CHANNELS) return four ? PixelRule::all_channels : PixelRule::copy;
  if (mode & MODE_ALPHA_CHANNEL) return four ? PixelRule::alpha_only : PixelRule::nothing;
  if (mode & MODE_ALPHA_BLEND) return PixelRule::blend;
  // On 3-byte pixels there is no alpha to keep: both blend rules are one.
  if (mode & MODE_ALPHA_CLIP) return four ? PixelRule::blend_keep_alpha : PixelRule::blend;
  return PixelRule::copy;
}

void set_drawing_mode(DrawingContext* context, std::uint32_t mode) {
  const int bytes = context->bytes_per_pixel;
  if (mode & MODE_ALL_CHANNELS) {
    mode &= ~(MODE_ALPHA_CHANNEL | MODE_ALPHA_BLEND | MODE_ALPHA_CLIP);
    if (bytes == 3) mode &= ~MODE_ALL_CHANNELS;
  }
  context->drawing_mode = mode;
  context->blend_flag = (mode & BLEND_BITS) && !(mode & NO_BLEND_BITS);
  context->gradient_flag = static_cast<std::int32_t>(mode & MODE_GRADIENT);
  context->custom_flag = static_cast<std::int32_t>(mode & MODE_CUSTOM);

  const PixelRule rule = (mode & (MODE_GRADIENT | MODE_CUSTOM)) ? PixelRule::per_pixel : write_rule_for(mode, bytes);
  context->box = box_routine(bytes, rule, (mode & MODE_OUTLINED) != 0);
  context->plot = plot_routine(bytes, rule);
  context->plot_with_colour = plot_colour_routine(bytes, rule);
  context->point = (bytes == 4 && (mode & ALPHA_READ_BITS)) ? point_with_alpha : point_without_alpha;

  // Premultiplication follows the blend flag, which may just have changed.
  context->set_front_colour(context, context->front_colour);
  context->set_back_colour(context, context->back_colour);
}

void set_front_colour(DrawingContext* context, std::uint32_t colour) {
  context->front = prepare_colour(colour, context->blend_flag != 0);
  context->front_prepared_from = colour;
}

void set_back_colour(DrawingContext* context, std::uint32_t colour) {
  context->back = prepare_colour(colour, context->blend_flag != 0);
}

double default_gradient_function(int, int) { return 1.0; }

std::uint32_t default_custom_filter(int, int, std::uint32_t, std::uint32_t target) { return target; }

void set_drawing_mode(std::uint32_t mode) {
  if (DrawingContext* context = current_context()) context->set_drawing_mode(context, mode);
}

void set_front_colour(std::uint32_t colour) {
  DrawingContext* context = current_context();
  if (!context) return;
  context->front_colour = colour;
  context->set_front_colour(context, colour);
}

void set_back_colour(std::uint32_t colour) {
  DrawingContext* context = current_context();
  if (!context) return;
  context->back_colour = colour;
  context->set_back_colour(context, colour);
}

void set_gradient_colours(std::uint32_t start, std::uint32_t end) {
  DrawingContext* context = current_context();
  if (!context) return;
  context->gradient_start_colour = start;
  context->gradient_end_colour = end;
}

void set_gradient_function(GradientFunction function) {
  if (DrawingContext* context = current_context())
    context->gradient_function = function ? function : default_gradient_function;
}

void set_custom_filter(CustomFilter filter) {
  if (DrawingContext* context = current_context())
    context->custom_filter_function = filter ? filter : default_custom_filter;
}
