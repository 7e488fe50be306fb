#include "loader_test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace {

// Before gdk-pixbuf is first used: a loader cache naming the built modules
// and a MIME database that knows only the project's types.
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
    std::string query = "LC_ALL=C " + preload + QUERY_LOADERS + " " LOADER_MODULE " " LOADER_MODULE_SS3 " > " + folder +
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

}  // namespace

Bytes read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
void write_file(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<Bytes> rows_of(const GdkPixbuf* pixbuf) {
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

std::unique_ptr<GdkPixbufLoader, Free> loader_fed_in_pieces(const Bytes& file, const char* mime_type,
                                                            std::mt19937& random, Error& error) {
  GError* e = nullptr;
  std::unique_ptr<GdkPixbufLoader, Free> loader(!mime_type   ? gdk_pixbuf_loader_new_with_type("ss4", &e)
                                                : *mime_type ? gdk_pixbuf_loader_new_with_mime_type(mime_type, &e)
                                                             : gdk_pixbuf_loader_new());
  bool ok = loader != nullptr;
  for (std::size_t at = 0, piece; ok && at < file.size(); at += piece) {
    piece = std::min<std::size_t>(file.size() - at, 1 + random() % (1u << random() % 17));
    ok = gdk_pixbuf_loader_write(loader.get(), file.data() + at, piece, &e);
  }
  ok = ok && gdk_pixbuf_loader_close(loader.get(), &e);
  error.reset(e);
  if (!ok) loader.reset();
  return loader;
}

Pixbuf load_in_pieces(const Bytes& file, const char* mime_type, std::mt19937& random, Error& error) {
  auto loader = loader_fed_in_pieces(file, mime_type, random, error);
  return Pixbuf(loader ? GDK_PIXBUF(g_object_ref(gdk_pixbuf_loader_get_pixbuf(loader.get()))) : nullptr);
}

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

void PixbufFiles::SetUp() {
  std::string folder = (fs::temp_directory_path() / "tesselon-loader.XXXXXX").string();
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  folder_ = folder;
}
void PixbufFiles::TearDown() { fs::remove_all(folder_); }
