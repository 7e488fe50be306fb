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

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Picture = std::vector<std::uint32_t>;  // 0x00BBGGRR, top row first

class Ss4topngModes : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    folder_ = fs::path(temp_path("x")).parent_path().string();
  }

  ProgramRun run(const std::vector<std::string>& args) { return run_program(SS4TOPNG_PATH, args, folder_); }

  std::string put(const std::string& name, const Bytes& bytes) {
    write_whole_file(temp_path(name), bytes);
    return temp_path(name);
  }

  std::string folder_;
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

TEST_F(Ss4topngModes, BadInputIsOneLineAndWritesNothing) {
  auto screen = [](int mode, bool header = false, int records = 3) {
    return sam_screen_file({"s", mode, 5, true, mode <= 2, header, records});
  };
  auto cut = [](Bytes bytes, std::size_t size) {
    bytes.resize(size, 0x11);
    return bytes;
  };
  const auto too_short = [](std::size_t size, int mode) {
    return std::to_string(size) + " bytes is too short for a mode " + std::to_string(mode) + " screen (at least " +
           std::to_string(least_body(mode)) + ")";
  };
  const std::string fits_no_mode =
      " bytes fits no SAM screen mode (mode 1: 6953 to 7461 bytes, mode 2: 14377 to 14885, modes 3 and 4: 24617 or "
      "more)";
  const Bytes headed = screen(2, true);
  struct Case {
    std::string name;
    Bytes bytes;
    std::string line;  // empty: it converts
  };
  std::vector<Case> cases = {
      {"6952", Bytes(6952, 7), "6952" + fits_no_mode},
      {"7462", Bytes(7462, 7), "7462" + fits_no_mode},
      {"14376", Bytes(14376, 7), "14376" + fits_no_mode},
      {"14886", Bytes(14886, 7), "14886" + fits_no_mode},
      {"24616", Bytes(24616, 7), "24616" + fits_no_mode},
      {"longer-than-its-header", cut(headed, headed.size() + 1),
       "its SCREEN$ header says " + std::to_string(headed.size() - 9) + " bytes follow it, but " +
           std::to_string(headed.size() - 8) + " do"},
      {"records-cut-short", cut(headed, headed.size() - 2),
       "its SCREEN$ header says " + std::to_string(headed.size() - 9) + " bytes follow it, but " +
           std::to_string(headed.size() - 11) + " do"},
      {"paltab-cut.ss1", cut(screen(1), 6912 + 20), too_short(6932, 1)},
      {"paltab-cut3.ss3", cut(screen(3), 24576 + 39), too_short(24615, 3)},
      // A record cut after its colour byte still counts; so does the picture.
      {"record-cut.ss2", cut(screen(2), 14376 + 4 + 3), ""},
      {"ones.ss1", Bytes(6953, 0xFF), ""},
      {"all-ones", Bytes(14377, 0xFF), ""},
  };
  std::vector<std::string> args;
  std::string expected;
  for (const Case& c : cases) {
    args.push_back(put(c.name, c.bytes));
    if (!c.line.empty()) expected += args.back() + ": " + c.line + "\n";
  }
  // --mode overrides the name and the length, and the bytes must be enough.
  const std::string forced = put("mode1.ss1", screen(1));
  cases.push_back({"forced", {}, too_short(screen(1).size(), 2)});
  ProgramRun r = run(args);
  ProgramRun f = run({"--mode", "2", "-o", temp_path("forced.png"), forced});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, expected);
  EXPECT_EQ(f.status, 1);
  EXPECT_EQ(f.err, forced + ": " + cases.back().line + "\n");
  for (const Case& c : cases) {
    const std::string png = temp_path(fs::path(c.name).replace_extension(".png").string());
    EXPECT_EQ(file_exists(png), c.line.empty()) << c.name;
  }
}

TEST_F(Ss4topngModes, TheMainFrameAtEachModesSizes) {
  struct Case {
    int mode;
    std::vector<std::string> options;
    int width, height;
  };
  const Case cases[] = {
      {1, {"-s", "1"}, 256, 192},       {1, {}, 512, 384},          {2, {"-s", "1"}, 256, 192},
      {2, {"--size", "300"}, 256, 192}, {3, {"-s", "1"}, 512, 384}, {3, {}, 512, 384},
      {3, {"--size", "300"}, 300, 225}, {4, {"-s", "1"}, 256, 192}, {4, {"--size", "100"}, 100, 75},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " " << ::testing::PrintToString(c.options));
    // Flashing, with a header: the PNG is the main frame of the header's mode.
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
      EXPECT_TRUE(png_picture(png) == frame(*decoded(file, "screen"), 0, 0, c.width, c.height));
    }
  }
  // A mode 3 screen under a mode 4 name, read as what it is.
  const Bytes mode3 = sam_screen_file({"s", 3, 2, false, false, false, 0});
  ASSERT_EQ(run({"-s", "1", "--mode", "3", put("wide.ss4", mode3)}).status, 0);
  DecodedPng png;
  ASSERT_TRUE(decode_png(temp_path("wide.png"), png));
  EXPECT_TRUE(png_picture(png) == frame(*decoded(mode3, "wide.ss4", 3), 0, 0, 512, 384));
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
    for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock* block = image.ExtensionBlocks + e;
      a.loops |= block[0].Function == APPLICATION_EXT_FUNC_CODE && block[0].ByteCount == 11 &&
                 std::memcmp(block[0].Bytes, "NETSCAPE2.0", 11) == 0 && block[1].ByteCount == 3 &&
                 std::memcmp(block[1].Bytes, "\x01\0\0", 3) == 0;
    }
    GraphicsControlBlock control{};
    EXPECT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
    const GifImageDesc& d = image.ImageDesc;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const GifByteType index = image.RasterBits[y * d.Width + x];
        const GifColorType c = gif->SColorMap->Colors[index];
        if (index != control.TransparentColor) canvas[(d.Top + y) * width + d.Left + x] = rgb(c.Red, c.Green, c.Blue);
      }
    a.pictures.push_back(canvas);
    a.delays.push_back(control.DelayTime);
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
