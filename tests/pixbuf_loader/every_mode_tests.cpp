// Screens of every mode through both loader modules, as GTK programs use
// them: each with the pixels of the SAM formats' main frame, by name and in
// pieces by type; flashing screens as animations whose frames, in virtual
// time, are the phases of the flash cycle; headered files found by their
// signature alone; thumbnails of mode 1 and mode 3 files.
#include "loader_test_support.h"
#include "png_reader.h"
#include "sam_screens.h"

#include "sam/flash_cycle.h"
#include "sam/sam_colour.h"
#include "sam/screen_reader.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

using Rows = std::vector<Bytes>;

// A phase pair's picture as the loaders show it: R, G, B from the SAM
// colour of each pixel, mode 3's rows twice.
Rows frame_rows(const SamScreen& screen, int palette_phase, int attribute_phase) {
  Rows rows;
  for (int y = 0; y < SAM_ROWS; ++y) {
    Bytes row;
    for (int x = 0; x < screen.width; ++x) {
      const Colour c = sam_colour(frame_colour(screen, palette_phase, attribute_phase, x, y));
      row.insert(row.end(),
                 {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16)});
    }
    for (int copy = 0; copy < (screen.mode == 3 ? 2 : 1); ++copy) rows.push_back(row);
  }
  return rows;
}

// The library's reading of a corpus screen, which knows its mode by name.
std::unique_ptr<SamScreen> decoded(const ScreenRecipe& recipe, const Bytes& file) {
  auto screen = std::make_unique<SamScreen>();
  ScreenReader reader(recipe.mode);
  reader.feed(file.data(), file.size());
  EXPECT_TRUE(reader.finish(*screen).kind);
  return screen;
}

// A file with a header is given no type: the header's signature (the MIME
// package's) must tell it.
const char* mime_type_of(const ScreenRecipe& recipe) {
  static const char* const by_mode[] = {nullptr, "image/x-sam-screen-mode1", "image/x-sam-screen-mode2",
                                        "image/x-sam-screen-mode3", "image/x-sam-screen"};
  return recipe.header ? "" : by_mode[recipe.mode];
}

// GTimeVal, deprecated, is the iterator's time.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

// Walks one cycle by the iterator's own delays, from a start far from zero:
// at each moment the picture must be the phases flash_cycle gives for it,
// and the delays must add up to the cycle, which then starts again. A
// screen none of whose phases looks other than its main frame is still.
void expect_flash_cycle(GdkPixbufAnimation* animation, const SamScreen& screen) {
  const std::vector<FlashStep> steps = flash_cycle(screen);
  std::array<Rows, 4> pictures;  // by phase pair, made when first needed
  auto picture = [&](const FlashStep& step) -> const Rows& {
    Rows& rows = pictures[2 * step.palette_phase + step.attribute_phase];
    if (rows.empty()) rows = frame_rows(screen, step.palette_phase, step.attribute_phase);
    return rows;
  };
  const bool flashes = std::any_of(steps.begin(), steps.end(),
                                   [&](const FlashStep& step) { return picture(step) != picture(steps[0]); });
  EXPECT_EQ(gdk_pixbuf_animation_is_static_image(animation), !flashes);
  EXPECT_EQ(rows_of(gdk_pixbuf_animation_get_static_image(animation)), picture(steps[0]));
  const GTimeVal start = {1'000'000, 250'000};
  std::unique_ptr<GdkPixbufAnimationIter, Free> iter(gdk_pixbuf_animation_get_iter(animation, &start));
  EXPECT_FALSE(gdk_pixbuf_animation_iter_on_currently_loading_frame(iter.get()));
  if (!flashes) {
    EXPECT_EQ(gdk_pixbuf_animation_iter_get_delay_time(iter.get()), -1);
    return;
  }
  auto step_end = [&](std::size_t step) {
    return frames_to_milliseconds(steps[step].start_frame + steps[step].frames);
  };
  const std::int64_t cycle = step_end(steps.size() - 1);
  for (std::int64_t at = 0;;) {  // milliseconds from the start
    std::size_t step = 0;
    while (step_end(step) <= at % cycle) ++step;
    SCOPED_TRACE(at);
    EXPECT_EQ(rows_of(gdk_pixbuf_animation_iter_get_pixbuf(iter.get())), picture(steps[step]));
    if (at >= cycle) {
      EXPECT_EQ(at, cycle);
      break;
    }
    const int delay = gdk_pixbuf_animation_iter_get_delay_time(iter.get());
    ASSERT_GT(delay, 0);
    at += delay;
    const std::int64_t since = start.tv_usec + at * 1000;
    const GTimeVal now = {static_cast<glong>(start.tv_sec + since / 1'000'000), static_cast<glong>(since % 1'000'000)};
    EXPECT_TRUE(gdk_pixbuf_animation_iter_advance(iter.get(), &now));
  }
}

G_GNUC_END_IGNORE_DEPRECATIONS

TEST_F(PixbufFiles, EveryModeShowsTheMainFrameAndFlashesThroughItsCycle) {
  for (const ScreenRecipe& recipe : sam_screen_corpus()) {
    SCOPED_TRACE(recipe.name);
    const Bytes file = sam_screen_file(recipe);
    const fs::path path = folder_ / (recipe.name + ".ss" + std::to_string(recipe.mode));
    write_file(path, file);
    const std::unique_ptr<SamScreen> screen = decoded(recipe, file);
    const Rows main = frame_rows(*screen, 0, 0);
    Error error;
    EXPECT_EQ(rows_of(load_file(path, error).get()), main) << (error ? error->message : "");

    GError* e = nullptr;
    std::unique_ptr<GdkPixbufAnimation, Free> animation(gdk_pixbuf_animation_new_from_file(path.c_str(), &e));
    error.reset(e);
    ASSERT_TRUE(animation) << error->message;
    expect_flash_cycle(animation.get(), *screen);

    auto loader = loader_fed_in_pieces(file, mime_type_of(recipe), random_, error);
    ASSERT_TRUE(loader) << error->message;
    expect_flash_cycle(gdk_pixbuf_loader_get_animation(loader.get()), *screen);
  }
}

// gdk-pixbuf-thumbnailer picks the module by the file's type, as a file
// manager's thumbnailing does: its thumbnail is the loader's picture at
// 128 × 96, what the same load gives here.
TEST_F(PixbufFiles, ThumbnailsOfMode1AndMode3Files) {
  for (int mode : {1, 3}) {
    SCOPED_TRACE(mode);
    ScreenRecipe recipe;
    recipe.mode = mode;
    recipe.palette_flash = true;
    const fs::path screen = folder_ / ("screen.ss" + std::to_string(mode)), png = folder_ / "thumbnail.png";
    write_file(screen, sam_screen_file(recipe));
    Thumbnailing run = thumbnail(screen, png);
    ASSERT_EQ(run.status, 0) << run.err;
    DecodedPng shown;
    ASSERT_TRUE(decode_png(png.string(), shown));
    Pixbuf here(gdk_pixbuf_new_from_file_at_size(screen.c_str(), 128, 128, nullptr));
    EXPECT_EQ(rgb_rows(shown), rows_of(here.get()));
    EXPECT_EQ(std::make_pair(shown.width, shown.height), std::make_pair(128u, 96u));
  }
}

}  // namespace
