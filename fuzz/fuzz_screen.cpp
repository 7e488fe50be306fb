// Reads and paints arbitrary bytes as a screen file, the whole way from a
// file to a picture as the converter goes, at scale 1 and 2 in turn. The runtime starts once per process
// (it has process-wide state) and stops as the process exits.
#include "conversion.h"

#include "image/images.h"
#include "native/system/text.h"
#include "screen/screen_file.h"
#include "screen/screen_painter.h"
#include "screen/viewer_state.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string screen_path;

void write_input(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(screen_path.c_str(), "wb");
  if (!file) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
}

}  // namespace

// Once per process, before any input (and outside libFuzzer's per-input leak
// accounting, since the runtime keeps what it starts until the process ends).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The converter's start-up: the viewer's, without a display.
  if (!start_converter(2)) std::abort();

  char folder[] = "/tmp/fuzz_screen-XXXXXX";
  if (!mkdtemp(folder)) std::abort();
  screen_path = std::string(folder) + "/input.ss4";
  // Stopped before the native layer's own statics go, so that what the
  // runtime holds is released rather than left for the leak check.
  std::atexit([] {
    stop_converter();
    std::remove(screen_path.c_str());
    rmdir(screen_path.substr(0, screen_path.rfind('/')).c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static int runs = 0;
  write_input(data, size);
  viewer_state().scale = 1 + (runs++ & 1);
  const std::int32_t size_before = viewer_state().file_size;
  if (read_screen(native::from_utf8(screen_path)).status == ScreenReadStatus::loaded && !paint_loaded_screen())
    std::abort();
  // A rejected file must leave the screen loaded before as it was; an
  // accepted one is taken at its size and painted.
  const ViewerState& v = viewer_state();
  bool accepted = size >= static_cast<std::size_t>(MIN_SS4_SIZE);
  if (accepted ? v.file_size != static_cast<std::int32_t>(size) || !is_image(0) : v.file_size != size_before)
    std::abort();
  return 0;
}
