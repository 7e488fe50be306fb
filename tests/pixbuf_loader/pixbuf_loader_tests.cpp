// The loader module through gdk-pixbuf, as GTK programs use it: by file name
// (the MIME database maps *.ss4 to the screen type), by format name and MIME
// type in pieces of any size, with exactly the pixels `ss4topng -s 1 --rgb`
// writes; files that are not screens refused with an error and no picture;
// and a whole-file load that reads no further than the picture needs.
#include "png_reader.h"
#include "run_program.h"

#include "screen/screen_decoder.h"

#include <gdk-pixbuf/gdk-pixbuf-io.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rows = std::vector<std::vector<std::uint8_t>>;

struct Unref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, Unref>;
struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using Error = std::unique_ptr<GError, ErrorFree>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void write_file(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

Bytes read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// R, G, B per pixel, top row first; empty unless 8-bit RGB without alpha.
Rows rows_of(GdkPixbuf* pixbuf) {
  if (!pixbuf || gdk_pixbuf_get_n_channels(pixbuf) != 3 || gdk_pixbuf_get_has_alpha(pixbuf) ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8)
    return {};
  Rows rows;
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  for (int y = 0; y < gdk_pixbuf_get_height(pixbuf); ++y) {
    const guchar* row = pixels + y * gdk_pixbuf_get_rowstride(pixbuf);
    rows.emplace_back(row, row + 3 * gdk_pixbuf_get_width(pixbuf));
  }
  return rows;
}

// The file through a loader of the given type, in pieces of random sizes
// from one byte to the whole file. Null, with `error`, when it fails.
Pixbuf load_in_pieces(const Bytes& file, const char* mime_type, std::mt19937& random, Error& error) {
  GError* e = nullptr;
  GdkPixbufLoader* loader =
      mime_type ? gdk_pixbuf_loader_new_with_mime_type(mime_type, &e) : gdk_pixbuf_loader_new_with_type("ss4", &e);
  if (!loader) {
    error.reset(e);
    return nullptr;
  }
  bool ok = true;
  for (std::size_t at = 0; ok && at < file.size();) {
    // Sizes spread over every order of magnitude.
    std::size_t piece = std::min<std::size_t>(file.size() - at, 1 + random() % (1u << random() % 17));
    ok = gdk_pixbuf_loader_write(loader, file.data() + at, piece, &e);
    at += piece;
  }
  if (ok)
    ok = gdk_pixbuf_loader_close(loader, &e);
  else
    gdk_pixbuf_loader_close(loader, nullptr);
  error.reset(e);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
  if (pixbuf) g_object_ref(pixbuf);
  g_object_unref(loader);
  return Pixbuf(ok ? pixbuf : nullptr);
}

Pixbuf load_file(const fs::path& path, Error& error) {
  GError* e = nullptr;
  Pixbuf pixbuf(gdk_pixbuf_new_from_file(path.c_str(), &e));
  error.reset(e);
  return pixbuf;
}

class PixbufLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tesselon-loader.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

TEST_F(PixbufLoader, FormatIsRegisteredWithBothMimeTypes) {
  GdkPixbufFormat* ss4 = nullptr;
  GSList* formats = gdk_pixbuf_get_formats();
  for (GSList* f = formats; f; f = f->next) {
    gchar* name = gdk_pixbuf_format_get_name(static_cast<GdkPixbufFormat*>(f->data));
    if (std::string(name) == "ss4") ss4 = static_cast<GdkPixbufFormat*>(f->data);
    g_free(name);
  }
  g_slist_free(formats);
  ASSERT_NE(ss4, nullptr);
  auto text = [](gchar* s) {
    std::string t = s;
    g_free(s);
    return t;
  };
  auto list = [](gchar** v) {
    std::vector<std::string> l(v, v + g_strv_length(v));
    g_strfreev(v);
    return l;
  };
  EXPECT_EQ(text(gdk_pixbuf_format_get_description(ss4)), "SAM Coupé screen");
  EXPECT_EQ(text(gdk_pixbuf_format_get_license(ss4)), "MIT");
  EXPECT_EQ(list(gdk_pixbuf_format_get_mime_types(ss4)),
            (std::vector<std::string>{"image/x-sam-screen", "image/x-sam-ss4"}));
  EXPECT_EQ(list(gdk_pixbuf_format_get_extensions(ss4)), std::vector<std::string>{"ss4"});
  EXPECT_FALSE(gdk_pixbuf_format_is_writable(ss4));
  EXPECT_EQ(ss4->flags, static_cast<guint32>(GDK_PIXBUF_FORMAT_THREADSAFE));
  // No signature: the cache keeps none, and bytes alone are not taken for
  // a screen.
  EXPECT_TRUE(!ss4->signature || !ss4->signature[0].prefix);
  GdkPixbufLoader* sniffing = gdk_pixbuf_loader_new();
  Bytes sample = read_file(SAMPLES_DIR "/raster_bars.ss4");
  GError* e = nullptr;
  if (gdk_pixbuf_loader_write(sniffing, sample.data(), sample.size(), &e)) gdk_pixbuf_loader_close(sniffing, &e);
  Error unknown(e);
  EXPECT_TRUE(g_error_matches(unknown.get(), GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_UNKNOWN_TYPE));
  g_object_unref(sniffing);

  // What file managers ask first: the format and size, told before the end.
  int width = 0, height = 0;
  GdkPixbufFormat* info = gdk_pixbuf_get_file_info(SAMPLES_DIR "/raster_bars.ss4", &width, &height);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(text(gdk_pixbuf_format_get_name(info)), "ss4");
  EXPECT_EQ(width, SCREEN_WIDTH);
  EXPECT_EQ(height, SCREEN_HEIGHT);
}

// Random bytes of random usable sizes; every other one with a table of
// records that change rows, ended or not, and anything after.
Bytes random_screen(std::mt19937& random, int n) {
  Bytes file(LINE_TABLE_OFFSET + (random() % 4 ? random() % 24 : random() % 4000) + 1);
  for (std::uint8_t& b : file) b = static_cast<std::uint8_t>(random());
  if (n % 2) {
    file.resize(LINE_TABLE_OFFSET);
    for (int records = static_cast<int>(random() % 300); records-- > 0;)
      file.insert(file.end(), {static_cast<std::uint8_t>(random() % 191), static_cast<std::uint8_t>(random() % 20),
                               static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random())});
    for (int tail = static_cast<int>(random() % 40); tail-- > 0;) file.push_back(static_cast<std::uint8_t>(random()));
    if (file.size() < MIN_SS4_SIZE) file.push_back(191);
  }
  return file;
}

TEST_F(PixbufLoader, EveryScreenHasTheViewersSingleSizePixels) {
  std::vector<fs::path> screens;
  for (const char* name : {"raster_bars", "colour_chart", "test_pattern"})
    screens.push_back(fs::path(SAMPLES_DIR) / (std::string(name) + ".ss4"));
  for (const auto& entry : fs::directory_iterator(CORPUS_DIR)) screens.push_back(entry.path());
  ASSERT_GE(screens.size(), 3u + 16u);
  std::mt19937 random(2024);
  fs::create_directory(folder_ / "random");
  for (int n = 0; n < 200; ++n) {
    // Appended in place: GCC 12 sees a false overlap in "r" + ... at -O3.
    std::string name = "r";
    name += std::to_string(n);
    name += ".ss4";
    screens.push_back(folder_ / "random" / name);
    write_file(screens.back(), random_screen(random, n));
  }

  fs::create_directory(folder_ / "png");
  std::vector<std::string> args = {"-j", "2", "-s", "1", "--rgb", "-o", (folder_ / "png").string()};
  for (const fs::path& screen : screens) args.push_back(screen.string());
  ProgramRun run = run_program(SS4TOPNG_PATH, args, folder_.string());
  ASSERT_EQ(run.status, 0) << run.err;

  const char* const ways[] = {nullptr, "image/x-sam-screen", "image/x-sam-ss4"};
  for (std::size_t i = 0; i < screens.size(); ++i) {
    SCOPED_TRACE(screens[i].string());
    DecodedPng expected;
    ASSERT_TRUE(decode_png((folder_ / "png" / screens[i].stem()).string() + ".png", expected));
    ASSERT_EQ(expected.rows.size(), static_cast<std::size_t>(SCREEN_HEIGHT));
    Error error;
    Pixbuf by_name = load_file(screens[i], error);
    EXPECT_EQ(rows_of(by_name.get()), expected.rows) << (error ? error->message : "");
    Pixbuf in_pieces = load_in_pieces(read_file(screens[i]), ways[i % 3], random, error);
    EXPECT_EQ(rows_of(in_pieces.get()), expected.rows) << (error ? error->message : "");
  }
}

TEST_F(PixbufLoader, RefusesFilesThatAreNotScreensWithNoPicture) {
  const struct {
    std::int64_t size;
    const char* by_name;    // in the message of the load by file name
    const char* in_pieces;  // the same through a loader; null: not fed
  } cases[] = {
      {0, "contains no data", "0 bytes, at least 24617 needed"},
      {24616, "24616 bytes, at least 24617 needed", "24616 bytes, at least 24617 needed"},
      {std::int64_t{1} << 31, "2147483648 bytes, less than 2 GiB needed", nullptr},
  };
  Bytes sample = read_file(SAMPLES_DIR "/raster_bars.ss4");
  std::mt19937 random(5);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    fs::path path = folder_ / "bad.ss4";
    write_file(path, Bytes(sample.begin(), sample.begin() + std::min<std::int64_t>(c.size, LINE_TABLE_OFFSET)));
    fs::resize_file(path, static_cast<std::uintmax_t>(c.size));  // sparse beyond the sample

    Error error;
    EXPECT_EQ(load_file(path, error), nullptr);
    ASSERT_TRUE(error);
    EXPECT_TRUE(g_error_matches(error.get(), GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE)) << error->message;
    EXPECT_NE(std::string(error->message).find(c.by_name), std::string::npos) << error->message;
    if (!c.in_pieces) continue;
    for (const char* way : {static_cast<const char*>(nullptr), "image/x-sam-ss4"}) {
      EXPECT_EQ(load_in_pieces(read_file(path), way, random, error), nullptr);
      ASSERT_TRUE(error);
      EXPECT_TRUE(g_error_matches(error.get(), GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE)) << error->message;
      EXPECT_NE(std::string(error->message).find(c.in_pieces), std::string::npos) << error->message;
    }
  }
}

// The module's own `load`, from its vtable, on a FILE*.
GdkPixbufModuleLoadFunc module_load() {
  static GdkPixbufModule vtable = [] {
    GdkPixbufModule m{};
    void* module = dlopen(LOADER_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (void* fill = module ? dlsym(module, "fill_vtable") : nullptr)
      reinterpret_cast<GdkPixbufModuleFillVtableFunc>(fill)(&m);
    return m;
  }();
  return vtable.load;
}

Bytes records(int count, int first_line) {
  Bytes table(4 * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    table[4 * i] = static_cast<std::uint8_t>((first_line + i) % 191);
    table[4 * i + 1] = static_cast<std::uint8_t>(i % 16);
    table[4 * i + 2] = static_cast<std::uint8_t>(i);
  }
  return table;
}

TEST_F(PixbufLoader, LoadFromAFileReadsNoFurtherThanThePictureNeeds) {
  const Bytes garbage(4 << 20, 7);  // records that would change row 8
  const Bytes end_mark = {191, 0, 0, 0};
  const struct {
    const char* what;
    Bytes table;
    std::size_t needed;  // bytes of the table
  } cases[] = {
      {"an end mark, then megabytes", records(3, 20) + end_mark + garbage, 13},
      {"every row changed, then megabytes", records(191, 0) + garbage, 764},
      // 80,000 bytes: the end mark is in the second piece read.
      {"a long table of settled rows", records(1, 0) + Bytes(80000, 0) + end_mark + garbage, 80005},
      {"no end mark", records(5, 0) + Bytes{9}, 21},
  };
  ASSERT_NE(module_load(), nullptr);
  Bytes fixed = read_file(SAMPLES_DIR "/colour_chart.ss4");
  fixed.resize(LINE_TABLE_OFFSET);
  std::mt19937 random(9);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = fixed + c.table;
    write_file(folder_ / "screen.ss4", file);
    FILE* f = std::fopen((folder_ / "screen.ss4").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    GError* e = nullptr;
    Pixbuf pixbuf(module_load()(f, &e));
    Error error(e);
    EXPECT_EQ(std::ftell(f), static_cast<long>(LINE_TABLE_OFFSET + c.needed));
    std::fclose(f);
    ASSERT_TRUE(pixbuf) << (error ? error->message : "");
    EXPECT_EQ(rows_of(pixbuf.get()), rows_of(load_in_pieces(file, nullptr, random, error).get()));
  }
}

}  // namespace
