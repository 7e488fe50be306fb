#include "screen_fixture.h"

#include "image/images.h"
#include "runtime/files.h"
#include "runtime/memory_blocks.h"
#include "screen/sam_palette.h"
#include "screen/screen_file.h"
#include "screen/screen_view.h"
#include "ui/canvas.h"
#include "ui/gadgets.h"
#include "ui/windows.h"

#include "native/backends/headless/headless.h"
#include "native/graphics/bitmap.h"
#include "native/windowing/window.h"

std::vector<std::uint8_t> make_screen(std::uint8_t (*pixel)(int x, int y), const std::vector<std::uint8_t>& clut,
                                      const std::vector<LineRecord>& records, bool terminate) {
  std::vector<std::uint8_t> bytes(LINE_TABLE_OFFSET, 0);
  for (int y = 0; y < 192; ++y)
    for (int k = 0; k < 128; ++k)
      bytes[static_cast<std::size_t>(y * 128 + k)] =
          static_cast<std::uint8_t>(pixel(2 * k, y) << 4 | pixel(2 * k + 1, y));
  for (std::size_t i = 0; i < clut.size() && i < 16; ++i) bytes[CLUT_OFFSET + i] = clut[i];
  for (const LineRecord& r : records) bytes.insert(bytes.end(), {r.line, r.entry, r.colour, r.unused});
  if (terminate) bytes.push_back(LINE_TABLE_END);
  return bytes;
}

std::uint32_t shown(std::uint32_t sam_index) {
  Colour c = sam_colour(static_cast<int>(sam_index & 0x7F));
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

void ScreenTest::SetUp() {
  UiTest::SetUp();
  init_screen_state();
  build_palette();
  open_window(0, 0, 0, 512, 384, u"Screen", 0x00CA0001);
  create_canvas(0, 0, 0, 512, 384);
  create_image(0, 512, 384);
  events();
}

void ScreenTest::TearDown() {
  release_screen_state();
  UiTest::TearDown();
}

RuntimeServices ScreenTest::services() const {
  RuntimeServices s = UiTest::services();
  s.memory_blocks = s.files = true;
  return s;
}

std::u16string ScreenTest::load(const std::vector<std::uint8_t>& bytes, const std::string& name) {
  write_whole_file(temp_path(name), bytes);
  load_screen(temp_path16(name));
  return temp_path16(name);
}

std::uint32_t ScreenTest::image_pixel(int x, int y) {
  const auto* bitmap = reinterpret_cast<const native::Bitmap*>(image_id(0));
  return native::read_pixel(*bitmap, x, y) & 0xFFFFFF;
}

std::uint32_t ScreenTest::canvas_pixel(int x, int y) { return native::headless::pixel(gadget_handle(0), x, y); }
