#include "conversion.h"

#include "app/runtime_services.h"
#include "export/encoder_registry.h"
#include "export/png_writer.h"
#include "image/images.h"
#include "image/save_image.h"
#include "native/text.h"
#include "native/window.h"
#include "runtime/general_heap.h"
#include "screen/sam_palette.h"
#include "runtime/files.h"
#include "screen/screen_file.h"
#include "screen/screen_renderer.h"
#include "screen/viewer_state.h"
#include "shrunk_save.h"

#include <cerrno>
#include <cstring>

namespace {

// The viewer's canvas size, which image 0 starts at.
constexpr int CANVAS_WIDTH = 512;
constexpr int CANVAS_HEIGHT = 384;

// What every conversion in this process writes.
PictureSize picture;

bool save_picture(const std::u16string& name) {
  if (is_shrunk(picture)) return save_image_shrunk(0, picture.width, picture.height, name.c_str()) != 0;
  return save_image(0, name.c_str(), ENCODER_PNG) != 0;
}

std::string reason(int error) { return std::strerror(error); }

// What went wrong, after the file's name. Scripts look for the first text.
std::string read_failure(const ScreenRead& read) {
  switch (read.status) {
    case ScreenReadStatus::folder: return "is a folder";
    case ScreenReadStatus::out_of_memory: return "cannot read: " + reason(ENOMEM);
    case ScreenReadStatus::unreadable:
      // Gone between measuring and opening: as if never there.
      if (read.error != ENOENT) return read.error ? "cannot read: " + reason(read.error) : "cannot read";
      [[fallthrough]];
    default: return "Bad size or file not exists";
  }
}

}  // namespace

bool start_converter(int scale) { return start_converter(picture_at_scale(scale)); }

bool start_converter(const PictureSize& size) {
  // The null backend has no display; the "Wrong size" box answers at once.
  native::init(nullptr);
  if (!create_general_heap()) {
    native::shutdown();
    return false;
  }
  start_runtime_services();
  init_screen_state();
  register_png_encoder();
  create_image(0, CANVAS_WIDTH, CANVAS_HEIGHT);
  build_palette();
  picture = size;
  viewer_state().scale = size.scale;
  return true;
}

void stop_converter() {
  release_screen_state();
  if (is_image(0)) free_image(0);
  stop_runtime_services();
  native::shutdown();
  destroy_general_heap();
}

std::string convert(const Conversion& conversion) {
  ScreenRead read = read_screen(native::from_utf8(conversion.input));
  if (read.status != ScreenReadStatus::loaded) return conversion.input + ": " + read_failure(read);
  if (!conversion.refusal.empty()) return conversion.refusal;
  render_screen();
  if (!save_picture(native::from_utf8(conversion.output))) {
    int error = file_error();
    return conversion.input + ": cannot write " + conversion.output + (error ? ": " + reason(error) : "");
  }
  return {};
}
