// The viewer samples Escape as each event comes out of the event wait. What
// that costs per event: mouse moves over the viewer's canvas, taken through
// the event wait with and without the query, on the headless window system
// (the core's own key state) and on an X display through the GTK backend
// (a round trip to the X server a query). The display cases skip themselves
// when there is no display.
#include "app/viewer_services.h"
#include "runtime/general_heap.h"
#include "ui/canvas.h"
#include "ui/event_wait.h"
#include "ui/gadgets.h"
#include "ui/windows.h"

#include "native/backends/gtk/gtk_backend.h"
#include "native/backends/headless/headless.h"
#include "native/windowing/input_events.h"
#include "native/windowing/input_state.h"
#include "native/windowing/window.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int MOVES = 10000;
enum Display { HEADLESS, X11 };

class SamplingFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State& state) override {
    display_ = static_cast<Display>(state.range(0));
    if (display_ == X11) {
      int argc = 1;
      char name[] = "bench_escape_sampling";
      char* args[] = {name, nullptr};
      char** argv = args;
      if (!native::gtk::install(&argc, &argv, name)) return;
    } else {
      native::headless::install();
    }
    ready_ = true;
    create_general_heap();
    start_runtime_services(viewer_services());
    int menu_height = native::get_system_metrics(native::SM_CYMENU);
    open_window(0, 0, 0, 512, 384 + menu_height, u"Tesselon", WINDOW_CENTER_SCREEN);
    create_canvas(0, 0, 0, 512, 384);
    while (wait_window_event(0)) {
    }
  }
  void TearDown(const benchmark::State&) override {
    if (!ready_) return;
    stop_runtime_services(viewer_services());
    destroy_general_heap();
    if (display_ == X11) {
      native::gtk::uninstall();
    } else {
      native::shutdown();
    }
    ready_ = false;
  }

 protected:
  Display display_ = HEADLESS;
  bool ready_ = false;
};

BENCHMARK_DEFINE_F(SamplingFixture, MouseMovesThroughEventWait)(benchmark::State& state) {
  if (!ready_) {
    state.SkipWithError("no display");
    return;
  }
  const bool sample = state.range(1);
  native::Point points[500];
  for (int i = 0; i < 500; ++i) {
    points[i] = {i, i % 384};
    native::client_to_screen(gadget_handle(0), points[i]);
  }
  std::int64_t events = 0, escapes = 0;
  for (auto _ : state) {
    for (int i = 0; i < MOVES; ++i) {
      native::input_mouse_move(points[i % 500]);
      while (wait_window_event(0)) {
        ++events;
        if (sample && (native::get_async_key_state(native::VK_ESCAPE) & 0x8000)) ++escapes;
      }
    }
  }
  benchmark::DoNotOptimize(escapes);
  state.SetItemsProcessed(events);
}

BENCHMARK_REGISTER_F(SamplingFixture, MouseMovesThroughEventWait)
    ->ArgNames({"x11", "sample"})
    ->ArgsProduct({{HEADLESS, X11}, {0, 1}})
    ->UseRealTime()  // a query waits for the X server, which the CPU time of this process leaves out
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
