// Opening a screen as the viewer does: load_screen reads the file and
// renders it (49,152 boxes into image 0, then image 0 onto the canvas), and
// render_screen alone, as a scale change runs it. Both at scale 2 and 1, on
// the headless window system with the viewer's window and canvas, so the
// canvas pass really draws. Rendering is measured on the bundled sample and
// on a dithered screen, whose neighbouring pixels mostly differ, next to a
// memset of the canvas's bytes.
#include "app/viewer_services.h"
#include "image/images.h"
#include "native/backends/headless/headless.h"
#include "native/system/text.h"
#include "native/windowing/window.h"
#include "runtime/general_heap.h"
#include "screen/sam_palette.h"
#include "screen/screen_decoder.h"
#include "screen/screen_file.h"
#include "screen/screen_view.h"
#include "screen/viewer_state.h"
#include "ui/canvas.h"
#include "ui/windows.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::u16string SAMPLE = native::from_utf8(std::string(SAMPLES_DIR) + "/raster_bars.ss4");

// A pseudo-random screen in a temporary folder of its own: every pixel an
// independent look-up entry, sixteen distinct colours, and a line change
// every eight rows so the rows' tables differ too.
class DitheredFile {
 public:
  DitheredFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tesselon-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    folder_ = pattern;
    std::vector<std::uint8_t> bytes(LINE_TABLE_OFFSET, 0);
    std::uint32_t state = 12345;
    for (std::int32_t i = 0; i < SCREEN_BYTES; ++i) {
      state = state * 1664525 + 1013904223;
      bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(state >> 24);
    }
    for (int i = 0; i < 16; ++i)
      bytes[static_cast<std::size_t>(CLUT_OFFSET + i)] = static_cast<std::uint8_t>(i * 8 + 3);
    for (int line = 7; line < SCREEN_HEIGHT - 1; line += 8) {
      const int entry = line / 8 % 16;
      bytes.insert(bytes.end(), {static_cast<std::uint8_t>(line), static_cast<std::uint8_t>(entry),
                                 static_cast<std::uint8_t>((line * 5) & 0x7F), 0});
    }
    bytes.push_back(LINE_TABLE_END);
    const std::filesystem::path file = folder_ / "dithered.ss4";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    name_ = native::from_utf8(file.string());
  }
  ~DitheredFile() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  const std::u16string& name() const { return name_; }

 private:
  std::filesystem::path folder_;
  std::u16string name_;
};

// The viewer's window and canvas with one screen loaded at the scale the
// benchmark's first argument gives.
class ViewerFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State& state) override {
    native::headless::install();
    create_general_heap();
    start_runtime_services(viewer_services());
    init_screen_state();
    int menu_height = native::get_system_metrics(native::SM_CYMENU);
    open_window(0, 0, 0, 512, 384 + menu_height, u"Tesselon", WINDOW_CENTER_SCREEN);
    create_canvas(0, 0, 0, 512, 384);
    create_image(0, 512, 384);
    build_palette();
    viewer_state().scale = static_cast<std::int32_t>(state.range(0));
    load();
  }
  void TearDown(const benchmark::State&) override {
    release_screen_state();
    free_image(0);
    stop_runtime_services(viewer_services());
    native::shutdown();
    destroy_general_heap();
  }

 protected:
  virtual void load() { load_screen(SAMPLE); }
};

// The file is only needed while it loads: rendering works from memory.
class DitheredFixture : public ViewerFixture {
 protected:
  void load() override {
    DitheredFile file;
    load_screen(file.name());
  }
};

BENCHMARK_DEFINE_F(ViewerFixture, LoadScreen)(benchmark::State& state) {
  for (auto _ : state) load_screen(SAMPLE);
  if (viewer_state().file_size <= 0) state.SkipWithError("the sample did not load");
}
BENCHMARK_REGISTER_F(ViewerFixture, LoadScreen)->ArgName("scale")->Arg(2)->Arg(1)->Unit(benchmark::kMicrosecond);

BENCHMARK_DEFINE_F(ViewerFixture, RenderScreen)(benchmark::State& state) {
  for (auto _ : state) render_screen();
}
BENCHMARK_REGISTER_F(ViewerFixture, RenderScreen)->ArgName("scale")->Arg(2)->Arg(1)->Unit(benchmark::kMicrosecond);

BENCHMARK_DEFINE_F(DitheredFixture, RenderScreen)(benchmark::State& state) {
  if (viewer_state().file_size <= 0) state.SkipWithError("the dithered screen did not load");
  for (auto _ : state) render_screen();
}
BENCHMARK_REGISTER_F(DitheredFixture, RenderScreen)->ArgName("scale")->Arg(2)->Arg(1)->Unit(benchmark::kMicrosecond);

// The floor for a render: the canvas's bytes written by one memset.
void BM_memset_canvas(benchmark::State& state) {
  std::vector<std::uint8_t> canvas(std::size_t{CANVAS_WIDTH} * CANVAS_HEIGHT * 3);
  int value = 0;
  for (auto _ : state) {
    std::memset(canvas.data(), value++ & 0xFF, canvas.size());
    benchmark::DoNotOptimize(canvas.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_memset_canvas)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
