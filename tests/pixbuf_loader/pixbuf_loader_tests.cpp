// The loader module through gdk-pixbuf, as GTK programs use it: by file name
// (the MIME database maps *.ss4 to the screen type), by format name and MIME
// type in pieces of any size, with exactly the pixels `ss4topng -s 1 --rgb`
// writes; files that are not screens refused with an error and no picture;
// loads that read no further than the picture needs, nor past 2 GiB, whether
// gdk-pixbuf opens the file whole, a thumbnailer reads it, or it never ends.
#include "loader_test_support.h"
#include "png_reader.h"
#include "run_program.h"

#include "sam/screen_decoder.h"

#include <gdk-pixbuf/gdk-pixbuf-io.h>

#include <dlfcn.h>
#include <unistd.h>

namespace {

// Each module's format as gdk-pixbuf lists it, found by a type of its own:
// the mode 3 files' module, and the other, which also knows the SCREEN$
// header's signature.
TEST(PixbufLoader, EachModulesFormat) {
  const struct {
    const char* mime_type;
    const char *name, *description, *mime_types, *extensions;
    bool signature;
  } formats[] = {
      {"image/x-sam-ss4", "ss4", "SAM Coupe screen",
       "image/x-sam-screen image/x-sam-ss4 image/x-sam-screen-mode1 image/x-sam-screen-mode2 image/x-sam-screen-file",
       "ss4 ss1 ss2", true},
      {"image/x-sam-screen-mode3", "ss3", "SAM Coupe screen, mode 3", "image/x-sam-screen-mode3", "ss3", false},
  };
  auto text = [](gchar* s) { return std::unique_ptr<gchar, decltype(&g_free)>(s, g_free); };
  auto list = [&](gchar** v) {
    std::unique_ptr<gchar*, decltype(&g_strfreev)> owned(v, g_strfreev);
    return text(g_strjoinv(" ", v));
  };
  for (const auto& f : formats) {
    SCOPED_TRACE(f.name);
    std::unique_ptr<GdkPixbufLoader, Free> loader(gdk_pixbuf_loader_new_with_mime_type(f.mime_type, nullptr));
    ASSERT_NE(loader, nullptr);
    GdkPixbufFormat* format = gdk_pixbuf_loader_get_format(loader.get());
    EXPECT_STREQ(text(gdk_pixbuf_format_get_name(format)).get(), f.name);
    EXPECT_STREQ(text(gdk_pixbuf_format_get_description(format)).get(), f.description);
    EXPECT_STREQ(text(gdk_pixbuf_format_get_license(format)).get(), "MIT");
    EXPECT_STREQ(list(gdk_pixbuf_format_get_mime_types(format)).get(), f.mime_types);
    EXPECT_STREQ(list(gdk_pixbuf_format_get_extensions(format)).get(), f.extensions);
    EXPECT_EQ(format->flags, static_cast<guint32>(GDK_PIXBUF_FORMAT_THREADSAFE));
    EXPECT_EQ(format->signature && format->signature[0].prefix, f.signature);
    gdk_pixbuf_loader_close(loader.get(), nullptr);
  }
  // Without a name or a header, bytes are not taken for a screen.
  Error error;
  std::mt19937 random;
  EXPECT_EQ(load_in_pieces(read_file(SAMPLES_DIR "/raster_bars.ss4"), "", random, error), nullptr);
  EXPECT_TRUE(g_error_matches(error.get(), GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_UNKNOWN_TYPE));
}

// Random bytes of random usable sizes; every other one a table of records
// that change rows, ended or not, with anything after.
Bytes random_screen(std::mt19937& random, bool table) {
  Bytes file(table ? LINE_TABLE_OFFSET + 4 * (random() % 300) : MIN_SS4_SIZE + random() % 4000);
  for (std::size_t i = 0; i < file.size(); ++i) {
    bool line_or_entry = table && i >= LINE_TABLE_OFFSET && i % 4 < 2;
    file[i] = static_cast<std::uint8_t>(line_or_entry ? random() % (i % 4 ? 20 : 191) : random());
  }
  for (int tail = static_cast<int>(random() % 40) + 1; tail-- > 0;) file.push_back(random() % 256);
  return file;
}

TEST_F(PixbufFiles, EveryScreenHasTheViewersSingleSizePixels) {
  std::vector<fs::path> screens = {SAMPLES_DIR "/raster_bars.ss4", SAMPLES_DIR "/colour_chart.ss4",
                                   SAMPLES_DIR "/test_pattern.ss4"};
  for (const auto& entry : fs::directory_iterator(CORPUS_DIR)) screens.push_back(entry.path());
  ASSERT_GE(screens.size(), 3u + 16u);
  for (int n = 0; n < 200; ++n) {
    std::string name = "r";  // appended in place: GCC 12 sees a false overlap in "r" + ... at -O3
    name += std::to_string(n);
    screens.push_back(folder_ / (name += ".ss4"));
    write_file(screens.back(), random_screen(random_, n % 2));
  }
  std::vector<std::string> args = {"-j", "2", "-s", "1", "--rgb", "-o", (folder_ / "png").string()};
  fs::create_directory(args.back());
  args.insert(args.end(), screens.begin(), screens.end());
  ProgramRun run = run_program(SS4TOPNG_PATH, args, folder_.string());
  ASSERT_EQ(run.status, 0) << run.err;

  const char* const types[] = {nullptr, "image/x-sam-screen", "image/x-sam-ss4"};
  for (std::size_t i = 0; i < screens.size(); ++i) {
    SCOPED_TRACE(screens[i].string());
    DecodedPng expected;
    ASSERT_TRUE(decode_png((folder_ / "png" / screens[i].stem()).string() + ".png", expected));
    ASSERT_EQ(expected.rows.size(), static_cast<std::size_t>(SCREEN_HEIGHT));
    Error error;
    EXPECT_EQ(rows_of(load_file(screens[i], error).get()), expected.rows) << (error ? error->message : "");
    Pixbuf in_pieces = load_in_pieces(read_file(screens[i]), types[i % 3], random_, error);
    EXPECT_EQ(rows_of(in_pieces.get()), expected.rows) << (error ? error->message : "");
    // As thumbnailers open it: read only until the picture is complete.
    Pixbuf at_size(gdk_pixbuf_new_from_file_at_size(screens[i].c_str(), SCREEN_WIDTH, SCREEN_HEIGHT, nullptr));
    EXPECT_EQ(rows_of(at_size.get()), expected.rows);
    EXPECT_STREQ(at_size ? gdk_pixbuf_get_option(at_size.get(), "original-width") : "", "256");
  }
}

TEST_F(PixbufFiles, RefusesFilesThatAreNotScreensWithNoPicture) {
  // A SCREEN$ header saying 7,000 bytes follow it: picked by its signature,
  // whatever the name, and refused, since nothing else gives a mode.
  const Bytes header = {20, 7000 & 0xFF, 7000 >> 8, 0x00, 0x80, 0xFF, 0xFF, 0, 0x1E};
  const struct {
    std::int64_t size;
    Bytes start;            // then 0x11 up to 1000 bytes, then zeros
    const char* by_name;    // in the message of the load by file name
    const char* in_pieces;  // the same through a loader; null: not fed
  } cases[] = {
      {0, {}, "contains no data", "0 bytes fits no SAM screen mode"},
      {24616, {}, "24616 bytes fits no SAM screen mode", "24616 bytes fits no SAM screen mode"},
      {30000, header, "its SCREEN$ header says 7000 bytes follow it, but 29991 do",
       "its SCREEN$ header says 7000 bytes follow it, but 29991 do"},
      {std::int64_t{1} << 31, {}, "2147483648 bytes, less than 2 GiB needed", nullptr},  // sparse
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    fs::path path = folder_ / "bad.ss4";
    write_file(path, c.start + Bytes(std::min<std::int64_t>(c.size, 1000) - c.start.size(), 0x11));
    fs::resize_file(path, static_cast<std::uintmax_t>(c.size));
    Error error;
    for (int way = 0; way < (c.in_pieces ? 3 : 1); ++way) {  // by name, by format name, by MIME type
      Pixbuf pixbuf = way == 0
                          ? load_file(path, error)
                          : load_in_pieces(read_file(path), way == 1 ? nullptr : "image/x-sam-ss4", random_, error);
      EXPECT_EQ(pixbuf, nullptr);
      ASSERT_TRUE(error);
      EXPECT_TRUE(g_error_matches(error.get(), GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE)) << error->message;
      EXPECT_NE(std::string(error->message).find(way == 0 ? c.by_name : c.in_pieces), std::string::npos)
          << error->message;
    }
  }
}

// Records for rows first_line + 1 on, one a row.
Bytes records(int count, int first_line) {
  Bytes table(4 * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    table[4 * i] = static_cast<std::uint8_t>((first_line + i) % 191);
    table[4 * i + 1] = static_cast<std::uint8_t>(i % 16);
    table[4 * i + 2] = static_cast<std::uint8_t>(i);
  }
  return table;
}

// The module's own vtable, for its `load` on a FILE*.
GdkPixbufModule loader_module() {
  GdkPixbufModule module{};
  void* library = dlopen(LOADER_MODULE, RTLD_NOW | RTLD_LOCAL);  // left open: the module stays loaded anyway
  if (library) reinterpret_cast<GdkPixbufModuleFillVtableFunc>(dlsym(library, "fill_vtable"))(&module);
  return module;
}

TEST_F(PixbufFiles, LoadFromAFileReadsNoFurtherThanThePictureNeeds) {
  GdkPixbufModule module = loader_module();
  ASSERT_NE(module.load, nullptr);

  const Bytes garbage(4 << 20, 7);  // records that would change row 8
  const struct {
    const char* what;
    Bytes table;
    long needed;  // bytes of the table
  } cases[] = {
      {"an end mark, then megabytes", records(3, 20) + Bytes{191, 0, 0, 0} + garbage, 13},
      {"every row changed, then megabytes", records(191, 0) + garbage, 764},
      {"the end mark in the second piece", records(1, 0) + Bytes(80000, 0) + Bytes{200} + garbage, 80005},
      {"no end mark", records(5, 0) + Bytes{9}, 21},
  };
  Bytes fixed = read_file(SAMPLES_DIR "/colour_chart.ss4");
  fixed.resize(LINE_TABLE_OFFSET);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(folder_ / "screen.ss4", fixed + c.table);
    FILE* f = std::fopen((folder_ / "screen.ss4").c_str(), "rb");
    GError* e = nullptr;
    Pixbuf pixbuf(module.load(f, &e));
    Error error(e);
    EXPECT_EQ(std::ftell(f), LINE_TABLE_OFFSET + c.needed);
    std::fclose(f);
    EXPECT_EQ(rows_of(pixbuf.get()), rows_of(load_in_pieces(fixed + c.table, nullptr, random_, error).get()));
  }
}

// A screen whose table ends at once, so that nothing after it counts.
Bytes ended_screen() {
  Bytes fixed = read_file(SAMPLES_DIR "/colour_chart.ss4");
  fixed.resize(LINE_TABLE_OFFSET);
  return fixed + records(3, 20) + Bytes{191, 0, 0, 0};
}
constexpr std::int64_t TWO_GIB = std::int64_t{1} << 31;
constexpr const char* TOO_LARGE = "2147483648 bytes, less than 2 GiB needed";
bool too_large(const Error& error) { return error && std::string(error->message).find(TOO_LARGE) != std::string::npos; }

TEST_F(PixbufFiles, LoadFromAStreamStopsAtThePictureOr2GiB) {
  GdkPixbufModule module = loader_module();
  ASSERT_NE(module.load, nullptr);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  Bytes screen = ended_screen();  // fits in the pipe, which is left open
  ASSERT_EQ(write(ends[1], screen.data(), screen.size()), static_cast<ssize_t>(screen.size()));
  Error error;
  const struct {
    FILE* stream;
    std::vector<Bytes> rows;  // none: refused as too large
  } cases[] = {{fdopen(ends[0], "rb"), rows_of(load_in_pieces(screen, nullptr, random_, error).get())},
               {std::fopen("/dev/zero", "rb"), {}}};
  for (const auto& c : cases) {
    ASSERT_NE(c.stream, nullptr);
    GError* e = nullptr;
    Pixbuf pixbuf(module.load(c.stream, &e));
    error.reset(e);
    std::fclose(c.stream);
    EXPECT_EQ(rows_of(pixbuf.get()), c.rows);
    EXPECT_EQ(too_large(error), c.rows.empty());
  }
  close(ends[1]);
}

// The loader's memory bound: a load holds the bytes the picture needs, the
// decoded screen and its pictures, under 1.5 MB whatever it reads, so a
// thumbnailer's peak stays within 4 MiB of its peak on a 25 KB screen
// (within 0.4 MiB measured; the sanitizers' bookkeeping adds up to 1.5).
constexpr long LOAD_MEMORY_KIB = 4 * 1024;

TEST_F(PixbufFiles, AThumbnailerStopsAtThePictureOr2GiBInLittleMemory) {
  Thumbnailing sample = thumbnail(SAMPLES_DIR "/raster_bars.ss4", folder_ / "sample.png");
  ASSERT_EQ(sample.status, 0) << sample.err;
  const struct {
    const char* name;
    Bytes start;         // then zeros up to `size`
    std::int64_t size;   // or, when 0,
    const char* device;  // a link to this device
    bool shown;          // else refused as too large
  } cases[] = {
      {"64 GiB, the table ended", ended_screen(), TWO_GIB * 32, nullptr, true},
      {"64 GiB of zeros", {}, TWO_GIB * 32, nullptr, false},
      {"2 GiB - 1 of zeros", {}, TWO_GIB - 1, nullptr, true},
      {"2 GiB of zeros", {}, TWO_GIB, nullptr, false},
      {"a link to /dev/zero", {}, 0, "/dev/zero", false},
      {"a link to /dev/urandom", {}, 0, "/dev/urandom", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::path screen = folder_ / "screen.ss4", png = folder_ / "thumbnail.png";
    if (c.device) {
      fs::create_symlink(c.device, screen);
    } else {
      write_file(screen, c.start);
      fs::resize_file(screen, static_cast<std::uintmax_t>(c.size));
    }
    fs::remove(png);
    Thumbnailing run = thumbnail(screen, png);
    EXPECT_EQ(run.status, c.shown ? 0 : 1) << run.err;
    DecodedPng shown;
    EXPECT_EQ(decode_png(png.string(), shown) && shown.width == 128 && shown.height == 96, c.shown);
    EXPECT_EQ(run.err.find(TOO_LARGE) != std::string::npos, !c.shown) << run.err;
    EXPECT_LE(run.peak_kib, sample.peak_kib + LOAD_MEMORY_KIB);
    RecordProperty(c.name, std::to_string(run.peak_kib - sample.peak_kib));
    fs::remove(screen);
  }
}

}  // namespace
