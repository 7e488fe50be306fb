// ss4topng as a whole process, start to exit: one file of the photo-like
// corpus at a time and 200 of them with two jobs, each in the default
// compact file and with --rgb (the viewer's own file) as the baseline; and
// files far larger than any picture needs (a sparse 2 GiB - 1 byte file, and
// a dense 256 MiB line-change table that never lets reading stop early),
// against one flat sample, with the peak memory of the process; one screen
// of each mode (mode 4's the yardstick of the others), and --animate of
// flashing screens; and a full disk image of 20 screens against the same
// 20 screens as loose files. Wall-clock time, since the work happens in
// child processes.
#include "bench_processes.h"
#include "disk_writer.h"
#include "sam_screens.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string SAMPLE = std::string(SAMPLES_DIR) + "/raster_bars.ss4";

// Runs it to the end; false unless it converted everything. `peak_kib` gets
// its peak resident memory.
bool run_ss4topng(std::vector<std::string> args, long* peak_kib = nullptr) {
  return run_to_end(SS4TOPNG_PATH, std::move(args), peak_kib);
}

struct Folder : BenchFolder {
  Folder() : BenchFolder("bench-ss4topng") {}
};

// The corpus screens, in name order.
std::vector<std::string> corpus() {
  std::vector<std::string> screens;
  for (const auto& entry : fs::directory_iterator(CORPUS_DIR)) screens.push_back(entry.path().string());
  std::sort(screens.begin(), screens.end());
  return screens;
}

// The style's options in front of `args`.
std::vector<std::string> styled(const char* style, std::vector<std::string> args) {
  if (std::string(style) == "rgb") args.insert(args.begin(), "--rgb");
  return args;
}

// One process per iteration, each on the next corpus screen, at scale 2.
void CorpusFilePerProcess(benchmark::State& state, const char* style) {
  Folder folder;
  const std::vector<std::string> screens = corpus();
  if (screens.empty()) state.SkipWithError("no corpus screens in " CORPUS_DIR);
  std::size_t next = 0;
  for (auto _ : state) {
    const std::string& screen = screens[next++ % screens.size()];
    if (!run_ss4topng(styled(style, {"-o", folder.path() + "/out.png", screen})))
      state.SkipWithError("ss4topng failed");
  }
}
BENCHMARK_CAPTURE(CorpusFilePerProcess, compact, "compact")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CorpusFilePerProcess, rgb, "rgb")->UseRealTime()->Unit(benchmark::kMillisecond);

void TwoHundredCorpusFilesTwoJobs(benchmark::State& state, const char* style) {
  Folder folder;
  fs::create_directory(folder.path() + "/out");
  const std::vector<std::string> screens = corpus();
  if (screens.empty()) state.SkipWithError("no corpus screens in " CORPUS_DIR);
  std::vector<std::string> args = {"-f", "-j", "2", "-o", folder.path() + "/out"};
  for (std::size_t i = 0; i < 200 && !screens.empty(); ++i) {
    std::string name = folder.path() + "/screen";
    name += std::to_string(i);
    name += ".ss4";
    fs::copy_file(screens[i % screens.size()], name);
    args.push_back(name);
  }
  for (auto _ : state)
    if (!run_ss4topng(styled(style, args))) state.SkipWithError("ss4topng failed");
}
BENCHMARK_CAPTURE(TwoHundredCorpusFilesTwoJobs, compact, "compact")
    ->UseRealTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TwoHundredCorpusFilesTwoJobs, rgb, "rgb")
    ->UseRealTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void convert_repeatedly(benchmark::State& state, const std::string& input, const Folder& folder) {
  std::vector<std::string> args = {"-o", folder.path() + "/out.png", input};
  long peak_kib = 0;
  for (auto _ : state)
    if (!run_ss4topng(args, &peak_kib)) state.SkipWithError("ss4topng failed");
  state.counters["peak_KiB"] = static_cast<double>(peak_kib);
}

// The baseline for the large files below: the flat sample, default file.
void OneFile(benchmark::State& state) {
  Folder folder;
  convert_repeatedly(state, SAMPLE, folder);
}
BENCHMARK(OneFile)->UseRealTime()->Unit(benchmark::kMillisecond);

void SparseFileOf2GiBLessOneByte(benchmark::State& state) {
  Folder folder;
  std::string huge = folder.path() + "/huge.ss4";
  fs::copy_file(SAMPLE, huge);
  fs::resize_file(huge, (std::uintmax_t{1} << 31) - 1);
  convert_repeatedly(state, huge, folder);
}
BENCHMARK(SparseFileOf2GiBLessOneByte)->UseRealTime()->Unit(benchmark::kMillisecond);

// Every record changes row 1 again, so no row but the first is ever settled
// and the whole table must be read.
void DenseTableOf256MiB(benchmark::State& state) {
  Folder folder;
  std::string long_table = folder.path() + "/long.ss4";
  std::vector<char> bytes(std::size_t{1} << 20);
  for (std::size_t i = 0; i < bytes.size(); i += 4) bytes[i + 1] = 3;
  {
    std::ifstream sample(SAMPLE, std::ios::binary);
    std::vector<char> head(0x6028);
    sample.read(head.data(), static_cast<std::streamsize>(head.size()));
    std::ofstream out(long_table, std::ios::binary);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    for (int i = 0; i < 256; ++i) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  convert_repeatedly(state, long_table, folder);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (std::int64_t{256} << 20));
}
BENCHMARK(DenseTableOf256MiB)->UseRealTime()->Unit(benchmark::kMillisecond);

// A dithered screen of the mode with 40 line records, decoded and written as
// the default PNG at scale 2: each mode's median against mode 4's.
void ScreenOfMode(benchmark::State& state) {
  Folder folder;
  const int mode = static_cast<int>(state.range(0));
  const std::string screen = folder.path() + "/screen.ss" + std::to_string(mode);
  const std::vector<std::uint8_t> bytes = sam_screen_file({"bench", mode, 11, false, false, false, 40});
  std::ofstream(screen, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const std::vector<std::string> args = {"-o", folder.path() + "/out.png", screen};
  for (auto _ : state)
    if (!run_ss4topng(args)) state.SkipWithError("ss4topng failed");
}
BENCHMARK(ScreenOfMode)->DenseRange(1, 4)->UseRealTime()->Unit(benchmark::kMillisecond);

// --animate at scale 2: a mode 4 screen whose palette flashes (two frames),
// and a mode 1 screen whose palette and attributes both flash (the longest
// cycle, 544 display frames in 64 steps).
void AnimatedGif(benchmark::State& state, ScreenRecipe recipe) {
  Folder folder;
  const std::string screen = folder.path() + "/screen.ss" + std::to_string(recipe.mode);
  const std::vector<std::uint8_t> bytes = sam_screen_file(recipe);
  std::ofstream(screen, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const std::vector<std::string> args = {"--animate", "-o", folder.path() + "/out.gif", screen};
  for (auto _ : state)
    if (!run_ss4topng(args)) state.SkipWithError("ss4topng failed");
}
BENCHMARK_CAPTURE(AnimatedGif, palette_mode4, ScreenRecipe{"bench", 4, 12, true, false, false, 40})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AnimatedGif, palette_and_attributes_mode1, ScreenRecipe{"bench", 1, 13, true, true, false, 40})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// A full disk: 14 screens of the photo-like corpus and two of each other
// mode with 40 line records, each also a loose file as the disk holds it
// (header and data), so that the two rows below convert the same screens.
struct TwentyScreenFiles {
  std::string disk;
  std::vector<std::string> loose;

  explicit TwentyScreenFiles(const Folder& folder) {
    DiskWriter writer;
    std::vector<DiskEntry> entries;
    const std::vector<std::string> photos = corpus();
    for (std::size_t i = 0; i < 14 && i < photos.size(); ++i) {
      std::ifstream in(photos[i], std::ios::binary);
      std::vector<std::uint8_t> body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      entries.push_back(sam_screen_entry("photo " + std::to_string(i + 1), 4, body));
    }
    for (int mode = 1; mode <= 3; ++mode)
      for (std::uint32_t seed = 1; seed <= 2; ++seed)
        entries.push_back(sam_screen_entry("mode" + std::to_string(mode) + "-" + std::to_string(seed), mode,
                                           sam_screen_file({"bench", mode, seed, true, mode < 3, false, 40})));
    for (const DiskEntry& entry : entries) {
      writer.add(entry);
      std::vector<std::uint8_t> file = entry.header;
      file.insert(file.end(), entry.data.begin(), entry.data.end());
      loose.push_back(folder.path() + "/" + entry.name);
      std::ofstream(loose.back(), std::ios::binary)
          .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    disk = folder.path() + "/twenty.mgt";
    const std::vector<std::uint8_t> image = writer.mgt();
    std::ofstream(disk, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  }
};

// The disk as one process, its 20 PNGs replaced each time; the yardstick
// is the loose files, all 20 in one process too.
void TwentyScreens(benchmark::State& state, bool on_disk) {
  Folder folder;
  const TwentyScreenFiles screens(folder);
  if (screens.loose.size() != 20) state.SkipWithError("fewer than 14 corpus screens in " CORPUS_DIR);
  fs::create_directory(folder.path() + "/out");
  std::vector<std::string> args = {"-f", "-o", folder.path() + "/out"};
  if (on_disk)
    args.push_back(screens.disk);
  else
    args.insert(args.end(), screens.loose.begin(), screens.loose.end());
  long peak_kib = 0;
  for (auto _ : state)
    if (!run_ss4topng(args, &peak_kib)) state.SkipWithError("ss4topng failed");
  state.counters["peak_KiB"] = static_cast<double>(peak_kib);
}
BENCHMARK_CAPTURE(TwentyScreens, on_a_disk, true)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TwentyScreens, loose_files, false)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
