#include "conversion.h"

#include "frame_render.h"
#include "screen_animation.h"
#include "screen_input.h"

#include "export/compact_png.h"
#include "export/png_writer.h"
#include "native/system/file.h"
#include "runtime/general_heap.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

namespace {

bool write_picture(const std::string& path, const SamScreen& screen, const PictureSize& size, PngStyle style) {
  const std::unique_ptr<std::uint8_t[]> bgr = picture_bgr(screen, size);
  const std::int32_t stride = size.width * 3;
  if (style == PngStyle::rgb)
    return write_png_named(path, bgr.get(), size.width, size.height, stride, 0, 0, 24, PNG_COLOUR_RGB) == 1;
  return write_compact_png_named(path, bgr.get(), size.width, size.height, stride, 0) == 1;
}

std::string converted(const Conversion& conversion, const ConverterSettings& settings) {
  // Every byte the picture uses is decoded into it: none is cleared first.
  auto screen = std::make_unique_for_overwrite<SamScreen>();
  const std::string failure = read_screen_input(conversion.input, settings.forced_mode, *screen);
  if (!failure.empty()) return conversion.input + ": " + failure;
  return write_screen(conversion, *screen, settings);
}

}  // namespace

std::string write_screen(const Conversion& conversion, const SamScreen& screen, const ConverterSettings& settings) {
  if (!conversion.refusal.empty()) return conversion.refusal;
  const PictureSize size = picture_size(settings.size, screen.mode);
  native::set_outputs_replace_existing(conversion.may_replace);
  native::set_last_file_error(0);
  const bool written = settings.animate ? write_screen_animation(conversion.output, screen, size)
                                        : write_picture(conversion.output, screen, size, settings.style);
  if (written) return {};
  const int error = native::last_file_error();
  if (error == EEXIST && !conversion.may_replace) return exists_refusal(conversion);
  return conversion.input + ": cannot write " + conversion.output +
         (error ? ": " + native::file_error_text(error) : "");
}

bool start_converter() { return create_general_heap(); }

void stop_converter() { destroy_general_heap(); }

std::string convert(const Conversion& conversion, const ConverterSettings& settings) try {
  return converted(conversion, settings);
} catch (const std::bad_alloc&) {
  return conversion.input + ": cannot read: " + std::strerror(ENOMEM);
}
