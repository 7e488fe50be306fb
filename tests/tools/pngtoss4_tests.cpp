// The pngtoss4 program as a user runs it: what it writes is what the encoder
// scored and what the viewer's own converter shows, byte for byte; bad
// pictures and bad command lines get one clear line and no file.
#include "png_reader.h"
#include "run_program.h"
#include "runtime_fixture.h"

#include "encoder/screen_encoder.h"
#include "screen/screen_decoder.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

const std::string USAGE =
    "usage: pngtoss4 [-o OUTPUT] [--no-line-changes] [--dither none|ordered|diffusion] [--max-changes N] "
    "[--crop] IMAGE...\n";

// A picture from a colour function of (x, y).
template <class Colour>
RgbPicture picture(int width, int height, Colour colour) {
  RgbPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      auto [r, g, b] = colour(x, y);
      p.rgb.insert(p.rgb.end(),
                   {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)});
    }
  return p;
}

void write_png(const std::string& name, const RgbPicture& p) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(p.width);
  image.height = static_cast<png_uint_32>(p.height);
  image.format = PNG_FORMAT_RGB;
  ASSERT_NE(png_image_write_to_file(&image, name.c_str(), 0, p.rgb.data(), 0, nullptr), 0) << image.message;
}

void append_chunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& data) {
  auto be32 = [&](std::uint32_t v) {
    for (int shift : {24, 16, 8, 0}) file.push_back(static_cast<std::uint8_t>(v >> shift));
  };
  be32(static_cast<std::uint32_t>(data.size()));
  const std::size_t start = file.size();
  file.insert(file.end(), type, type + 4);
  file.insert(file.end(), data.begin(), data.end());
  be32(static_cast<std::uint32_t>(crc32(0, file.data() + start, static_cast<uInt>(file.size() - start))));
}

// A well-formed start of a PNG that says it is width x height.
std::vector<std::uint8_t> png_header_claiming(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> ihdr;
  for (std::uint32_t v : {width, height})
    for (int shift : {24, 16, 8, 0}) ihdr.push_back(static_cast<std::uint8_t>(v >> shift));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  append_chunk(file, "IHDR", ihdr);
  append_chunk(file, "IDAT", {0x78, 0x9C, 0x03, 0x00});
  return file;
}

class Pngtoss4 : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    folder_ = fs::path(temp_path("x")).parent_path().string();
  }
  ProgramRun run(const std::string& program, const std::vector<std::string>& args) {
    return run_program(program, args, folder_);
  }
  std::set<std::string> listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename().string());
    return names;
  }
  std::string folder_;
};

TEST_F(Pngtoss4, WritesWhatTheEncoderScoredAndTheConverterShows) {
  struct Case {
    const char* name;
    RgbPicture source;
    std::vector<std::string> options;
    EncoderOptions encoder;
    bool crop;
  };
  auto gradient = picture(300, 200, [](int x, int y) { return std::tuple{x * 255 / 299, y * 255 / 199, 128}; });
  auto bands = picture(256, 192, [](int x, int y) { return std::tuple{(y / 64) * 120, (x / 32) * 36, 200}; });
  const Case cases[] = {
      {"gradient", gradient, {}, {}, false},
      {"crop_ordered", gradient, {"--crop", "--dither", "ordered"}, {true, Dither::ordered, 191}, true},
      {"bands_plain", bands, {"--dither=none", "--max-changes", "5"}, {true, Dither::none, 5}, false},
      {"no_changes", bands, {"--no-line-changes"}, {false, Dither::diffusion, 191}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string input = temp_path(std::string(c.name) + ".png");
    write_png(input, c.source);
    std::vector<std::string> args = c.options;
    args.push_back(input);
    ProgramRun r = run(PNGTOSS4_PATH, args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");

    const std::string written = temp_path(std::string(c.name) + ".ss4");
    EncodedScreen expected = encode_screen(fit_to_screen(c.source, c.crop), c.encoder);
    EXPECT_EQ(read_whole_file(written), expected.file);
    DecodedScreen decoded;
    EXPECT_EQ(decode_screen(read_whole_file(written), decoded), ScreenSize::usable);

    ProgramRun shown = run(SS4TOPNG_PATH, {"-s", "1", "--rgb", "-o", temp_path("shown.png"), written});
    ASSERT_EQ(shown.status, 0) << shown.err;
    DecodedPng png;
    ASSERT_TRUE(decode_png(temp_path("shown.png"), png));
    std::vector<std::uint8_t> rows;
    for (const auto& row : png.rows) rows.insert(rows.end(), row.begin(), row.end());
    EXPECT_EQ(rows, expected.shown.rgb);
  }
}

TEST_F(Pngtoss4, BadPicturesFailWithOneLineAndNoFile) {
  write_whole_file(temp_path("text.png"), {'h', 'e', 'l', 'l', 'o'});
  write_whole_file(temp_path("empty.png"), {});
  write_whole_file(temp_path("huge.png"), png_header_claiming(20000, 20000));
  write_png(temp_path("good.png"), picture(8, 8, [](int, int) { return std::tuple{10, 200, 30}; }));
  ProgramRun r = run(PNGTOSS4_PATH, {temp_path("text.png"), temp_path("empty.png"), temp_path("huge.png"),
                                     temp_path("missing.png"), temp_path("good.png")});
  EXPECT_EQ(r.status, 1);
  const std::vector<std::string> starts = {
      temp_path("text.png") + ": not a PNG image (",
      temp_path("empty.png") + ": not a PNG image (",
      temp_path("huge.png") + ": too large to encode (20000 x 20000 pixels)\n",
      temp_path("missing.png") + ": cannot read: No such file or directory\n",
  };
  std::size_t at = 0;
  for (const std::string& start : starts) {
    EXPECT_EQ(r.err.compare(at, start.size(), start), 0) << r.err;
    at = r.err.find('\n', at) + 1;
  }
  EXPECT_EQ(at, r.err.size()) << r.err;
  EXPECT_EQ(listing(), (std::set<std::string>{"text.png", "empty.png", "huge.png", "good.png", "good.ss4"}));
}

TEST_F(Pngtoss4, UsageErrorsExitWithTwoAndWriteNothing) {
  write_png(temp_path("a.png"), picture(4, 4, [](int, int) { return std::tuple{0, 0, 0}; }));
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--dither", "fast", temp_path("a.png")},
      {"--max-changes", "192", temp_path("a.png")},
      {"--max-changes=-1", temp_path("a.png")},
      {"-q", temp_path("a.png")},
      {temp_path("a.png"), "-o"},
      {"-o", temp_path("one.ss4"), temp_path("a.png"), temp_path("a.png")},
  };
  for (const auto& args : bad) {
    ProgramRun r = run(PNGTOSS4_PATH, args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_TRUE(r.err.starts_with("pngtoss4: ")) << r.err;
    EXPECT_TRUE(r.err.ends_with(USAGE)) << r.err;
  }
  EXPECT_EQ(listing(), (std::set<std::string>{"a.png"}));

  ProgramRun help = run(PNGTOSS4_PATH, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with(USAGE)) << help.out;
  EXPECT_EQ(run(PNGTOSS4_PATH, {"--version"}).out, "pngtoss4 (Tesselon) 0.1.0\n");
}

}  // namespace
