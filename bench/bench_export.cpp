// Export timings: saving a rendered-looking screen as PNG against deflating
// the same bytes with zlib alone, and reducing a picture to 256 colours.
#include "export/colour_reduction.h"
#include "export/encoder_registry.h"
#include "export/png_writer.h"
#include "runtime/general_heap.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 512;
constexpr int HEIGHT = 384;
constexpr int STRIDE = WIDTH * 3;  // already a multiple of 4

// One of the machine's 128 colours: two bits a channel plus a shared
// brightness bit.
void machine_colour(int index, std::uint8_t rgb[3]) {
  int bright = (index >> 3) & 1;
  int blue = ((index >> 4) & 1) << 1 | (index & 1);
  int red = ((index >> 5) & 1) << 1 | ((index >> 1) & 1);
  int green = ((index >> 6) & 1) << 1 | ((index >> 2) & 1);
  auto level = [bright](int v) { return static_cast<std::uint8_t>(v * 73 + bright * 36); };
  rgb[0] = level(red);
  rgb[1] = level(green);
  rgb[2] = level(blue);
}

struct Lcg {
  std::uint32_t state = 12345;
  std::uint32_t next() {
    state = state * 1103515245u + 12345u;
    return state >> 16;
  }
};

// A 256 × 192 screen of 16 colour numbers shown at double size, put together
// the way drawn screens are: dithered bands for skies and ground, solid and
// checkered shapes, 8 × 8 character tiles for text and detail, scattered
// single pixels; the colour table changes part-way down.
std::vector<std::uint8_t> screen_picture() {
  Lcg random;
  std::uint8_t screen[192][256];
  static const int bayer[2][2] = {{0, 2}, {3, 1}};
  for (int y = 0; y < 192; ++y)
    for (int x = 0; x < 256; ++x) {
      int band = y / 24;
      int shade = (y % 24) / 6;  // 0..3 down each band
      screen[y][x] = static_cast<std::uint8_t>((band + (bayer[y & 1][x & 1] < shade ? 1 : 0)) % 4);
    }
  for (int block = 0; block < 60; ++block) {
    int x0 = static_cast<int>(random.next() % 240), y0 = static_cast<int>(random.next() % 180);
    int w = 6 + static_cast<int>(random.next() % 40), h = 4 + static_cast<int>(random.next() % 30);
    auto a = static_cast<std::uint8_t>(4 + random.next() % 12), b = static_cast<std::uint8_t>(4 + random.next() % 12);
    bool dithered = random.next() % 3 == 0;
    for (int y = y0; y < y0 + h && y < 192; ++y)
      for (int x = x0; x < x0 + w && x < 256; ++x) screen[y][x] = dithered && ((x + y) & 1) ? b : a;
  }
  for (int tile = 0; tile < 160; ++tile) {
    int x0 = static_cast<int>(random.next() % 32) * 8, y0 = static_cast<int>(random.next() % 24) * 8;
    auto ink = static_cast<std::uint8_t>(random.next() % 16);
    for (int y = 0; y < 8; ++y) {
      std::uint32_t bits = random.next();
      for (int x = 0; x < 8; ++x)
        if (bits & (1u << x)) screen[y0 + y][x0 + x] = ink;
    }
  }
  for (int dot = 0; dot < 1500; ++dot)
    screen[random.next() % 192][random.next() % 256] = static_cast<std::uint8_t>(random.next() % 16);

  std::uint8_t table[2][16][3];
  for (int t = 0; t < 2; ++t)
    for (int i = 0; i < 16; ++i) machine_colour(static_cast<int>((i * 8 + t * 3 + 1) % 128), table[t][i]);

  // Bottom-up, blue-green-red, as images are stored.
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(STRIDE) * HEIGHT);
  for (int y = 0; y < HEIGHT; ++y) {
    std::uint8_t* row = pixels.data() + static_cast<std::size_t>(HEIGHT - 1 - y) * STRIDE;
    for (int x = 0; x < WIDTH; ++x) {
      const std::uint8_t* rgb = table[y / 2 >= 120 ? 1 : 0][screen[y / 2][x / 2]];
      row[x * 3 + 0] = rgb[2];
      row[x * 3 + 1] = rgb[1];
      row[x * 3 + 2] = rgb[0];
    }
  }
  return pixels;
}

const std::vector<std::uint8_t>& picture() {
  static const std::vector<std::uint8_t> pixels = screen_picture();
  return pixels;
}

std::u16string bench_file() {
  std::string path = "/tmp/tesselon-bench-export-" + std::to_string(::getpid()) + ".png";
  return {path.begin(), path.end()};
}

void BM_SavePng(benchmark::State& state) {
  create_general_heap();
  std::u16string name = bench_file();
  const std::vector<std::uint8_t>& pixels = picture();
  for (auto _ : state) {
    std::int32_t ok = write_png_rgb(name.c_str(), pixels.data(), WIDTH, HEIGHT, STRIDE, ROWS_BOTTOM_UP, 0, 24);
    if (!ok) state.SkipWithError("save failed");
  }
  std::remove(std::string(name.begin(), name.end()).c_str());
}
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond);

// The bytes the PNG encoder deflates: each top-first row behind filter byte 0,
// in red-green-blue order.
void BM_Compress2Baseline(benchmark::State& state) {
  const std::vector<std::uint8_t>& pixels = picture();
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(WIDTH * 3 + 1) * HEIGHT);
  for (int y = HEIGHT - 1; y >= 0; --y) {
    raw.push_back(0);
    const std::uint8_t* row = pixels.data() + static_cast<std::size_t>(y) * STRIDE;
    for (int x = 0; x < WIDTH; ++x) {
      raw.push_back(row[x * 3 + 2]);
      raw.push_back(row[x * 3 + 1]);
      raw.push_back(row[x * 3 + 0]);
    }
  }
  std::vector<std::uint8_t> out(compressBound(raw.size()));
  uLongf size = 0;
  for (auto _ : state) {
    size = static_cast<uLongf>(out.size());
    if (compress2(out.data(), &size, raw.data(), raw.size(), 9) != Z_OK) state.SkipWithError("compress2 failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_Compress2Baseline)->Unit(benchmark::kMillisecond);

void BM_ReduceColours(benchmark::State& state) {
  create_general_heap();
  const std::vector<std::uint8_t>& pixels = picture();
  for (auto _ : state) {
    ColourReduction* r = reduce_colours(pixels.data(), WIDTH, HEIGHT, 24, STRIDE, 8, 0);
    if (!r) {
      state.SkipWithError("reduction failed");
      break;
    }
    for (int y = 0; y < HEIGHT; ++y) benchmark::DoNotOptimize(reduced_row(r, y));
    free_reduction(r);
  }
}
BENCHMARK(BM_ReduceColours)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's median (or, without
// repetitions, its only run) for the comparison at the end.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text: the summary is read from logs more often than from a terminal.
  MedianReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        median_[name] = run.GetAdjustedRealTime();
      else if (run.run_type == Run::RT_Iteration && !median_.count(name))
        single_[name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  double time_of(const std::string& name) const {
    if (auto it = median_.find(name); it != median_.end()) return it->second;
    if (auto it = single_.find(name); it != single_.end()) return it->second;
    return 0;
  }

 private:
  std::map<std::string, double> median_;
  std::map<std::string, double> single_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  double png = reporter.time_of("BM_SavePng");
  double baseline = reporter.time_of("BM_Compress2Baseline");
  if (png > 0 && baseline > 0)
    std::printf("PNG save %.3f ms, compress2 baseline %.3f ms, ratio %.3f (target <= 1.15)\n", png, baseline,
                png / baseline);
  double reduce = reporter.time_of("BM_ReduceColours");
  if (reduce > 0) std::printf("Colour reduction to 256 colours %.3f ms\n", reduce);
  return 0;
}
