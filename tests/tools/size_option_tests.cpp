// ss4topng --size as a thumbnailer runs it: the exact renders where they fit,
// the single-size render averaged down below that, any output name, and the
// same failures and usage errors as without it.
#include "png_reader.h"
#include "run_program.h"
#include "runtime_fixture.h"

#include "screen/screen_file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string SAMPLE = std::string(SAMPLES_DIR) + "/raster_bars.ss4";
const std::string CHART = std::string(SAMPLES_DIR) + "/colour_chart.ss4";
const std::string PATTERN = std::string(SAMPLES_DIR) + "/test_pattern.ss4";

class Ss4topngSize : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    folder_ = fs::path(temp_path("x")).parent_path().string();
  }

  ProgramRun run(const std::vector<std::string>& args) { return run_program(SS4TOPNG_PATH, args, folder_); }

  // Converts with the given options into a file of that name; its bytes.
  std::vector<std::uint8_t> converted(const std::vector<std::string>& options, const std::string& input,
                                      const std::string& name) {
    std::vector<std::string> args = options;
    args.insert(args.end(), {"-o", temp_path(name), input});
    ProgramRun r = run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    return read_whole_file(temp_path(name));
  }

  DecodedPng decoded(const std::string& name) {
    DecodedPng png;
    EXPECT_TRUE(decode_png(temp_path(name), png)) << name;
    return png;
  }

  std::string folder_;
};

TEST_F(Ss4topngSize, BelowTheSingleRenderEachPixelIsTheMeanOfWhatItCovers) {
  int mixed_blocks = 0;
  for (const std::string& sample : {SAMPLE, CHART, PATTERN}) {
    converted({"-s", "1"}, sample, "full.png");
    // The thumbnailer's own order, into a name without an extension that
    // already exists, as a temporary file does.
    write_whole_file(temp_path("thumb"), {});
    converted({"--size", "128"}, sample, "thumb");
    DecodedPng full = decoded("full.png");
    DecodedPng thumb = decoded("thumb");
    ASSERT_EQ(thumb.width, 128u);
    ASSERT_EQ(thumb.height, 96u);
    const std::vector<std::vector<std::uint8_t>> full_rows = rgb_rows(full), thumb_rows = rgb_rows(thumb);
    ASSERT_EQ(full_rows.size(), 192u);
    ASSERT_EQ(thumb_rows.size(), 96u);
    for (std::size_t y = 0; y < 96; ++y) {
      for (std::size_t x = 0; x < 128 * 3; ++x) {
        std::size_t left = x / 3 * 6 + x % 3;
        int sum = full_rows[2 * y][left] + full_rows[2 * y][left + 3] + full_rows[2 * y + 1][left] +
                  full_rows[2 * y + 1][left + 3];
        ASSERT_EQ(thumb_rows[y][x], (sum + 2) / 4) << sample << " at " << x / 3 << "," << y;
        if (sum % 4 != 0) ++mixed_blocks;
      }
    }
  }
  // Without blocks of mixed colours, picking one pixel of each would pass too.
  EXPECT_GT(mixed_blocks, 1000);
}

TEST_F(Ss4topngSize, ExactRendersWhereTheyFit) {
  std::vector<std::uint8_t> single = converted({"-s", "1"}, SAMPLE, "single.png");
  std::vector<std::uint8_t> twice = converted({}, SAMPLE, "double.png");
  EXPECT_EQ(converted({"--size", "256"}, SAMPLE, "256.png"), single);
  EXPECT_EQ(converted({"--size=300"}, SAMPLE, "300.png"), single);
  EXPECT_EQ(converted({"--size", "511"}, SAMPLE, "511.png"), single);
  EXPECT_EQ(converted({"--size", "512"}, SAMPLE, "512.png"), twice);
  EXPECT_EQ(converted({"--size", "1000"}, SAMPLE, "1000.png"), twice);
  EXPECT_EQ(decoded("1000.png").width, 512u);
}

TEST_F(Ss4topngSize, OddLimitsKeepTheShapeInEveryWorker) {
  fs::create_directory(temp_path("out"));
  ProgramRun r = run({"--size", "100", "-j", "2", "-o", temp_path("out"), SAMPLE, CHART});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* name : {"out/raster_bars.png", "out/colour_chart.png"}) {
    DecodedPng png = decoded(name);
    EXPECT_EQ(png.width, 100u) << name;
    EXPECT_EQ(png.height, 75u) << name;
  }
  converted({"--size", "1"}, SAMPLE, "dot");
  EXPECT_EQ(decoded("dot").width, 1u);
  EXPECT_EQ(decoded("dot").height, 1u);
}

TEST_F(Ss4topngSize, BadLimitsAndBadScreensWriteNothing) {
  const std::vector<std::vector<std::string>> usage_errors = {
      {"--size", "0"},         {"--size", "-3"}, {"--size", "12px"}, {"--size="}, {"-s", "1", "--size", "128"},
      {"--size", "64", "-s2"},
  };
  for (std::vector<std::string> args : usage_errors) {
    args.insert(args.end(), {"-o", temp_path("thumb"), SAMPLE});
    ProgramRun r = run(args);
    EXPECT_EQ(r.status, 2) << args[1];
    EXPECT_TRUE(r.err.starts_with("ss4topng: ")) << r.err;
  }
  EXPECT_EQ(run({"-o", temp_path("thumb"), SAMPLE, "--size"}).status, 2);

  std::vector<std::uint8_t> bytes = read_whole_file(SAMPLE);
  bytes.resize(MIN_SS4_SIZE - 1);
  write_whole_file(temp_path("short.ss4"), bytes);
  ProgramRun bad = run({"--size", "128", "-o", temp_path("thumb"), temp_path("short.ss4")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, temp_path("short.ss4") + ": 24616 bytes is too short for a mode 4 screen (at least 24617)\n");
  EXPECT_FALSE(file_exists(temp_path("thumb")));

  ProgramRun unwritable = run({"--size", "64", "-o", temp_path("none/thumb"), SAMPLE});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.err, SAMPLE + ": cannot write " + temp_path("none/thumb") + ": No such file or directory\n");
}

}  // namespace
