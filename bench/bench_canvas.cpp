// Mouse moves over a canvas turned into canvas events: each move is injected,
// its message fetched and dispatched, and the event it raised taken, as the
// event loop does for a busy pointer.
#include "image/drawing_context.h"
#include "image/images.h"
#include "runtime/general_heap.h"
#include "ui/canvas.h"
#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/gadget_list.h"
#include "ui/window_services.h"
#include "ui/windows.h"

#include "native/backends/headless/headless.h"
#include "native/windowing/message_queue.h"
#include "native/windowing/window.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int MOVES = 100000;

std::intptr_t plain_procedure(native::Window* window, std::uint32_t message, std::uintptr_t wparam,
                              std::intptr_t lparam) {
  return native::def_window_proc(window, message, wparam, lparam);
}

void dispatch_pending() {
  native::Message message;
  while (native::peek_message(message, nullptr, 0, 0, native::PM_REMOVE)) native::dispatch_message(message);
}

class CanvasFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State&) override {
    create_general_heap();
    native::headless::install();
    start_runtime_services(gadget_services());
    native::WindowClassInfo info{};
    info.procedure = plain_procedure;
    info.name = u"BenchParent";
    native::register_class(info);
    parent_ = native::create_window(0, u"BenchParent", u"", native::WS_OVERLAPPEDWINDOW | native::WS_VISIBLE, 0, 0, 600,
                                    500, nullptr, nullptr, 0);
    native::set_prop(parent_, WINDOW_ID_PROPERTY, reinterpret_cast<void*>(1));
    use_gadget_list(parent_);
    create_canvas(0, 0, 0, 512, 384);
    canvas_ = gadget_handle(0);
    dispatch_pending();
    while (take_event()) {
    }
  }
  void TearDown(const benchmark::State&) override {
    native::destroy_window(parent_);
    stop_runtime_services(gadget_services());
    native::shutdown();
    destroy_general_heap();
  }

 protected:
  native::Window* parent_ = nullptr;
  native::Window* canvas_ = nullptr;
};

BENCHMARK_DEFINE_F(CanvasFixture, MouseMovesToEvents)(benchmark::State& state) {
  native::Point points[500];
  for (int i = 0; i < 500; ++i) points[i] = native::headless::client_point(canvas_, i, i % 384);
  std::int64_t taken = 0;
  for (auto _ : state) {
    for (int i = 0; i < MOVES; ++i) {
      native::headless::mouse_move(points[i % 500]);
      native::Message message;
      if (native::peek_message(message, nullptr, 0, 0, native::PM_REMOVE)) native::dispatch_message(message);
      while (take_event()) ++taken;
    }
  }
  benchmark::DoNotOptimize(taken);
  state.SetItemsProcessed(taken);
}

BENCHMARK_REGISTER_F(CanvasFixture, MouseMovesToEvents)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
