#include "runtime_fixture.h"

#include "native/faults.h"
#include "native/file.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

using native::FileAccess;
using native::FileDisposition;

class NativeFileTest : public RuntimeTest {};

TEST_F(NativeFileTest, CreateWriteReadBack) {
  native::File* f = native::file_open(temp_path16("x"), FileAccess::read_write, FileDisposition::create_always);
  ASSERT_NE(f, nullptr);
  std::uint32_t done = 0;
  EXPECT_TRUE(native::file_write(f, "hello", 5, done));
  EXPECT_EQ(done, 5u);
  EXPECT_TRUE(native::file_close(f));
  f = native::file_open(temp_path16("x"), FileAccess::read, FileDisposition::open_existing);
  char buffer[10] = {};
  EXPECT_TRUE(native::file_read(f, buffer, 10, done));
  EXPECT_EQ(done, 5u);
  EXPECT_STREQ(buffer, "hello");
  native::file_close(f);
  EXPECT_TRUE(native::file_delete(temp_path16("x")));
  EXPECT_FALSE(file_exists(temp_path("x")));
}

TEST_F(NativeFileTest, FoldersAndMissingFilesDoNotOpen) {
  std::filesystem::create_directory(temp_path("d"));
  EXPECT_EQ(native::file_open(temp_path16("d"), FileAccess::read, FileDisposition::open_existing), nullptr);
  EXPECT_EQ(native::file_open(temp_path16("nope"), FileAccess::read, FileDisposition::open_existing), nullptr);
  EXPECT_EQ(native::file_open(temp_path16("no/such/folder"), FileAccess::read_write, FileDisposition::create_always),
            nullptr);
}

TEST_F(NativeFileTest, FaultHooksFailTheNextCreateOnce) {
  native::faults::fail_next_create();
  EXPECT_EQ(native::file_open(temp_path16("x"), FileAccess::read_write, FileDisposition::create_always), nullptr);
  EXPECT_FALSE(file_exists(temp_path("x")));
  native::File* f = native::file_open(temp_path16("x"), FileAccess::read_write, FileDisposition::create_always);
  EXPECT_NE(f, nullptr);
  native::file_close(f);
}

TEST_F(NativeFileTest, FaultHooksCutWritesAfterABudget) {
  native::File* f = native::file_open(temp_path16("x"), FileAccess::read_write, FileDisposition::create_always);
  native::faults::fail_writes_after(7);
  std::uint32_t done = 0;
  EXPECT_TRUE(native::file_write(f, "abcde", 5, done));
  EXPECT_EQ(done, 5u);
  EXPECT_TRUE(native::file_write(f, "abcde", 5, done));
  EXPECT_EQ(done, 2u);  // short: the disk is full
  EXPECT_FALSE(native::file_write(f, "abcde", 5, done));
  EXPECT_EQ(done, 0u);
  native::file_close(f);
  EXPECT_EQ(read_whole_file(temp_path("x")).size(), 7u);
}

TEST_F(NativeFileTest, StreamsWriteThroughTheFaultHooks) {
  std::FILE* stream = native::file_create_stream(temp_path16("s"));
  ASSERT_NE(stream, nullptr);
  std::vector<char> data(100000, 'q');
  EXPECT_EQ(std::fwrite(data.data(), 1, data.size(), stream), data.size());
  EXPECT_EQ(std::fclose(stream), 0);
  EXPECT_EQ(read_whole_file(temp_path("s")).size(), data.size());

  stream = native::file_create_stream(temp_path16("t"));
  native::faults::fail_writes_after(10);
  std::fwrite(data.data(), 1, 20, stream);  // buffered: the failure shows at close
  EXPECT_NE(std::fclose(stream), 0);

  native::faults::reset();
  native::faults::fail_next_create();
  EXPECT_EQ(native::file_create_stream(temp_path16("u")), nullptr);
}

TEST_F(NativeFileTest, FindFirstFileMatchesWildcardsInNameOrder) {
  write_whole_file(temp_path("b.ss4"), std::vector<std::uint8_t>(20));
  write_whole_file(temp_path("a.ss4"), std::vector<std::uint8_t>(10));
  std::filesystem::create_directory(temp_path("c.dir"));
  native::FindData found{};
  ASSERT_TRUE(native::find_first_file(temp_path16("*.ss4"), found));
  EXPECT_FALSE(found.is_directory);
  EXPECT_EQ(found.size, 10u);
  ASSERT_TRUE(native::find_first_file(temp_path16("?.dir"), found));
  EXPECT_TRUE(found.is_directory);
  EXPECT_FALSE(native::find_first_file(temp_path16("*.png"), found));
  EXPECT_EQ(native::file_attributes(temp_path16("c.dir")), native::FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(native::file_attributes(temp_path16("none")), native::INVALID_FILE_ATTRIBUTES);
}

}  // namespace
