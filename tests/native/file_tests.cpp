#include "runtime_fixture.h"

#include "native/system/faults.h"
#include "native/system/file.h"
#include "native/system/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class NativeFileTest : public RuntimeTest {
 protected:
  const std::vector<std::uint8_t> old_bytes{'o', 'l', 'd'};

  // Writes `text` to an output on name; answers what commit said.
  static bool save(const std::u16string& name, const std::string& text) {
    native::File* f = native::file_create_output(name);
    if (!f) return false;
    std::uint32_t done = 0;
    native::file_write(f, text.data(), static_cast<std::uint32_t>(text.size()), done);
    return native::file_commit(f);
  }
  std::string read_text(const std::string& name) const {
    std::vector<std::uint8_t> bytes = read_whole_file(temp_path(name));
    return {bytes.begin(), bytes.end()};
  }
  static mode_t mode_of(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode;
  }
};

using Names = std::vector<std::string>;

TEST_F(NativeFileTest, OutputsReachTheirNameOnlyWhenCommitted) {
  ASSERT_TRUE(save(temp_path16("x"), "hello"));
  EXPECT_EQ(read_text("x"), "hello");
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(mode_of(temp_path("x")) & 0777, 0666 & ~mask);

  native::File* f = native::file_create_output(temp_path16("x"));
  std::uint32_t done = 0;
  native::file_write(f, "other", 5, done);
  EXPECT_TRUE(native::file_close(f));  // dropped, not committed
  EXPECT_EQ(read_text("x"), "hello");
  EXPECT_EQ(temp_names(), Names{"x"});

  f = native::file_open_for_reading(temp_path16("x"));
  char buffer[10] = {};
  EXPECT_TRUE(native::file_read(f, buffer, 10, done));
  EXPECT_EQ(std::string(buffer, done), "hello");
  native::file_close(f);
}

TEST_F(NativeFileTest, AFailedOutputLeavesTheOldFileAndNothingElse) {
  for (bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed" : "named temporary");
    native::faults::reset();
    if (!unnamed) native::faults::refuse_unnamed_files();
    write_whole_file(temp_path("x"), old_bytes);
    chmod(temp_path("x").c_str(), 0640);
    native::faults::fail_writes_after(2);
    EXPECT_FALSE(save(temp_path16("x"), "hello"));
    EXPECT_EQ(native::last_file_error(), ENOSPC);
    EXPECT_EQ(read_whole_file(temp_path("x")), old_bytes);
    EXPECT_EQ(temp_names(), Names{"x"});
    native::faults::fail_writes_after(100);
    EXPECT_TRUE(save(temp_path16("x"), "hello"));
    EXPECT_EQ(read_text("x"), "hello");
    EXPECT_EQ(mode_of(temp_path("x")) & 0777, 0640u);  // a replaced file keeps its mode
    EXPECT_EQ(temp_names(), Names{"x"});
  }
}

TEST_F(NativeFileTest, ALinkKeepsPointingAtTheFileThatIsReplaced) {
  fs::create_directory(temp_path("real"));
  write_whole_file(temp_path("real/target"), old_bytes);
  fs::create_symlink("real/target", temp_path("link"));
  fs::create_symlink("real/new", temp_path("dangling"));
  ASSERT_TRUE(save(temp_path16("link"), "hello"));
  ASSERT_TRUE(save(temp_path16("dangling"), "new"));
  EXPECT_TRUE(S_ISLNK(mode_of(temp_path("link"))));
  EXPECT_EQ(read_text("real/target"), "hello");
  EXPECT_EQ(read_text("real/new"), "new");
  EXPECT_EQ(temp_names(), (Names{"dangling", "link", "real"}));
}

TEST_F(NativeFileTest, WhatCannotBeAnOutput) {
  fs::create_directory(temp_path("d"));
  EXPECT_EQ(native::file_create_output(temp_path16("d")), nullptr);
  EXPECT_EQ(native::last_file_error(), EISDIR);
  EXPECT_EQ(native::file_create_output(temp_path16("no/such/folder")), nullptr);
  EXPECT_EQ(native::last_file_error(), ENOENT);
  native::faults::fail_next_create();
  EXPECT_EQ(native::file_create_output(temp_path16("x")), nullptr);
  EXPECT_TRUE(save(temp_path16("x"), ""));  // once only
  EXPECT_EQ(temp_names(), (Names{"d", "x"}));
}

// A name a program made up never takes the place of a file: not one that is
// there, nor one that appears while the output is written.
TEST_F(NativeFileTest, OutputsThatKeepExistingFilesNeverReplaceOne) {
  for (bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed" : "named temporary");
    native::faults::reset();
    if (!unnamed) native::faults::refuse_unnamed_files();
    fs::remove_all(temp_path("d"));
    fs::create_directory(temp_path("d"));
    write_whole_file(temp_path("d/there"), old_bytes);
    fs::create_symlink("nowhere", temp_path("d/dangling"));
    native::set_outputs_replace_existing(false);
    for (const char* taken : {"d/there", "d/dangling"}) {
      EXPECT_EQ(native::file_create_output(temp_path16(taken)), nullptr);
      EXPECT_EQ(native::last_file_error(), EEXIST);
    }
    native::File* late = native::file_create_output(temp_path16("d/late"));
    ASSERT_NE(late, nullptr);
    write_whole_file(temp_path("d/late"), old_bytes);  // another program is quicker
    EXPECT_FALSE(native::file_commit(late));
    EXPECT_EQ(native::last_file_error(), EEXIST);
    EXPECT_TRUE(save(temp_path16("d/new"), "new"));
    native::set_outputs_replace_existing(true);
    EXPECT_EQ(read_whole_file(temp_path("d/there")), old_bytes);
    EXPECT_EQ(read_whole_file(temp_path("d/late")), old_bytes);
    EXPECT_EQ(read_text("d/new"), "new");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp_path("d"))) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"dangling", "late", "new", "there"}));
  }
}

TEST_F(NativeFileTest, AnInterruptedProcessRemovesItsTemporaryFile) {
  native::faults::refuse_unnamed_files();
  native::File* f = native::file_create_output(temp_path16("x"));
  ASSERT_EQ(temp_names().size(), 1u);  // the hidden temporary
  native::remove_pending_outputs();
  EXPECT_EQ(temp_names(), Names{});
  native::file_close(f);
}

TEST_F(NativeFileTest, StreamsWriteThroughTheFaultHooks) {
  native::File* f = native::file_create_output(temp_path16("s"));
  std::FILE* stream = native::file_output_stream(f);
  ASSERT_NE(stream, nullptr);
  std::vector<char> data(100000, 'q');
  EXPECT_EQ(std::fwrite(data.data(), 1, data.size(), stream), data.size());
  EXPECT_EQ(std::fclose(stream), 0);
  EXPECT_TRUE(native::file_commit(f));
  EXPECT_EQ(read_whole_file(temp_path("s")).size(), data.size());

  f = native::file_create_output(temp_path16("t"));
  stream = native::file_output_stream(f);
  native::faults::fail_writes_after(10);
  std::fwrite(data.data(), 1, 20, stream);  // buffered: the failure shows at the flush
  EXPECT_NE(std::fflush(stream), 0);
  std::fclose(stream);
  EXPECT_FALSE(native::file_commit(f));
  EXPECT_FALSE(file_exists(temp_path("t")));
}

// '*' and '?' are ordinary characters, and the size is the named file's own.
TEST_F(NativeFileTest, StatusIsOfTheNamedFileAlone) {
  write_whole_file(temp_path("!.ss4"), std::vector<std::uint8_t>(10));
  write_whole_file(temp_path("*.ss4"), std::vector<std::uint8_t>(20));
  fs::create_directory(temp_path("What?"));
  write_whole_file(temp_path("What?/a"), std::vector<std::uint8_t>(30));
  EXPECT_EQ(native::file_status(temp_path16("*.ss4")).size, 20u);
  EXPECT_EQ(native::file_status(temp_path16("What?/a")).size, 30u);
  EXPECT_TRUE(native::file_status(temp_path16("What?")).is_directory);
  EXPECT_FALSE(native::file_status(temp_path16("?.ss4")).exists);
  EXPECT_EQ(native::file_open_for_reading(temp_path16("What?")), nullptr);
  EXPECT_EQ(native::file_open_for_reading(temp_path16("nope")), nullptr);
}

}  // namespace
