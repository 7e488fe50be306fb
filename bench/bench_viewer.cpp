// Opening a screen as the viewer does: load_screen reads the file and
// renders it (49,152 boxes into image 0, then image 0 onto the canvas), and
// render_screen alone, as a scale change runs it. Both at scale 2 and 1, on
// the headless window system with the viewer's window and canvas, so the
// canvas pass really draws. Rendering is measured on the bundled sample and
// on two screens of the photo-like corpus, next to a memset of the canvas's
// bytes.
#include "app/viewer_services.h"
#include "image/images.h"
#include "native/backends/headless/headless.h"
#include "native/system/text.h"
#include "native/windowing/window.h"
#include "runtime/general_heap.h"
#include "screen/sam_palette.h"
#include "screen/screen_file.h"
#include "screen/screen_view.h"
#include "screen/viewer_state.h"
#include "ui/canvas.h"
#include "ui/windows.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const std::u16string SAMPLE = native::from_utf8(std::string(SAMPLES_DIR) + "/raster_bars.ss4");

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
    load(state);
  }
  void TearDown(const benchmark::State&) override {
    release_screen_state();
    free_image(0);
    stop_runtime_services(viewer_services());
    native::shutdown();
    destroy_general_heap();
  }

 protected:
  virtual void load(const benchmark::State&) { load_screen(SAMPLE); }
};

// A screen of the photo-like corpus, named by the benchmark's second
// argument: dithered, so neighbouring pixels mostly differ and the colour
// changes on most boxes, with a line change on most rows.
class CorpusFixture : public ViewerFixture {
 protected:
  void load(const benchmark::State& state) override {
    std::string name = CORPUS_DIR "/photo_";
    if (state.range(1) < 10) name += '0';
    name += std::to_string(state.range(1));
    name += ".ss4";
    load_screen(native::from_utf8(name));
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

BENCHMARK_DEFINE_F(CorpusFixture, RenderScreen)(benchmark::State& state) {
  if (viewer_state().file_size <= 0) state.SkipWithError("the corpus screen did not load: build the corpus target");
  for (auto _ : state) render_screen();
}
BENCHMARK_REGISTER_F(CorpusFixture, RenderScreen)
    ->ArgNames({"scale", "photo"})
    ->ArgsProduct({{2, 1}, {1, 11}})
    ->Unit(benchmark::kMicrosecond);

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
