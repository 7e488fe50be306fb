#include "screen/screen_file.h"

#include "screen/screen_renderer.h"
#include "screen/viewer_state.h"

#include "runtime/files.h"
#include "runtime/memory_blocks.h"
#include "ui/message_box.h"

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr ObjectId SCREEN_FILE = 0;

void forget_file() {
  ViewerState& v = viewer_state();
  v.file_size = -1;
  v.file_name.clear();
}

void reject(std::u16string_view name) {
  std::u16string text = u"Bad size or file not exists\n";
  text += name;
  message_box(u"Wrong size", text, 0);
  forget_file();
}

}  // namespace

void init_screen_state() {
  ViewerState& v = viewer_state();
  v = ViewerState{};
  v.file_data = static_cast<std::uint8_t*>(allocate_memory(1));
}

void release_screen_state() {
  ViewerState& v = viewer_state();
  free_memory(v.file_data);
  v.file_data = nullptr;
  forget_file();
}

void load_screen(std::u16string_view name) {
  ViewerState& v = viewer_state();
  forget_file();
  std::int64_t size = query_file_size(name);
  // Sizes that do not fit the 32-bit file size are refused rather than
  // truncated into a different, smaller file.
  if (size < MIN_SS4_SIZE || size > std::numeric_limits<std::int32_t>::max()) {
    reject(name);
    return;
  }
  auto* grown = static_cast<std::uint8_t*>(resize_memory(v.file_data, size));
  if (!grown) {
    reject(name);
    return;
  }
  v.file_data = grown;
  v.file_size = static_cast<std::int32_t>(size);
  v.file_name = name;
  // A file that cannot be opened, or that shrank since its size was taken,
  // would leave the buffer holding another file's bytes: it counts as bad.
  if (!open_file_for_reading(SCREEN_FILE, name)) {
    reject(name);
    return;
  }
  std::int64_t read = read_file_data(SCREEN_FILE, v.file_data, size);
  close_file(SCREEN_FILE);
  if (read != size) {
    reject(name);
    return;
  }
  render_screen();
}
