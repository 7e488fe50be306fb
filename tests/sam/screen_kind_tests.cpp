// Which mode a file is: its header, its name, its length, or the user's word.
#include "sam/screen_kind.h"
#include "sam_screens.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ScreenKind, HeaderThenNameThenLengthUnlessTheUserSays) {
  const Bytes none(9, 0);
  const std::int64_t two_gib = std::int64_t{1} << 31;
  struct Case {
    Bytes head;
    std::int64_t size;
    int named, forced;
    int mode, offset;  // mode 0: refused
  } cases[] = {
      // The length alone, at each edge of each mode's range.
      {none, 6952, 0, 0, 0, 0},
      {none, 6953, 0, 0, 1, 0},
      {none, 7461, 0, 0, 1, 0},
      {none, 7462, 0, 0, 0, 0},
      {none, 14376, 0, 0, 0, 0},
      {none, 14377, 0, 0, 2, 0},
      {none, 14885, 0, 0, 2, 0},
      {none, 14886, 0, 0, 0, 0},
      {none, 24616, 0, 0, 0, 0},
      {none, 24617, 0, 0, 4, 0},
      {none, two_gib - 1, 0, 0, 4, 0},
      {none, two_gib, 0, 0, 0, 0},
      {none, two_gib, 4, 4, 0, 0},
      // A header that agrees with the length beats the name; the user beats it.
      {screen_file_header(24617, 3), 24626, 0, 0, 3, 9},
      {screen_file_header(24617, 3), 24626, 4, 0, 3, 9},
      {screen_file_header(24617, 3), 24626, 0, 4, 4, 9},
      {screen_file_header(7000, 1), 7009, 0, 0, 1, 9},
      {screen_file_header(7000, 2), 7009, 0, 0, 0, 0},  // too short for its own mode
      {screen_file_header(100000, 4), 100009, 0, 0, 4, 9},
      // One that disagrees is no header: refused unless something else says.
      {screen_file_header(24617, 3), 24627, 0, 0, 0, 0},
      {screen_file_header(24617, 3), 24625, 0, 0, 0, 0},
      {screen_file_header(24617, 3), 24627, 3, 0, 3, 0},
      {screen_file_header(24617, 3), 24627, 0, 1, 1, 0},
      // A given mode takes any length from its least, whatever the length says.
      {none, 7000, 2, 0, 0, 0},
      {none, 7000, 0, 4, 0, 0},
      {none, 7000, 4, 1, 1, 0},
      {none, 24617, 3, 0, 3, 0},
      {none, 20000, 1, 0, 1, 0},
      {none, 24616, 0, 3, 0, 0},
  };
  for (const Case& c : cases) {
    const KindVerdict verdict = screen_kind(c.head, c.size, c.named, c.forced);
    SCOPED_TRACE(testing::Message() << c.size << " bytes, named " << c.named << ", forced " << c.forced);
    if (c.mode == 0) {
      EXPECT_FALSE(verdict.kind) << "mode " << verdict.kind->mode;
      EXPECT_NE(verdict.why, "");
      EXPECT_EQ(verdict.why.find('\n'), std::string::npos);
      continue;
    }
    ASSERT_TRUE(verdict.kind) << verdict.why;
    EXPECT_EQ(verdict.kind->mode, c.mode);
    EXPECT_EQ(verdict.kind->body_offset, c.offset);
    EXPECT_EQ(verdict.kind->body_size, c.size - c.offset);
  }
}

TEST(ScreenKind, ModeOfName) {
  const std::pair<const char*, int> cases[] = {
      {"a.ss1", 1}, {"pic.SS2", 2}, {".SS3", 3},   {"dir.x/a.Ss4", 4}, {"a.ss3/x", 0}, {"ss4", 0},
      {"x.ss5", 0}, {"x.ss0", 0},   {"x.ss44", 0}, {"x.ss4.png", 0},   {"x.s4", 0},    {"", 0},
  };
  for (const auto& [name, mode] : cases) EXPECT_EQ(mode_of_name(name), mode) << name;
}

}  // namespace
