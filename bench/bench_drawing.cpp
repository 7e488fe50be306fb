// Drawing speed on the viewer's own workload: a double-size screen painted as
// 49,152 rectangles of 2 x 2 into a 512 x 384 image, the whole image filled
// by one box on 24- and 32-bit pixels, each next to a plain memset of the
// same buffer, and one 512 x 384 image drawn onto another.
#include "image/drawing.h"
#include "image/drawing_context.h"
#include "image/images.h"
#include "native/graphics/bitmap.h"
#include "runtime/general_heap.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int SCREEN_WIDTH = 256;
constexpr int SCREEN_HEIGHT = 192;
// The bytes of a 512 x 384 image, which has no row padding at either depth.
constexpr std::size_t image_bytes(int depth) { return std::size_t{512} * 384 * static_cast<std::size_t>(depth / 8); }
constexpr std::size_t BUFFER_BYTES = image_bytes(24);

// Sixteen look-up colours as a screen would use them (0x00BBGGRR).
constexpr std::array<std::uint32_t, 16> CLUT = {0x000000, 0x220000, 0x002200, 0x222200, 0x000022, 0x220022,
                                                0x002222, 0x222222, 0x8800FF, 0x00FF88, 0xFF8800, 0x44AAFF,
                                                0xFFFFFF, 0x7F7F7F, 0x0000FF, 0x00FF00};

// A pseudo-random 4-bit screen: neighbouring pixels mostly differ, as in a
// dithered picture, so the front colour changes on nearly every call.
std::vector<std::uint8_t> make_screen() {
  std::vector<std::uint8_t> screen(SCREEN_WIDTH * SCREEN_HEIGHT);
  std::uint32_t state = 12345;
  for (auto& pixel : screen) {
    state = state * 1664525 + 1013904223;
    pixel = static_cast<std::uint8_t>(state >> 28);
  }
  return screen;
}

struct Runtime {
  Runtime() {
    create_general_heap();
    init_image_services();
    init_images();
    init_drawing();
  }
  ~Runtime() {
    free_all_images();
    shutdown_image_services();
    destroy_general_heap();
  }
};

std::uint8_t* bits_of(ObjectId number) {
  native::DibSection section{};
  native::get_dib_section(reinterpret_cast<void*>(image_id(number)), section);
  return static_cast<std::uint8_t*>(section.bitmap.bits);
}

// One render: the drawing pass is opened and closed inside the timed loop,
// as the viewer does for every picture.
void BM_box_double_size(benchmark::State& state) {
  Runtime runtime;
  create_image(0, 512, 384);
  const std::vector<std::uint8_t> screen = make_screen();
  for (auto _ : state) {
    start_drawing(image_output(0));
    const std::uint8_t* pixel = screen.data();
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
      for (int x = 0; x < SCREEN_WIDTH; ++x) box(x * 2, y * 2, 2, 2, CLUT[*pixel++]);
    stop_drawing();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(BUFFER_BYTES));
}
BENCHMARK(BM_box_double_size)->Unit(benchmark::kMicrosecond);

// The floor: the same bytes written by one memset, on a 24- or 32-bit image.
void BM_memset_baseline(benchmark::State& state) {
  Runtime runtime;
  const int depth = static_cast<int>(state.range(0));
  create_image(0, 512, 384, depth);
  const std::size_t bytes = image_bytes(depth);
  std::uint8_t* bits = bits_of(0);
  int value = 0;
  for (auto _ : state) {
    std::memset(bits, value++ & 0xFF, bytes);
    benchmark::DoNotOptimize(bits);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_memset_baseline)->ArgName("depth")->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);

// The whole image as one box in the default mode; the pass is opened outside
// the timed loop, so only the fill is measured. The colour alternates so that
// every call prepares it again.
void BM_box_fill(benchmark::State& state) {
  Runtime runtime;
  const int depth = static_cast<int>(state.range(0));
  create_image(0, 512, 384, depth);
  const std::size_t bytes = image_bytes(depth);
  start_drawing(image_output(0));
  std::size_t i = 0;
  for (auto _ : state) {
    box(0, 0, 512, 384, CLUT[i++ & 15]);
    benchmark::ClobberMemory();
  }
  stop_drawing();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_box_fill)->ArgName("depth")->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);

// One image onto another of the same size; the drawing pass is opened
// outside the timed loop, so only the blit is measured.
void BM_draw_image(benchmark::State& state) {
  Runtime runtime;
  create_image(0, 512, 384);
  create_image(1, 512, 384, 24, 0x00336699);
  const ObjectId picture = image_id(1);
  start_drawing(image_output(0));
  for (auto _ : state) {
    draw_image(picture, 0, 0);
    benchmark::ClobberMemory();
  }
  stop_drawing();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(BUFFER_BYTES));
}
BENCHMARK(BM_draw_image)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
