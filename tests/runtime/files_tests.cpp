#include "runtime_fixture.h"

#include "runtime/files.h"
#include "runtime/general_heap.h"

#include "native/system/heap.h"
#include "native/system/text.h"

#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> counting_bytes(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

class FilesTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    init_files();
  }
  void TearDown() override {
    shutdown_files();
    RuntimeTest::TearDown();
  }
};

TEST_F(FilesTest, SizeQueryTellsFilesFoldersAndNothing) {
  write_whole_file(temp_path("screen.ss4"), counting_bytes(24617));
  std::filesystem::create_directory(temp_path("folder"));
  EXPECT_EQ(query_file_size(temp_path16("screen.ss4")), 24617);
  EXPECT_EQ(query_file_size(temp_path16("folder")), -2);
  EXPECT_EQ(query_file_size(temp_path16("folder/")), -2);
  EXPECT_EQ(query_file_size(temp_path16("missing.ss4")), -1);
  EXPECT_EQ(query_file_size(u""), -1);
  EXPECT_EQ(query_file_size(u"/"), -2);
  EXPECT_EQ(query_file_size(u".."), -2);
  // Names are taken as they are: '*' and '?' match nothing but themselves,
  // and a colon makes no drive.
  EXPECT_EQ(query_file_size(temp_path16("*.ss4")), -1);
  EXPECT_EQ(query_file_size(temp_path16("screen.ss4/")), -1);
  for (const char* name : {"*.ss4", "a:", "x:y", "What?"}) {
    write_whole_file(temp_path(name), counting_bytes(24618));
    EXPECT_EQ(query_file_size(temp_path16(name)), 24618) << name;
  }
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(temp_path(""));
  EXPECT_EQ(query_file_size(u"a:"), 24618);
  EXPECT_EQ(query_file_size(u"C:"), -1);
  std::filesystem::current_path(before);
}

TEST_F(FilesTest, ReadsCrossingTheBufferMatchTheFile) {
  std::vector<std::uint8_t> bytes = counting_bytes(3 * FILE_BUFFER_SIZE + 123);
  write_whole_file(temp_path("data"), bytes);
  ASSERT_NE(open_file_for_reading(0, temp_path16("data")), 0);
  std::mt19937 random(42);
  std::vector<std::uint8_t> got(bytes.size() + 10);
  std::size_t at = 0;
  for (int sizes : {1, 4095, 2, 5000, 3, 100}) {
    at += static_cast<std::size_t>(read_file_data(0, got.data() + at, sizes));
  }
  while (at < bytes.size()) {
    auto n = static_cast<std::int64_t>(random() % 3000);
    std::int64_t read = read_file_data(0, got.data() + at, n);
    if (n > 0) {
      ASSERT_GT(read, 0);
    }
    at += static_cast<std::size_t>(read);
  }
  got.resize(at);
  EXPECT_EQ(got, bytes);
  std::uint8_t extra = 0;
  EXPECT_EQ(read_file_data(0, &extra, 1), 0);
}

TEST_F(FilesTest, AWholeFileReadGetsEveryByte) {
  std::vector<std::uint8_t> bytes = counting_bytes(1 << 20);
  write_whole_file(temp_path("big"), bytes);
  ASSERT_NE(open_file_for_reading(0, temp_path16("big")), 0);
  std::vector<std::uint8_t> got(bytes.size() + 50, 0xEE);
  EXPECT_EQ(read_file_data(0, got.data(), static_cast<std::int64_t>(got.size())),
            static_cast<std::int64_t>(bytes.size()));
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), got.begin()));
  EXPECT_EQ(got.back(), 0xEE);
}

TEST_F(FilesTest, FailedOpensLeaveTheNumberEmpty) {
  std::filesystem::create_directory(temp_path("folder"));
  EXPECT_EQ(open_file_for_reading(0, temp_path16("missing")), 0);
  EXPECT_EQ(open_file_for_reading(0, temp_path16("folder")), 0);
  EXPECT_EQ(open_file_for_reading(0, u""), 0);
  std::uint8_t byte = 0;
  EXPECT_EQ(read_file_data(0, &byte, 1), 0);
  EXPECT_EQ(close_file(0), 0);
}

TEST_F(FilesTest, ClosingReleasesBufferAndNumber) {
  write_whole_file(temp_path("a"), counting_bytes(10));
  ASSERT_NE(open_file_for_reading(0, temp_path16("a")), 0);
  close_file(0);
  std::size_t blocks = native::heap_block_count(general_heap());  // the slot's record stays
  ASSERT_NE(open_file_for_reading(0, temp_path16("a")), 0);
  EXPECT_EQ(close_file(0), 1);
  EXPECT_EQ(close_file(0), 0);
  EXPECT_EQ(native::heap_block_count(general_heap()), blocks);
}

TEST_F(FilesTest, ReopeningANumberClosesTheOldFile) {
  write_whole_file(temp_path("a"), {1, 2, 3});
  write_whole_file(temp_path("b"), {9, 8, 7});
  ASSERT_NE(open_file_for_reading(0, temp_path16("a")), 0);
  ASSERT_NE(open_file_for_reading(0, temp_path16("b")), 0);
  std::uint8_t got[3] = {};
  EXPECT_EQ(read_file_data(0, got, 3), 3);
  EXPECT_EQ(got[0], 9);
}

TEST_F(FilesTest, AnyFilesAreNamedByTheirIdentity) {
  write_whole_file(temp_path("a"), {5});
  ObjectId id = open_file_for_reading(OBJECT_ANY, temp_path16("a"));
  ASSERT_NE(id, 0);
  std::uint8_t got = 0;
  EXPECT_EQ(read_file_data(id, &got, 1), 1);
  EXPECT_EQ(got, 5);
  EXPECT_EQ(open_file_for_reading(OBJECT_ANY, temp_path16("missing")), 0);
  // Left open on purpose: shutdown must close it (the sanitizer build checks).
}

}  // namespace
