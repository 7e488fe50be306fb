// The loader module through gdk-pixbuf, as GTK programs use it: by file name
// (the MIME database maps *.ss4 to the screen type), by format name and MIME
// type in pieces of any size, with exactly the pixels `ss4topng -s 1 --rgb`
// writes; files that are not screens refused with an error and no picture;
// loads that read no further than the picture needs, nor past 2 GiB, whether
// gdk-pixbuf opens the file whole, a thumbnailer reads it, or it never ends.
#include "png_reader.h"
#include "run_program.h"

#include "sam/screen_decoder.h"

#include <gdk-pixbuf/gdk-pixbuf-io.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
struct Free {
  void operator()(gpointer object) const { g_object_unref(object); }
  void operator()(GError* error) const { g_error_free(error); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, Free>;
using Error = std::unique_ptr<GError, Free>;

// Before gdk-pixbuf is first used: a loader cache naming the built module
// and a MIME database that knows only *.ss4, so that nothing installed counts.
class LoaderEnvironment : public ::testing::Environment {
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "tesselon-pixbuf.XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    folder_ = folder;
    std::string preload;
#ifdef SANITIZER_RUNTIME  // the query program is not instrumented
    preload = "LD_PRELOAD=" SANITIZER_RUNTIME " ASAN_OPTIONS=detect_leaks=0 ";
#endif
    // Printed under the C locale, as Debian's trigger writes the system's cache.
    std::string query = "LC_ALL=C " + preload + QUERY_LOADERS + " " LOADER_MODULE " > " + folder +
                        "/loaders.cache && mkdir -p " + folder + "/mime/packages && cp " + MIME_PACKAGE " " + folder +
                        "/mime/packages && update-mime-database " + folder + "/mime 2>/dev/null";
    ASSERT_EQ(std::system(query.c_str()), 0) << query;
    setenv("GDK_PIXBUF_MODULE_FILE", (folder + "/loaders.cache").c_str(), 1);
    setenv("XDG_DATA_DIRS", folder.c_str(), 1);
    setenv("XDG_DATA_HOME", (folder + "/home").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};
[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new LoaderEnvironment);

Bytes read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
void write_file(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// R, G, B per pixel, top row first; empty unless 8-bit RGB without alpha.
std::vector<Bytes> rows_of(GdkPixbuf* pixbuf) {
  std::vector<Bytes> rows;
  if (!pixbuf || gdk_pixbuf_get_n_channels(pixbuf) != 3 || gdk_pixbuf_get_has_alpha(pixbuf)) return rows;
  for (int y = 0; y < gdk_pixbuf_get_height(pixbuf); ++y) {
    const guchar* row = gdk_pixbuf_read_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf);
    rows.emplace_back(row, row + 3 * gdk_pixbuf_get_width(pixbuf));
  }
  return rows;
}

Pixbuf load_file(const fs::path& path, Error& error) {
  GError* e = nullptr;
  Pixbuf pixbuf(gdk_pixbuf_new_from_file(path.c_str(), &e));
  error.reset(e);
  return pixbuf;
}

// Through a loader for a MIME type (or the format's name when null), in
// pieces from one byte to the whole file, sizes spread over every order of
// magnitude. Null, with `error`, when it fails.
Pixbuf load_in_pieces(const Bytes& file, const char* mime_type, std::mt19937& random, Error& error) {
  GError* e = nullptr;
  GdkPixbufLoader* loader =
      mime_type ? gdk_pixbuf_loader_new_with_mime_type(mime_type, &e) : gdk_pixbuf_loader_new_with_type("ss4", &e);
  bool ok = loader != nullptr;
  for (std::size_t at = 0, piece; ok && at < file.size(); at += piece) {
    piece = std::min<std::size_t>(file.size() - at, 1 + random() % (1u << random() % 17));
    ok = gdk_pixbuf_loader_write(loader, file.data() + at, piece, &e);
  }
  ok = ok && gdk_pixbuf_loader_close(loader, &e);
  error.reset(e);
  Pixbuf pixbuf(ok ? GDK_PIXBUF(g_object_ref(gdk_pixbuf_loader_get_pixbuf(loader))) : nullptr);
  if (loader) g_object_unref(loader);
  return pixbuf;
}

TEST(PixbufLoader, FormatWithBothMimeTypesAndNoSignature) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_mime_type("image/x-sam-ss4", nullptr);
  ASSERT_NE(loader, nullptr);
  GdkPixbufFormat* format = gdk_pixbuf_loader_get_format(loader);
  auto text = [](gchar* s) { return std::unique_ptr<gchar, decltype(&g_free)>(s, g_free); };
  auto list = [&](gchar** v) {
    std::unique_ptr<gchar*, decltype(&g_strfreev)> owned(v, g_strfreev);
    return text(g_strjoinv(" ", v));
  };
  EXPECT_STREQ(text(gdk_pixbuf_format_get_name(format)).get(), "ss4");
  EXPECT_STREQ(text(gdk_pixbuf_format_get_description(format)).get(), "SAM Coupe screen");
  EXPECT_STREQ(text(gdk_pixbuf_format_get_license(format)).get(), "MIT");
  EXPECT_STREQ(list(gdk_pixbuf_format_get_mime_types(format)).get(), "image/x-sam-screen image/x-sam-ss4");
  EXPECT_STREQ(list(gdk_pixbuf_format_get_extensions(format)).get(), "ss4");
  EXPECT_EQ(format->flags, static_cast<guint32>(GDK_PIXBUF_FORMAT_THREADSAFE));
  EXPECT_TRUE(!format->signature || !format->signature[0].prefix);
  gdk_pixbuf_loader_close(loader, nullptr);
  g_object_unref(loader);

  // Without a name, bytes are not taken for a screen (and nothing breaks).
  Bytes sample = read_file(SAMPLES_DIR "/raster_bars.ss4");
  GdkPixbufLoader* sniffing = gdk_pixbuf_loader_new();
  GError* e = nullptr;
  if (gdk_pixbuf_loader_write(sniffing, sample.data(), sample.size(), &e)) gdk_pixbuf_loader_close(sniffing, &e);
  Error unknown(e);
  EXPECT_TRUE(g_error_matches(unknown.get(), GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_UNKNOWN_TYPE));
  g_object_unref(sniffing);
  // What file managers ask first: the size, told before the end.
  int width = 0, height = 0;
  EXPECT_NE(gdk_pixbuf_get_file_info(SAMPLES_DIR "/raster_bars.ss4", &width, &height), nullptr);
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(SCREEN_WIDTH, SCREEN_HEIGHT));
}

class PixbufFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "tesselon-loader.XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    folder_ = folder;
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
  std::mt19937 random_{2024};
};

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
  const struct {
    std::int64_t size;
    const char* by_name;    // in the message of the load by file name
    const char* in_pieces;  // the same through a loader; null: not fed
  } cases[] = {
      {0, "contains no data", "0 bytes fits no SAM screen mode"},
      {24616, "24616 bytes fits no SAM screen mode", "24616 bytes fits no SAM screen mode"},
      {std::int64_t{1} << 31, "2147483648 bytes, less than 2 GiB needed", nullptr},  // sparse
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    fs::path path = folder_ / "bad.ss4";
    write_file(path, Bytes(std::min<std::int64_t>(c.size, 1000), 0x11));
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

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
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

struct Thumbnailing {
  int status = -1;
  std::string err;
  long peak_kib = 0;
};

// gdk-pixbuf-thumbnailer at 128 pixels, as a file manager runs it, with its
// peak memory (measured from a small process of its own).
Thumbnailing thumbnail(const fs::path& in, const fs::path& out) {
  const fs::path peak = out.string() + ".peak";
  std::vector<std::string> args = {PEAK_MEMORY_PATH, peak, "/usr/bin/env", THUMBNAILER, "-s", "128", in, out};
#ifdef SANITIZER_RUNTIME  // the thumbnailer is not instrumented
  args.insert(args.begin() + 3, {"LD_PRELOAD=" SANITIZER_RUNTIME, "ASAN_OPTIONS=detect_leaks=0"});
#endif
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  fs::path err = out.string() + ".err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  Thumbnailing run;
  pid_t pid = 0;
  int status = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 && waitpid(pid, &status, 0) == pid &&
      WIFEXITED(status)) {
    const Bytes figure = read_file(peak);
    run = {WEXITSTATUS(status), {}, std::atol(std::string(figure.begin(), figure.end()).c_str())};
  }
  posix_spawn_file_actions_destroy(&actions);
  Bytes text = read_file(err);
  run.err.assign(text.begin(), text.end());
  return run;
}

// The loader's memory bound: a load holds the bytes the picture needs, the
// decoded screen and the picture, under 300 KB whatever it reads, so a
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
