// The pngtoss4 program as a user runs it: what it writes is what the encoder
// scored and what the viewer's own converter shows, byte for byte, for
// pictures in the formats people have, turned as their cameras recorded;
// bad pictures, odd files and bad command lines get one clear line and no
// file; memory stays within what the largest picture taken needs.
#include "camera_jpeg.h"
#include "png_reader.h"
#include "run_program.h"
#include "runtime_fixture.h"

#include "encoder/fit_to_screen.h"
#include "encoder/screen_encoder.h"
#include "sam/frame_pixels.h"
#include "sam/screen_decoder.h"
#include "sam/screen_reader.h"
#include "sam_screens.h"

#include <fcntl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace {

const std::string USAGE =
    "usage: pngtoss4 [-o OUTPUT] [-f] [--no-line-changes] [--dither none|ordered|diffusion] "
    "[--max-changes N] [--crop] [-v] IMAGE...\n";

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

// Colours that change in every direction, so that a turned or mirrored
// picture never matches the original.
RgbPicture lopsided(int width, int height) {
  return picture(width, height, [&](int x, int y) {
    return std::tuple{x * 255 / (width - 1), y * 255 / (height - 1), (x / 9 + y / 6) % 2 * 200 + x % 7 * 8};
  });
}

void write_png(const std::string& name, const RgbPicture& p) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(p.width);
  image.height = static_cast<png_uint_32>(p.height);
  image.format = PNG_FORMAT_RGB;
  ASSERT_NE(png_image_write_to_file(&image, name.c_str(), 0, p.rgb.data(), 0, nullptr), 0) << image.message;
}

// What gdk-pixbuf itself shows for a file: decoded whole, turned by its own
// orientation rule, every pixel opaque.
RgbPicture seen_by_gdk_pixbuf(const std::string& path) {
  RgbPicture p;
  GdkPixbuf* stored = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (!stored) return p;
  GdkPixbuf* seen = gdk_pixbuf_apply_embedded_orientation(stored);
  p.width = gdk_pixbuf_get_width(seen);
  p.height = gdk_pixbuf_get_height(seen);
  const int channels = gdk_pixbuf_get_n_channels(seen), stride = gdk_pixbuf_get_rowstride(seen);
  const guint8* pixels = gdk_pixbuf_read_pixels(seen);
  bool opaque = true;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const guint8* pixel = pixels + y * stride + x * channels;
      opaque = opaque && (channels == 3 || pixel[3] == 255);
      p.rgb.insert(p.rgb.end(), pixel, pixel + 3);
    }
  g_object_unref(seen);
  g_object_unref(stored);
  return opaque ? p : RgbPicture{};
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

std::vector<std::uint8_t> png_start(std::uint32_t width, std::uint32_t height, bool alpha) {
  std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> ihdr;
  for (std::uint32_t v : {width, height})
    for (int shift : {24, 16, 8, 0}) ihdr.push_back(static_cast<std::uint8_t>(v >> shift));
  ihdr.insert(ihdr.end(), {8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0});
  append_chunk(file, "IHDR", ihdr);
  return file;
}

// A well-formed start of a PNG that says it is width x height.
std::vector<std::uint8_t> png_header_claiming(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> file = png_start(width, height, false);
  append_chunk(file, "IDAT", {0x78, 0x9C, 0x03, 0x00});
  return file;
}

// A PNG of one grey, deflated a row at a time.
std::vector<std::uint8_t> grey_png(std::uint32_t width, std::uint32_t height, bool alpha) {
  std::vector<std::uint8_t> file = png_start(width, height, alpha), compressed, out(1 << 16);
  std::vector<std::uint8_t> row(1 + std::size_t{width} * (alpha ? 4 : 3), 0x80);
  row[0] = 0;  // no filter
  z_stream z{};
  deflateInit(&z, Z_BEST_SPEED);
  for (std::uint32_t y = 0; y <= height; ++y) {
    z.next_in = row.data();
    z.avail_in = y < height ? static_cast<uInt>(row.size()) : 0;
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      deflate(&z, y < height ? Z_NO_FLUSH : Z_FINISH);
      compressed.insert(compressed.end(), out.data(), z.next_out);
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  append_chunk(file, "IDAT", compressed);
  append_chunk(file, "IEND", {});
  return file;
}

std::vector<std::uint8_t> first_half(std::vector<std::uint8_t> bytes) {
  bytes.resize(bytes.size() / 2);
  return bytes;
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
      // The same value twice is no conflict.
      {"crop_ordered",
       gradient,
       {"--crop", "--dither", "ordered", "--dither=ordered"},
       {true, Dither::ordered, 191},
       true},
      {"bands_plain", bands, {"--dither=none", "--max-changes", "5", "-v"}, {true, Dither::none, 5}, false},
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

    const std::string written = temp_path(std::string(c.name) + ".ss4");
    EncodedScreen expected = encode_screen(fit_to_screen(c.source, c.crop), c.encoder);
    EXPECT_EQ(read_whole_file(written), expected.file);
    char verbose[200] = "";
    if (std::find(c.options.begin(), c.options.end(), "-v") != c.options.end())
      std::snprintf(verbose, sizeof verbose, "%s: %d colours, %d line changes, mean error %.2f (seen %.2f)\n",
                    written.c_str(), expected.colours_used, expected.changes, expected.mean_error, expected.seen_error);
    EXPECT_EQ(r.out, verbose);
    EXPECT_EQ(r.err, "");
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

// The first thing a user tries: a photo into a screen and back. Neither
// program writes over a file under a name it made up; --force does.
TEST_F(Pngtoss4, TheRoundTripKeepsThePhoto) {
  const std::string photo = temp_path("pic.png"), screen = temp_path("pic.ss4");
  write_png(photo, picture(64, 48, [](int x, int y) { return std::tuple{x * 4, y * 5, 90}; }));
  const std::vector<std::uint8_t> photo_bytes = read_whole_file(photo);
  ASSERT_EQ(run(PNGTOSS4_PATH, {photo}).status, 0);
  const std::vector<std::uint8_t> screen_bytes = read_whole_file(screen);
  const std::string exists = " exists; -o names it, --force replaces it\n";

  ProgramRun back = run(SS4TOPNG_PATH, {screen});
  EXPECT_EQ(back.status, 1);
  EXPECT_EQ(back.err, screen + ": " + photo + exists);
  ProgramRun again = run(PNGTOSS4_PATH, {"--dither", "none", photo});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, photo + ": " + screen + exists);
  EXPECT_EQ(read_whole_file(photo), photo_bytes);
  EXPECT_EQ(read_whole_file(screen), screen_bytes);

  EXPECT_EQ(run(PNGTOSS4_PATH, {"-f", "--dither", "none", photo}).status, 0);
  EXPECT_NE(read_whole_file(screen), screen_bytes);
  EXPECT_EQ(listing(), (std::set<std::string>{"pic.png", "pic.ss4"}));
}

// A SAM screen of any mode is encoded from its main frame as shown (mode
// 3's rows twice): by its name, or by a SCREEN$ header without one. A mode
// 1 screen's sixteen colours come out exactly.
TEST_F(Pngtoss4, ReadsSamScreensOfEveryModeAsTheirMainFrame) {
  const struct {
    ScreenRecipe recipe;
    const char* name;
  } cases[] = {
      {{"", 1, 5}, "exact.ss1"},
      {{"", 2, 6, true, true, true, 30}, "headed"},
      {{"", 3, 7, true, false, false, 12}, "wide.SS3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> file = sam_screen_file(c.recipe);
    const std::string input = temp_path(c.name);
    write_whole_file(input, file);
    ProgramRun r = run(PNGTOSS4_PATH, {"-v", "-o", temp_path("out.ss4"), input});
    ASSERT_EQ(r.status, 0) << r.err;

    auto screen = std::make_unique<SamScreen>();
    ScreenReader reader(mode_of_name(c.name));
    reader.feed(file.data(), file.size());
    ASSERT_TRUE(reader.finish(*screen).kind);
    const int width = shown_width(*screen), height = shown_height(*screen);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3));
    frame_pixels(*screen, 0, 0, ChannelOrder::rgb, rgb.data(), width * 3);
    const EncodedScreen expected =
        encode_screen(fit_to_screen(PictureView{width, height, width * 3, 3, rgb.data()}, false), {});
    EXPECT_EQ(read_whole_file(temp_path("out.ss4")), expected.file);
    if (c.recipe.mode == 1) {
      EXPECT_NE(r.out.find("mean error 0.00"), std::string::npos) << r.out;
    }
  }
}

// Each file is encoded from exactly the pixels gdk-pixbuf shows for it,
// turned by the orientation its camera recorded.
TEST_F(Pngtoss4, ReadsThePicturesPeopleHaveTurnedAsSeen) {
  const RgbPicture source = lopsided(45, 30);  // rows of 135 bytes: stored with padding
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
  for (int orientation = 1; orientation <= 8; ++orientation)
    files.emplace_back("camera" + std::to_string(orientation) + ".jpg",
                       camera_jpeg(source.rgb, source.width, source.height, orientation));
  for (const char* format : {"tiff", "bmp", "webp", "ico"})
    files.emplace_back(std::string("picture_") + format + "." + format,
                       saved_as(format, source.rgb, source.width, source.height));
  fs::create_directory(temp_path("out"));
  std::vector<std::string> args = {"-o", temp_path("out")};
  for (const auto& [name, bytes] : files) {
    ASSERT_FALSE(bytes.empty()) << name;
    write_whole_file(temp_path(name), bytes);
    args.push_back(temp_path(name));
  }
  ProgramRun r = run(PNGTOSS4_PATH, args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const RgbPicture seen = seen_by_gdk_pixbuf(temp_path(name));
    ASSERT_FALSE(seen.rgb.empty());
    const std::string screen = temp_path("out/" + fs::path(name).stem().string() + ".ss4");
    EXPECT_EQ(read_whole_file(screen), encode_screen(fit_to_screen(seen, false), {}).file);
  }
}

TEST_F(Pngtoss4, BadPicturesAndOddFilesFailWithOneLineAndNoFile) {
  struct Bad {
    std::string name;
    std::function<void(const std::string& path)> make;
    std::string line;  // after "PATH: "
  };
  auto bytes = [](std::vector<std::uint8_t> b) { return [b](const std::string& path) { write_whole_file(path, b); }; };
  const RgbPicture noise = picture(64, 64, [](int x, int y) {
    return std::tuple{x * 37 % 256, y * 91 % 256, x * y % 256};
  });
  std::vector<std::uint8_t> huge_bmp = saved_as("bmp", noise.rgb, 64, 64);
  for (int at : {18, 22})  // width and height, little-endian
    for (int i = 0; i < 4; ++i)
      huge_bmp[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(30000 >> (8 * i));
  const Bad bad[] = {
      {"text.png", bytes({'h', 'e', 'l', 'l', 'o'}), "not a picture (Unrecognized image file format)"},
      {"empty.png", bytes({}), "not a picture (Unrecognized image file format)"},
      {"huge.png", bytes(png_header_claiming(20000, 20000)), "too large to encode (20000 x 20000 pixels)"},
      // Past libpng's own limit, whatever the pixel count.
      {"tall.png", bytes(png_header_claiming(1, 2000000)), "too large to encode (1 x 2000000 pixels)"},
      {"wide.bmp", bytes(huge_bmp), "too large to encode (30000 x 30000 pixels)"},
      {"half.png", bytes(first_half(saved_as("png", noise.rgb, 64, 64))), "cut short"},
      {"cut.jpg", bytes(first_half(camera_jpeg(noise.rgb, 64, 64, 0))), "cut short"},
      {"oversized.png",
       [](const std::string& path) {
         write_whole_file(path, png_header_claiming(8, 8));
         fs::resize_file(path, (std::uintmax_t{256} << 20) + 1);
       },
       "too large to encode (more than 256 MiB)"},
      {"missing.png", [](const std::string&) {}, "Bad size or file not exists"},
      {"folder.png", [](const std::string& path) { fs::create_directory(path); }, "is a folder"},
      {"fifo.png", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
       "Bad size or file not exists"},
  };
  std::vector<std::string> args;
  std::string expected;
  std::set<std::string> names = {"good.png", "good.ss4"};
  for (const Bad& b : bad) {
    b.make(temp_path(b.name));
    args.push_back(temp_path(b.name));
    expected += temp_path(b.name) + ": " + b.line + "\n";
    if (b.name != "missing.png") names.insert(b.name);
  }
  write_png(temp_path("good.png"), picture(8, 8, [](int, int) { return std::tuple{10, 200, 30}; }));
  args.push_back(temp_path("good.png"));
  // Should it wait for the FIFO's writer, one comes after a minute: the test
  // then fails instead of hanging.
  std::thread([fifo = temp_path("fifo.png")] {
    std::this_thread::sleep_for(std::chrono::minutes(1));
    ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  }).detach();
  ProgramRun r = run(PNGTOSS4_PATH, args);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, expected);
  EXPECT_EQ(listing(), names);
}

// Memory follows the largest picture taken (64 megapixels with
// transparency: 256 MiB of pixels), never the shape or size of the input.
TEST_F(Pngtoss4, MemoryStaysWithinTheLargestPicture) {
  struct Case {
    const char* name;
    std::uint32_t width, height;
    bool alpha;
    std::vector<std::string> options;
    long bound_kib;
  };
  const Case cases[] = {
      {"needle.png", 1, 1000000, false, {"--crop"}, 64 * 1024},
      {"largest.png", 8192, 8192, true, {}, 288 * 1024},
  };
#ifdef __SANITIZE_ADDRESS__
  // The sanitizer shadows the memory used, an eighth more and its own
  // books; the freed memory it keeps back is not the program's.
  const char* options = std::getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", (std::string(options ? options : "") + ":quarantine_size_mb=0").c_str(), 1);
  constexpr double SANITIZER_SHARE = 1.25;
#else
  constexpr double SANITIZER_SHARE = 1.0;
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write_whole_file(temp_path(c.name), grey_png(c.width, c.height, c.alpha));
    std::vector<std::string> args = c.options;
    args.push_back(temp_path(c.name));
    ProgramRun r = run(PNGTOSS4_PATH, args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_LT(r.peak_kib, c.bound_kib * SANITIZER_SHARE);
    RecordProperty(c.name, std::to_string(r.peak_kib));
  }
}

TEST_F(Pngtoss4, UsageErrorsExitWithTwoAndWriteNothing) {
  write_png(temp_path("a.png"), picture(4, 4, [](int, int) { return std::tuple{0, 0, 0}; }));
  const std::string a = temp_path("a.png");
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--dither", "fast", a},
      {"--max-changes", "192", a},
      {"--max-changes=-1", a},
      {"-q", a},
      {a, "-o"},
      {"-o", temp_path("one.ss4"), a, a},
      {"--no-line-changes", "--max-changes", "3", a},
      {"--max-changes", "3", "--max-changes=4", a},
      {"--dither", "none", a, "--dither", "ordered"},
      {"-o", temp_path("one.ss4"), "-o", temp_path("two.ss4"), a},
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
