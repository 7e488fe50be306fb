#include "runtime_fixture.h"

#include "native/system/faults.h"
#include "native/system/file.h"
#include "native/system/text.h"
#include "runtime/general_heap.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

void RuntimeTest::SetUp() {
  native::faults::reset();
  ASSERT_TRUE(create_general_heap());
  std::string pattern = (std::filesystem::temp_directory_path() / "tesselon-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  temp_dir_ = pattern;
}

void RuntimeTest::TearDown() {
  native::faults::reset();
  native::set_outputs_replace_existing(true);
  destroy_general_heap();
  std::error_code ignored;
  std::filesystem::remove_all(temp_dir_, ignored);
}

std::string RuntimeTest::temp_path(const std::string& name) const { return temp_dir_ + "/" + name; }

std::u16string RuntimeTest::temp_path16(const std::string& name) const { return native::from_utf8(temp_path(name)); }

std::vector<std::string> RuntimeTest::temp_names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(temp_dir_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool file_exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::uint8_t> read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
