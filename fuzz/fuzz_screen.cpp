// Arbitrary bytes as a screen file, the whole way ss4topng takes it: written
// to a file under a name of every mode's extension or none, read by name,
// decoded and rendered at each of its sizes. A file is taken exactly when
// the reader over its bytes takes it, with the same screen, and so is the
// same file read with its runs of zeros skipped as holes in a sparse file
// are; the picture has the size its mode asks for.
#include "frame_render.h"
#include "screen_input.h"

#include "sam/screen_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string folder;

void write_input(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
}

bool same_screen(const SamScreen& a, const SamScreen& b) {
  return a.mode == b.mode && a.width == b.width && a.entries == b.entries && a.flashed_entries == b.flashed_entries &&
         a.row_colours == b.row_colours && a.palette_flashes == b.palette_flashes &&
         a.attributes_flash == b.attributes_flash;
}

// The bytes fed to a reader, each run of 8 zeros or more skipped instead.
KindVerdict read_skipping_zeros(const std::uint8_t* data, std::size_t size, int named_mode, int forced_mode,
                                SamScreen& screen) {
  auto reader = std::make_unique<ScreenReader>(named_mode, forced_mode);
  for (std::size_t at = 0; at < size;) {
    std::size_t end = at;
    while (end < size && data[end] == 0) ++end;
    if (end - at >= 8) {
      reader->skip_zeros(static_cast<std::int64_t>(end - at));
    } else {
      end = std::max(end, at + 1);
      reader->feed(data + at, end - at);
    }
    at = end;
  }
  return reader->finish(screen);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char made[] = "/tmp/fuzz_screen-XXXXXX";
  if (!mkdtemp(made)) std::abort();
  folder = made;
  std::atexit([] {
    for (const char* name : {"/input", "/input.ss1", "/input.ss2", "/input.ss3", "/input.ss4"})
      std::remove((folder + name).c_str());
    rmdir(folder.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static int runs = 0;
  const int named_mode = runs % 5;
  const int forced_mode = runs / 5 % 5;
  const SizeChoice size_choice{1 + runs / 25 % 2, runs / 50 % 3 == 2 ? 100 : 0};
  ++runs;
  const std::string path = folder + "/input" + (named_mode ? ".ss" + std::to_string(named_mode) : "");
  write_input(path, data, size);

  static auto screen = std::make_unique<SamScreen>();
  static auto expected = std::make_unique<SamScreen>();
  const std::string failure = read_screen_input(path, forced_mode, *screen);
  auto reader = std::make_unique<ScreenReader>(named_mode, forced_mode);
  reader->feed(data, size);
  const bool taken = reader->finish(*expected).kind.has_value();
  // Another format's signature is the only other refusal.
  if (failure.empty() ? !taken || !same_screen(*screen, *expected) : taken && !failure.ends_with(", not a SAM screen"))
    std::abort();
  static auto skipped = std::make_unique<SamScreen>();
  const KindVerdict verdict = read_skipping_zeros(data, size, named_mode, forced_mode, *skipped);
  if (verdict.kind.has_value() != taken || (taken && !same_screen(*skipped, *expected))) std::abort();
  if (!failure.empty()) return 0;

  const PictureSize picture = picture_size(size_choice, screen->mode);
  if (!picture_bgr(*screen, picture)) std::abort();
  return 0;
}
