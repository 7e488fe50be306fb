#include "conversion.h"

#include "other_formats.h"
#include "shrunk_save.h"

#include "export/compact_png.h"
#include "export/encoder_registry.h"
#include "export/png_writer.h"
#include "image/images.h"
#include "image/runtime_services.h"
#include "image/save_image.h"
#include "native/system/file.h"
#include "native/system/text.h"
#include "runtime/files.h"
#include "runtime/general_heap.h"
#include "screen/sam_palette.h"
#include "screen/screen_file.h"
#include "screen/screen_painter.h"
#include "screen/viewer_state.h"

#include <cerrno>
#include <cstring>

namespace {

// What every conversion in this process writes, and with which encoder.
PictureSize picture;
std::uint32_t encoder = ENCODER_PNG_COMPACT;

bool save_picture(const std::u16string& name) {
  if (is_shrunk(picture)) return save_image_shrunk(0, picture.width, picture.height, name.c_str(), encoder) != 0;
  return save_image(0, name.c_str(), encoder) != 0;
}

std::string reason(int error) { return native::file_error_text(error); }

// What went wrong, after the file's name. Scripts look for the first text.
std::string read_failure(const ScreenRead& read) {
  switch (read.status) {
    case ScreenReadStatus::folder: return "is a folder";
    case ScreenReadStatus::out_of_memory: return "cannot read: " + reason(ENOMEM);
    case ScreenReadStatus::unreadable:
      // Gone between measuring and opening: as if never there.
      if (read.error != ENOENT) return read.error ? "cannot read: " + reason(read.error) : "cannot read";
      [[fallthrough]];
    default: return native::to_utf8(BAD_SIZE_TEXT);
  }
}

}  // namespace

bool start_converter(int scale, PngStyle style) { return start_converter(picture_at_scale(scale), style); }

bool start_converter(const PictureSize& size, PngStyle style) {
  // No display and no window: only what reading, drawing and saving need.
  // The native layer's files, heaps and graphics objects need no start, so
  // the window system is never linked in.
  if (!create_general_heap()) return false;
  start_runtime_services({});
  init_screen_state();
  register_png_encoder();
  register_compact_png_encoder();
  // Image 0 exists from the start, as in the viewer, and is made anew for
  // every screen.
  create_image(0, SCREEN_WIDTH * size.scale, SCREEN_HEIGHT * size.scale);
  build_palette();
  picture = size;
  encoder = style == PngStyle::rgb ? ENCODER_PNG : ENCODER_PNG_COMPACT;
  viewer_state().scale = size.scale;
  return true;
}

void stop_converter() {
  release_screen_state();
  if (is_image(0)) free_image(0);
  stop_runtime_services({});
  destroy_general_heap();
}

std::string convert(const Conversion& conversion) {
  if (std::optional<std::string_view> kind = other_format_of_file(conversion.input))
    return conversion.input + ": " + std::string(*kind) + ", not a SAM screen";
  ScreenRead read = read_screen(native::from_utf8(conversion.input));
  if (read.status != ScreenReadStatus::loaded) return conversion.input + ": " + read_failure(read);
  if (!conversion.refusal.empty()) return conversion.refusal;
  paint_loaded_screen();
  native::set_outputs_replace_existing(conversion.may_replace);
  set_file_error(0);
  if (!save_picture(native::from_utf8(conversion.output))) {
    int error = file_error();
    if (error == EEXIST && !conversion.may_replace) return exists_refusal(conversion);
    return conversion.input + ": cannot write " + conversion.output + (error ? ": " + reason(error) : "");
  }
  return {};
}
