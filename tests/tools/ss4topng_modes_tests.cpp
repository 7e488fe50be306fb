// ss4topng on screens of every mode, as a user runs it: the decoder's main
// frame at each mode's sizes, one line and nothing written for whatever is
// no screen, and --animate's GIF holding the decoder's phases for as long as
// the machine shows them.
#include "png_reader.h"
#include "run_program.h"
#include "runtime_fixture.h"
#include "sam_screens.h"

#include "sam/flash_cycle.h"
#include "sam/sam_colour.h"
#include "sam/screen_reader.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Picture = std::vector<std::uint32_t>;  // 0x00BBGGRR, top row first

class Ss4topngModes : public RuntimeTest {
 protected:
  ProgramRun run(const std::vector<std::string>& args) { return run_program(SS4TOPNG_PATH, args, temp_path("")); }

  std::string put(const std::string& name, const Bytes& bytes) {
    write_whole_file(temp_path(name), bytes);
    return temp_path(name);
  }
};

// The screen as the decoder reads it, the way ss4topng is given it.
std::unique_ptr<SamScreen> decoded(const Bytes& file, const std::string& name, int forced_mode = 0) {
  ScreenReader reader(mode_of_name(name), forced_mode);
  reader.feed(file.data(), file.size());
  auto screen = std::make_unique<SamScreen>();
  EXPECT_TRUE(reader.finish(*screen).kind) << name;
  return screen;
}

// A frame scaled to width x height by repeating pixels.
Picture frame(const SamScreen& s, int palette_phase, int attribute_phase, int width, int height) {
  Picture picture;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.push_back(
          sam_colour(frame_colour(s, palette_phase, attribute_phase, x * s.width / width, y * 192 / height)));
  return picture;
}

Picture png_picture(const DecodedPng& png) {
  Picture picture;
  for (const Bytes& row : rgb_rows(png))
    for (std::size_t x = 0; x + 2 < row.size(); x += 3) picture.push_back(rgb(row[x], row[x + 1], row[x + 2]));
  return picture;
}

// Whatever is no screen gets one line saying why (the reasons' words are
// the SAM formats' to test), exit status 1 and no file.
TEST_F(Ss4topngModes, BadInputIsOneLineAndWritesNothing) {
  auto screen = [](int mode, bool header = false) { return sam_screen_file({"s", mode, 5, true, true, header, 3}); };
  auto cut = [](Bytes bytes, std::ptrdiff_t change) {
    bytes.resize(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(bytes.size()) + change), 0x11);
    return bytes;
  };
  struct Case {
    std::string name;
    Bytes bytes;
    std::string says;  // part of its line; empty: it converts
  };
  const Case cases[] = {
      {"6952", Bytes(6952, 7), "6952 bytes fits no SAM screen mode"},
      {"7462", Bytes(7462, 7), "7462 bytes fits no SAM screen mode"},
      {"14376", Bytes(14376, 7), "14376 bytes fits no SAM screen mode"},
      {"14886", Bytes(14886, 7), "14886 bytes fits no SAM screen mode"},
      {"24616", Bytes(24616, 7), "24616 bytes fits no SAM screen mode"},
      {"longer-than-its-header", cut(screen(2, true), 1), "its SCREEN$ header says"},
      {"records-cut-short", cut(screen(2, true), -2), "its SCREEN$ header says"},
      {"paltab-cut.ss1", cut(screen(1), -33), "6932 bytes is too short for a mode 1 screen"},
      {"paltab-cut3.ss3", cut(screen(3), -14), "24615 bytes is too short for a mode 3 screen"},
      // A record cut after its colour byte still counts; so does the picture.
      {"record-cut.ss2", cut(screen(2), -6), ""},
      {"ones.ss1", Bytes(6953, 0xFF), ""},
      {"all-ones", Bytes(14377, 0xFF), ""},
  };
  std::vector<std::string> args;
  for (const Case& c : cases) args.push_back(put(c.name, c.bytes));
  ProgramRun r = run(args);
  EXPECT_EQ(r.status, 1);
  std::istringstream lines(r.err);
  std::string line;
  for (const Case& c : cases) {
    if (c.says.empty()) continue;
    EXPECT_TRUE(std::getline(lines, line) && line.starts_with(temp_path(c.name) + ": ") &&
                line.find(c.says) != std::string::npos)
        << c.name << ": " << line;
  }
  EXPECT_FALSE(std::getline(lines, line)) << line;
  // --mode overrides the name and the length, and the bytes must be enough.
  const std::string forced = put("forced.ss1", screen(1));
  ProgramRun f = run({"--mode", "2", forced});
  EXPECT_EQ(f.status, 1);
  EXPECT_EQ(f.err, forced + ": 6965 bytes is too short for a mode 2 screen (at least 14377)\n");
  for (const Case& c : cases)
    EXPECT_EQ(file_exists(temp_path(fs::path(c.name).replace_extension(".png"))), c.says.empty()) << c.name;
  EXPECT_FALSE(file_exists(temp_path("forced.png")));
}

TEST_F(Ss4topngModes, TheMainFrameAtEachModesSizes) {
  struct Case {
    int mode;
    std::vector<std::string> options;
    int width, height;
    int forced;
  };
  const Case cases[] = {{1, {"-s", "1"}, 256, 192, 0},       {1, {}, 512, 384, 0},
                        {2, {"-s", "1"}, 256, 192, 0},       {2, {"--size", "300"}, 256, 192, 0},
                        {3, {"-s", "1"}, 512, 384, 0},       {3, {}, 512, 384, 0},
                        {3, {"--size", "300"}, 300, 225, 0}, {4, {"-s", "1"}, 256, 192, 0},
                        {4, {"--size", "100"}, 100, 75, 0},  {4, {"-s", "1", "--mode", "3"}, 512, 384, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " " << ::testing::PrintToString(c.options));
    // Flashing, with a header: the PNG is the main frame of the header's
    // mode, or of --mode's.
    const Bytes file = sam_screen_file({"s", c.mode, 9, true, c.mode <= 2, true, 40});
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-f", put("screen", file)});
    ProgramRun r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    DecodedPng png;
    ASSERT_TRUE(decode_png(temp_path("screen.png"), png));
    EXPECT_EQ(png.width, static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(png.height, static_cast<std::uint32_t>(c.height));
    if (c.width == 256 || c.width == 512) {
      EXPECT_TRUE(png_picture(png) == frame(*decoded(file, "screen", c.forced), 0, 0, c.width, c.height));
    }
  }
}

// What a GIF shows: each frame's picture once drawn over the ones before,
// how long it shows, and whether it loops forever.
struct Animation {
  std::vector<Picture> pictures;
  std::vector<int> delays;
  bool loops = false;
};

Animation read_gif(const std::string& path, int width, int height) {
  Animation a;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  EXPECT_TRUE(gif && DGifSlurp(gif) == GIF_OK) << path;
  if (!gif) return a;
  EXPECT_EQ(gif->SWidth, width);
  EXPECT_EQ(gif->SHeight, height);
  Picture canvas(static_cast<std::size_t>(width) * height);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    // The loop extension comes before the first frame's timing.
    const ExtensionBlock* block = image.ExtensionBlocks;
    a.loops |= i == 0 && image.ExtensionBlockCount == 3 && block[0].Function == APPLICATION_EXT_FUNC_CODE &&
               std::memcmp(block[0].Bytes, "NETSCAPE2.0", 11) == 0 && std::memcmp(block[1].Bytes, "\x01\0\0", 3) == 0;
    GraphicsControlBlock control{};
    EXPECT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
    const GifImageDesc& d = image.ImageDesc;
    const Picture before = canvas;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const GifByteType index = image.RasterBits[y * d.Width + x];
        const GifColorType c = gif->SColorMap->Colors[index];
        if (index != control.TransparentColor) canvas[(d.Top + y) * width + d.Left + x] = rgb(c.Red, c.Green, c.Blue);
      }
    a.pictures.push_back(canvas);
    a.delays.push_back(control.DelayTime);
    if (control.DisposalMode == DISPOSE_PREVIOUS) canvas = before;
  }
  DGifCloseFile(gif, &error);
  return a;
}

TEST_F(Ss4topngModes, AnimationsShowEachPhaseForAsLongAsTheMachineDoes) {
  struct Case {
    ScreenRecipe recipe;
    std::vector<std::string> options;
    int width, height;
  };
  const Case cases[] = {
      {{"both", 1, 3, true, true, false, 40}, {"-s", "1"}, 256, 192},
      {{"attributes", 2, 4, false, true, true, 0}, {}, 512, 384},
      {{"palette", 3, 5, true, false, false, 127}, {"-s", "1"}, 512, 384},
      {{"still", 4, 6, false, false, false, 40}, {}, 512, 384},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recipe.name);
    const std::string name = c.recipe.name + (c.recipe.header ? "" : ".ss" + std::to_string(c.recipe.mode));
    const Bytes file = sam_screen_file(c.recipe);
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--animate", put(name, file)});
    ProgramRun r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::unique_ptr<SamScreen> screen = decoded(file, name);
    const Animation a = read_gif(temp_path(c.recipe.name + ".gif"), c.width, c.height);
    ASSERT_FALSE(a.pictures.empty());

    // Every step of the cycle shows its phases from the time it starts, to
    // the hundredth of a second; the frames add up to the whole cycle.
    const std::vector<FlashStep> steps = flash_cycle(*screen);
    EXPECT_EQ(a.loops, steps.size() > 1);
    int total = 0;
    for (int delay : a.delays) total += delay;
    EXPECT_EQ(total, frames_to_centiseconds(steps.back().start_frame + steps.back().frames));
    std::size_t shown = 0;
    int shown_from = 0;
    for (const FlashStep& step : steps) {
      const auto start = static_cast<int>(frames_to_centiseconds(step.start_frame));
      while (shown + 1 < a.pictures.size() && shown_from + a.delays[shown] <= start) shown_from += a.delays[shown++];
      ASSERT_TRUE(a.pictures[shown] == frame(*screen, step.palette_phase, step.attribute_phase, c.width, c.height))
          << "step from frame " << step.start_frame;
    }
    for (std::size_t i = 1; i < a.pictures.size(); ++i) EXPECT_FALSE(a.pictures[i] == a.pictures[i - 1]) << i;
  }

  // A name made up beside the screen replaces nothing unless forced.
  const std::string still = temp_path("still.ss4");
  ProgramRun again = run({"--animate", still});
  EXPECT_EQ(again.err, still + ": " + temp_path("still.gif") + " exists; -o names it, --force replaces it\n");
  EXPECT_EQ(run({"--animate", "-f", still}).status, 0);
}

}  // namespace
