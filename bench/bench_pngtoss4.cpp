// pngtoss4 on a phone's photo: a 12-megapixel JPEG (4000 x 3000, quality 90)
// that its camera says to turn a quarter clockwise (Exif orientation 6),
// made here with photo-like content (smooth light, texture, edges). The
// whole process, start to exit, and how it splits: reading the picture (a
// JPEG decoded at 1/8, turned as it is read), and fitting and encoding it.
// Baselines in the same run: gdk-pixbuf decoding the same JPEG at full size
// (what reading it plainly costs), and the process doing nothing but
// starting and printing its version.
#include "bench_processes.h"
#include "camera_jpeg.h"
#include "picture_reader.h"

#include "encoder/fit_to_screen.h"
#include "encoder/screen_encoder.h"

#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int WIDTH = 4000, HEIGHT = 3000;

// Light falling off across a scene, a texture of fine value noise, and hard
// edges, so that the JPEG holds what a photo's does.
std::vector<std::uint8_t> photo() {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(std::size_t{WIDTH} * HEIGHT * 3);
  std::uint32_t noise = 12345;
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const double grain = static_cast<double>(noise >> 24) / 255.0 * 24 - 12;
      const double light = 0.55 + 0.45 * std::sin(x / 700.0) * std::cos(y / 530.0);
      const bool wall = (x / 600 + y / 450) % 3 == 0;
      const double r = (wall ? 190 : 90) * light + grain, g = (wall ? 150 : 130) * light + grain,
                   b = (wall ? 110 : 170) * light + grain;
      for (double v : {r, g, b}) rgb.push_back(static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))));
    }
  return rgb;
}

class PhotoFolder : public BenchFolder {
 public:
  PhotoFolder() : BenchFolder("bench-pngtoss4") {
    const std::vector<std::uint8_t> jpeg = camera_jpeg(photo(), WIDTH, HEIGHT, 6, 90);
    std::ofstream(photo_path(), std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
  }
  std::string photo_path() const { return path() + "/photo.jpg"; }
  std::string screen_path() const { return path() + "/photo.ss4"; }
};

const PhotoFolder& folder() {
  static const PhotoFolder made;
  return made;
}

bool run_pngtoss4(std::vector<std::string> args) { return run_to_end(PNGTOSS4_PATH, std::move(args)); }

void WholeProcess(benchmark::State& state) {
  const PhotoFolder& f = folder();
  for (auto _ : state)
    if (!run_pngtoss4({"-o", f.screen_path(), f.photo_path()})) state.SkipWithError("pngtoss4 failed");
  state.counters["jpeg_KiB"] = static_cast<double>(fs::file_size(f.photo_path()) / 1024);
}
BENCHMARK(WholeProcess)->UseRealTime()->Unit(benchmark::kMillisecond);

void ProcessStartOnly(benchmark::State& state) {
  for (auto _ : state)
    if (!run_pngtoss4({"--version"})) state.SkipWithError("pngtoss4 failed");
}
BENCHMARK(ProcessStartOnly)->UseRealTime()->Unit(benchmark::kMillisecond);

void ReadingThePicture(benchmark::State& state) {
  const PhotoFolder& f = folder();
  for (auto _ : state) {
    PictureRead read = read_picture(f.photo_path(), false);
    if (read.status != PictureReadStatus::read) state.SkipWithError("not read");
    benchmark::DoNotOptimize(read.view.pixels);
  }
}
BENCHMARK(ReadingThePicture)->Unit(benchmark::kMillisecond);

void FittingAndEncoding(benchmark::State& state) {
  const PictureRead read = read_picture(folder().photo_path(), false);
  if (read.status != PictureReadStatus::read) state.SkipWithError("not read");
  for (auto _ : state) {
    EncodedScreen screen = encode_screen(fit_to_screen(read.view, false), {});
    benchmark::DoNotOptimize(screen.file.data());
  }
}
BENCHMARK(FittingAndEncoding)->Unit(benchmark::kMillisecond);

void FullSizeDecode(benchmark::State& state) {
  const std::string path = folder().photo_path();
  for (auto _ : state) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    if (!pixbuf) state.SkipWithError("gdk-pixbuf failed");
    benchmark::DoNotOptimize(pixbuf);
    if (pixbuf) g_object_unref(pixbuf);
  }
}
BENCHMARK(FullSizeDecode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
