#pragma once
// A fresh general heap and a fresh temporary folder for every test, and no
// fault left armed afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A path inside this test's own temporary folder.
  std::string temp_path(const std::string& name) const;
  std::u16string temp_path16(const std::string& name) const;
  // Every name in the temporary folder, hidden ones included, sorted.
  std::vector<std::string> temp_names() const;

 private:
  std::string temp_dir_;
};

bool file_exists(const std::string& path);
std::vector<std::uint8_t> read_whole_file(const std::string& path);
void write_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes);
