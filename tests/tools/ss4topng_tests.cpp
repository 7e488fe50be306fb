// The ss4topng program as a user runs it: exit statuses, messages, output
// names, worker processes, pictures byte for byte as the viewer saves them
// (--rgb), and the same pixels in a smaller file by default.
#include "png_reader.h"
#include "run_program.h"
#include "runtime_fixture.h"

#include "app/viewer_services.h"
#include "export/encoder_registry.h"
#include "export/png_writer.h"
#include "image/images.h"
#include "image/save_image.h"
#include "native/system/text.h"
#include "native/windowing/window.h"
#include "screen/sam_palette.h"
#include "screen/screen_file.h"
#include "screen/screen_view.h"
#include "screen/viewer_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

const std::string SAMPLE = std::string(SAMPLES_DIR) + "/raster_bars.ss4";
const std::string CHART = std::string(SAMPLES_DIR) + "/colour_chart.ss4";
const std::string USAGE =
    "usage: ss4topng [-s 1|2 | --size N] [--mode N] [--animate] [--rgb] [-o OUTPUT] [-f] [-j JOBS] "
    "[--list | --slot N | --name NAME | --first] FILE...\n";

// Width and height from a PNG's header, or {0, 0}.
std::pair<int, int> png_size(const std::vector<std::uint8_t>& png) {
  if (png.size() < 24 || png[1] != 'P' || png[12] != 'I') return {0, 0};
  auto be32 = [&](std::size_t at) { return png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]; };
  return {be32(16), be32(20)};
}

class Ss4topng : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    folder_ = fs::path(temp_path("x")).parent_path().string();
  }

  ProgramRun run(const std::vector<std::string>& args) { return run_program(SS4TOPNG_PATH, args, folder_); }

  // A copy of a sample under a new name in this test's folder.
  std::string copy(const std::string& name, const std::string& from = SAMPLE) {
    fs::copy_file(from, temp_path(name));
    return temp_path(name);
  }

  // The names of the folder's files.
  std::set<std::string> listing(const std::string& folder) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }

  std::string folder_;
};

TEST_F(Ss4topng, HelpAndVersion) {
  ProgramRun help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with(USAGE)) << help.out;
  EXPECT_EQ(help.err, "");

  ProgramRun version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "ss4topng (Tesselon) 0.1.0\n");
}

TEST_F(Ss4topng, UsageErrorsExitWithTwoAndConvertNothing) {
  std::string input = copy("a.ss4");
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"-q", input},
      {"-s", "4", input},
      {"-j", "0", input},
      {"-o", temp_path("one.png"), input, input},
      {"-o", temp_path("nowhere/"), input},
  };
  for (const auto& args : bad) {
    ProgramRun r = run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_TRUE(r.err.starts_with("ss4topng: ")) << r.err;
    EXPECT_TRUE(r.err.ends_with(USAGE)) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(listing(folder_), (std::set<std::string>{"a.ss4"}));
}

TEST_F(Ss4topng, DefaultNamesAndScales) {
  std::string a = copy("a.ss4");
  std::string b = copy("b.screen.v2");
  fs::create_directory(temp_path("dir.d"));
  std::string c = copy("dir.d/c");
  ProgramRun r = run({a, b, c});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(png_size(read_whole_file(temp_path("a.png"))), std::make_pair(512, 384));
  EXPECT_TRUE(file_exists(temp_path("b.screen.png")));
  EXPECT_TRUE(file_exists(temp_path("dir.d/c.png")));

  // A name made up beside the screen, or in a folder, replaces nothing
  // unless forced; a name given with -o is the user's to replace.
  ProgramRun again = run({"-s", "1", a});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, a + ": " + temp_path("a.png") + " exists; -o names it, --force replaces it\n");
  EXPECT_EQ(png_size(read_whole_file(temp_path("a.png"))), std::make_pair(512, 384));
  EXPECT_EQ(run({"-s", "1", "-o", folder_, a}).status, 1);
  EXPECT_EQ(run({"-s", "1", "-o", temp_path("b.screen.png"), a}).status, 0);
  EXPECT_EQ(run({"-f", "-s", "1", a}).status, 0);
  EXPECT_EQ(png_size(read_whole_file(temp_path("a.png"))), std::make_pair(256, 192));
  EXPECT_EQ(png_size(read_whole_file(temp_path("b.screen.png"))), std::make_pair(256, 192));
}

// A file that is plainly something else is never taken for a screen,
// whatever its size; a screen that merely starts like one still converts.
TEST_F(Ss4topng, OtherKindsOfFileAreNotScreens) {
  const std::vector<std::uint8_t> screen = read_whole_file(SAMPLE);
  auto starting = [&](std::string_view head) {
    std::vector<std::uint8_t> bytes = screen;
    std::copy(head.begin(), head.end(), bytes.begin());
    return bytes;
  };
  const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
      {starting("\x89PNG\r\n\x1a\n"), "a PNG picture"},
      {{0xFF, 0xD8, 0xFF, 0xE1, 0, 0}, "a JPEG picture"},
      {starting("GIF89a"), "a GIF picture"},
      {starting(std::string_view("BM\x36\0\x0c\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18)), "a BMP picture"},
      {starting(std::string_view("RIFF\x10\0\0\0WEBPVP8 ", 16)), "a WebP picture"},
      {starting(std::string_view("II*\0\x08\0\0\0", 8)), "a TIFF picture"},
      {starting("PK\x03\x04"), "a ZIP archive"},
      {starting("\x1f\x8b\x08"), "a gzip file"},
      {starting("%PDF-1.7"), "a PDF document"},
      {starting("\x7f"
                "ELF"),
       "an ELF program"},
      {starting("BM\x01\x02\x03\x04\x05\x06\x07\x08"), ""},
      {starting(std::string_view("MM\0*\xff\xff\xff\xff", 8)), ""},
  };
  int n = 0;
  for (const auto& [bytes, kind] : cases) {
    const std::string name = temp_path("file" + std::to_string(++n) + ".ss4");
    write_whole_file(name, bytes);
    ProgramRun r = run({name});
    SCOPED_TRACE(kind);
    EXPECT_EQ(r.err, kind.empty() ? "" : name + ": " + kind + ", not a SAM screen\n");
    EXPECT_EQ(file_exists(temp_path("file" + std::to_string(n) + ".png")), kind.empty());
  }
}

TEST_F(Ss4topng, FailuresNameTheFileAndTheRestStillConvert) {
  std::string good = copy("good.ss4");
  std::vector<std::uint8_t> bytes = read_whole_file(SAMPLE);
  bytes.resize(MIN_SS4_SIZE - 1);
  write_whole_file(temp_path("short.ss4"), bytes);
  fs::create_directory(temp_path("folder.ss4"));

  ProgramRun r = run({temp_path("missing.ss4"), temp_path("short.ss4"), good, temp_path("folder.ss4")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, temp_path("missing.ss4") + ": Bad size or file not exists\n" + temp_path("short.ss4") +
                       ": 24616 bytes is too short for a mode 4 screen (at least 24617)\n" + temp_path("folder.ss4") +
                       ": is a folder\n");
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(file_exists(temp_path("good.png")));
  EXPECT_FALSE(file_exists(temp_path("short.png")));

  std::string unwritable = temp_path("no/such/folder.png");
  ProgramRun w = run({"-o", unwritable, good});
  EXPECT_EQ(w.status, 1);
  EXPECT_EQ(w.err, good + ": cannot write " + unwritable + ": No such file or directory\n");

  // The input itself is never overwritten.
  std::string png_named = copy("pic.png");
  ProgramRun same = run({png_named});
  EXPECT_EQ(same.status, 1);
  EXPECT_EQ(read_whole_file(png_named), read_whole_file(SAMPLE));
}

TEST_F(Ss4topng, OutputFileOrFolder) {
  std::string a = copy("a.ss4");
  std::string b = copy("b.ss4", CHART);
  ProgramRun one = run({"-o", temp_path("shot"), a});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(png_size(read_whole_file(temp_path("shot"))), std::make_pair(512, 384));

  fs::create_directory(temp_path("out"));
  ProgramRun several = run({"-s1", a, "-o", temp_path("out"), b});
  EXPECT_EQ(several.status, 0) << several.err;
  EXPECT_EQ(listing(temp_path("out")), (std::set<std::string>{"a.png", "b.png"}));
  EXPECT_EQ(listing(folder_), (std::set<std::string>{"a.ss4", "b.ss4", "shot", "out"}));
}

TEST_F(Ss4topng, ParallelJobsGiveTheSamePictures) {
  fs::create_directory(temp_path("serial"));
  fs::create_directory(temp_path("parallel"));
  std::vector<std::string> inputs;
  for (int i = 0; i < 9; ++i) {
    // Appended in place: GCC 12 sees a false overlap in "s" + ... at -O3.
    std::string name = "s";
    name += std::to_string(i);
    name += ".ss4";
    inputs.push_back(copy(name, i % 2 ? SAMPLE : CHART));
  }
  inputs.push_back(temp_path("gone1.ss4"));
  inputs.push_back(temp_path("gone2.ss4"));

  std::vector<std::string> serial_args = {"-o", temp_path("serial")};
  serial_args.insert(serial_args.end(), inputs.begin(), inputs.end());
  std::vector<std::string> parallel_args = {"-j", "3", "-o", temp_path("parallel")};
  parallel_args.insert(parallel_args.end(), inputs.begin(), inputs.end());

  ProgramRun serial = run(serial_args);
  ProgramRun parallel = run(parallel_args);
  EXPECT_EQ(serial.status, 1);
  EXPECT_EQ(parallel.status, 1);
  // The order of the lines depends on the workers; their set does not.
  EXPECT_EQ(std::count(parallel.err.begin(), parallel.err.end(), '\n'), 2);
  EXPECT_NE(parallel.err.find(temp_path("gone1.ss4") + ": Bad size or file not exists\n"), std::string::npos);
  EXPECT_NE(parallel.err.find(temp_path("gone2.ss4") + ": Bad size or file not exists\n"), std::string::npos);
  ASSERT_EQ(listing(temp_path("parallel")).size(), 9u);
  for (const std::string& name : listing(temp_path("serial")))
    EXPECT_EQ(read_whole_file(temp_path("parallel/" + name)), read_whole_file(temp_path("serial/" + name))) << name;
}

// What the viewer's save command writes for a file, rendered in this process
// through the viewer's own start-up, load and save.
std::vector<std::uint8_t> viewer_png(const std::string& input, int scale, const std::string& output) {
  native::init(nullptr);
  start_runtime_services(viewer_services());
  init_screen_state();
  register_png_encoder();
  create_image(0, 512, 384);
  build_palette();
  viewer_state().scale = scale;
  load_screen(native::from_utf8(input));
  EXPECT_NE(save_image(0, native::from_utf8(output).c_str(), ENCODER_PNG), 0);
  release_screen_state();
  free_image(0);
  stop_runtime_services(viewer_services());
  native::shutdown();
  return read_whole_file(output);
}

TEST_F(Ss4topng, SameBytesAsTheViewerSaves) {
  for (const std::string& sample : {SAMPLE, CHART}) {
    for (int scale : {1, 2}) {
      std::string expected_name = temp_path("viewer.png");
      std::vector<std::uint8_t> expected = viewer_png(sample, scale, expected_name);
      ASSERT_EQ(png_size(expected), std::make_pair(256 * scale, 192 * scale));
      ProgramRun r = run({"--rgb", "-s", std::to_string(scale), "-o", temp_path("tool.png"), sample});
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(read_whole_file(temp_path("tool.png")), expected) << sample << " at scale " << scale;
    }
  }
}

// The bundled samples and the photo-like corpus the build makes.
std::vector<std::string> every_screen() {
  std::vector<std::string> screens = {SAMPLE, CHART, std::string(SAMPLES_DIR) + "/test_pattern.ss4"};
  for (const auto& entry : fs::directory_iterator(CORPUS_DIR)) screens.push_back(entry.path().string());
  return screens;
}

TEST_F(Ss4topng, DefaultFileHasTheRgbFilesPixelsInNoMoreBytes) {
  const std::vector<std::string> screens = every_screen();
  ASSERT_GE(screens.size(), 3u + 16u);
  for (const char* scale : {"1", "2"}) {
    for (const char* kind : {"compact", "rgb"}) {
      fs::create_directories(temp_path(kind));
      std::vector<std::string> args = {"-f", "-j", "2", "-s", scale, "-o", temp_path(kind)};
      if (std::string(kind) == "rgb") args.push_back("--rgb");
      args.insert(args.end(), screens.begin(), screens.end());
      ProgramRun r = run(args);
      ASSERT_EQ(r.status, 0) << r.err;
    }
    for (const std::string& screen : screens) {
      SCOPED_TRACE(screen + " at scale " + scale);
      std::string name = fs::path(screen).stem().string() + ".png";
      DecodedPng compact, rgb;
      ASSERT_TRUE(decode_png(temp_path("compact/" + name), compact));
      ASSERT_TRUE(decode_png(temp_path("rgb/" + name), rgb));
      EXPECT_EQ(compact.colour_type, 3);
      EXPECT_EQ(rgb.colour_type, 2);
      EXPECT_EQ(rgb_rows(compact), rgb.rows);
      EXPECT_LE(fs::file_size(temp_path("compact/" + name)), fs::file_size(temp_path("rgb/" + name)));
    }
  }
}

}  // namespace
