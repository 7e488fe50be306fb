// Before gdk-pixbuf is first used: a loader cache that names the built
// module, and a MIME database that knows only *.ss4, both in a temporary
// folder, so that the tests see this build's loader and nothing installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

class LoaderEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tesselon-pixbuf.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    const std::string cache = folder_ + "/loaders.cache";
    std::string preload;
#ifdef SANITIZER_RUNTIME
    preload = "LD_PRELOAD=" SANITIZER_RUNTIME " ASAN_OPTIONS=detect_leaks=0 ";
#endif
    // --update-cache writes the file as is; printing would turn the
    // description's "é" into the locale's characters.
    std::string query =
        "GDK_PIXBUF_MODULE_FILE='" + cache + "' " + preload + QUERY_LOADERS " --update-cache " + LOADER_MODULE;
    ASSERT_EQ(std::system(query.c_str()), 0) << query;
    fs::create_directories(folder_ + "/mime/packages");
    fs::copy_file(MIME_PACKAGE, folder_ + "/mime/packages/tesselon.xml");
    std::string mime = "update-mime-database '" + folder_ + "/mime' 2>/dev/null";
    ASSERT_EQ(std::system(mime.c_str()), 0) << mime;
    setenv("GDK_PIXBUF_MODULE_FILE", cache.c_str(), 1);
    setenv("XDG_DATA_DIRS", folder_.c_str(), 1);
    setenv("XDG_DATA_HOME", (folder_ + "/home").c_str(), 1);
  }

  void TearDown() override {
    if (!folder_.empty()) fs::remove_all(folder_);
  }

 private:
  std::string folder_;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new LoaderEnvironment);

}  // namespace
