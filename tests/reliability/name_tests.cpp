// Names are bytes: none is decoded into another name, '*' and '?' are
// ordinary characters, a colon makes no drive, and messages print names as
// they came.
#include "reliability_fixture.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

TEST_F(Reliability, OverLongFormsAreTheirOwnBytesNeverAnotherName) {
  std::vector<std::uint8_t> keep = {'k', 'e', 'e', 'p'};
  put("x", keep);
  put("x\xC0\x80.ss4", sample_screen());  // an over-long NUL
  EXPECT_EQ(ss4topng({"x\xC0\x80.ss4"}).status, 0);
  EXPECT_EQ(read_whole_file(temp_path("x")), keep);
  EXPECT_TRUE(png_is_complete(temp_path("x\xC0\x80.png")));

  // "i" + an over-long "n" is not "in.ss4".
  std::string in = put("in.ss4", sample_screen());
  EXPECT_EQ(ss4topng({"-o", "i\xC1\xAE.ss4", in}).status, 0);
  EXPECT_EQ(read_whole_file(in), sample_screen());
  EXPECT_TRUE(png_is_complete(temp_path("i\xC1\xAE.ss4")));

  // An over-long "../" stays in its folder.
  fs::create_directory(temp_path("sub"));
  put("victim.ss4", sample_screen());
  put("sub/\xC0\xAE\xC0\xAE\xC0\xAFvictim.ss4", {});
  RunSettings in_sub;
  in_sub.folder = temp_path("sub");
  Outcome r = ss4topng({"\xC0\xAE\xC0\xAE\xC0\xAFvictim.ss4"}, in_sub);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "\xC0\xAE\xC0\xAE\xC0\xAFvictim.ss4: 0 bytes is too short for a mode 4 screen (at least 24617)\n");
  EXPECT_FALSE(fs::exists(temp_path("victim.png")));
}

TEST_F(Reliability, NamesThatAreNotUtf8ConvertAndPrintAsTheirBytes) {
  put("caf\xE9.ss4", sample_screen());
  put("d\xE9j\xE0.ss4", {1, 2, 3});
  Outcome r = ss4topng({"caf\xE9.ss4", "d\xE9j\xE0.ss4"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "d\xE9j\xE0.ss4: 3 bytes is too short for a mode 4 screen (at least 24617)\n");
  EXPECT_TRUE(png_is_complete(temp_path("caf\xE9.png")));

  // Any mode, and the animation too, beside the screen under its bytes.
  put("\xE9t\xE9.ss1", std::vector<std::uint8_t>(6953, 0x47));
  EXPECT_EQ(ss4topng({"\xE9t\xE9.ss1"}).status, 0);
  EXPECT_EQ(ss4topng({"--animate", "\xE9t\xE9.ss1"}).status, 0);
  EXPECT_TRUE(png_is_complete(temp_path("\xE9t\xE9.png")));
  const std::vector<std::uint8_t> gif = read_whole_file(temp_path("\xE9t\xE9.gif"));
  EXPECT_TRUE(gif.size() > 6 && std::equal(gif.begin(), gif.begin() + 6, "GIF89a") && gif.back() == ';');
}

TEST_F(Reliability, WildcardsAndColonsAreOrdinaryCharacters) {
  std::vector<std::uint8_t> screen = sample_screen();
  ASSERT_GT(screen.size(), 24617u);  // it has line changes to lose
  ASSERT_EQ(ss4topng({"-o", temp_path("reference.png"), put("good.ss4", screen)}).status, 0);
  put("*.ss4", screen);
  put("!.ss4", std::vector<std::uint8_t>(24617));  // what "*.ss4" matched first
  fs::create_directory(temp_path("What?"));
  put("What?/in.ss4", screen);
  put("a:b", screen);
  put("x:", screen);
  const std::pair<const char*, const char*> cases[] = {
      {"*.ss4", "*.png"}, {"What?/in.ss4", "What?/in.png"}, {"a:b", "a:b.png"}, {"x:", "x:.png"}};
  for (const auto& [input, output] : cases) {
    Outcome r = ss4topng({input});
    EXPECT_EQ(r.status, 0) << input << ": " << r.err;
    EXPECT_EQ(read_whole_file(temp_path(output)), read_whole_file(temp_path("reference.png"))) << input;
  }
}

}  // namespace
