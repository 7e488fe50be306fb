#include "app/command_line.h"
#include "app/start_options.h"
#include "app/viewer_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::u16string> arguments_of(std::u16string_view text) {
  set_command_line(text);
  std::vector<std::u16string> out;
  for (int i = 0; i < command_line_count(); ++i) out.push_back(command_line_argument(i));
  return out;
}

using Args = std::vector<std::u16string>;

TEST(CommandLine, SplitsOnSpacesWithQuotesGroupingATokens) {
  EXPECT_EQ(arguments_of(u"prog a b"), (Args{u"a", u"b"}));
  EXPECT_EQ(arguments_of(u"  prog   a  "), (Args{u"a"}));  // no token from trailing spaces
  EXPECT_EQ(arguments_of(u"prog \"/my files/t.ss4\" x"), (Args{u"/my files/t.ss4", u"x"}));
  EXPECT_EQ(arguments_of(u"prog \"a b\"c d"), (Args{u"a b", u"c", u"d"}));  // goes on right after the quote
  EXPECT_EQ(arguments_of(u"prog \"open to the end"), (Args{u"open to the end"}));
  EXPECT_EQ(arguments_of(u"prog a\"b c"), (Args{u"a\"b", u"c"}));  // a quote inside a token is ordinary
  EXPECT_EQ(arguments_of(u"prog a\tb"), (Args{u"a\tb"}));          // tabs are ordinary too
  EXPECT_EQ(arguments_of(u"\"/path with space/prog\" f"), (Args{u"f"}));
  EXPECT_EQ(arguments_of(u"prog \"\" f"), (Args{u"", u"f"}));
}

TEST(CommandLine, CountsArgumentsAfterTheProgram) {
  set_command_line(u"");
  EXPECT_EQ(command_line_count(), -1);
  EXPECT_EQ(command_line_argument(0), u"");
  set_command_line(u"prog");
  EXPECT_EQ(command_line_count(), 0);
  EXPECT_EQ(command_line_argument(0), u"");
}

TEST(CommandLine, TheCursorFollowsTheLastArgumentAsked) {
  set_command_line(u"prog a b c");
  EXPECT_EQ(command_line_argument(1), u"b");
  EXPECT_EQ(command_line_argument(-1), u"c");
  EXPECT_EQ(command_line_argument(-1), u"");
  EXPECT_EQ(command_line_argument(0), u"a");
  EXPECT_EQ(command_line_argument(-1), u"b");
}

TEST(CommandLine, ProcessArgumentsArriveWholeWhateverBytesTheyHold) {
  const char* argv[] = {"/usr/bin/tesselon", "/home/me/My Screens/a.ss4", "", "with \"quotes\".ss4", "\"lead",
                        "caf\xE9.ss4"};
  set_command_line(arguments_from_process(6, argv));
  EXPECT_EQ(command_line_count(), 5);
  EXPECT_EQ(command_line_argument(0), u"/home/me/My Screens/a.ss4");
  EXPECT_EQ(command_line_argument(1), u"");
  EXPECT_EQ(command_line_argument(2), u"with \"quotes\".ss4");
  EXPECT_EQ(command_line_argument(3), u"\"lead");
  EXPECT_EQ(command_line_argument(4), u"caf\xDCE9.ss4");
  EXPECT_EQ(command_line_argument(-1), u"");
}

TEST(SaveNames, CutAtTheLastDotAnywhereInTheName) {
  EXPECT_EQ(default_save_name(u"/pics/title.ss4"), u"/pics/title");
  EXPECT_EQ(default_save_name(u"/a.b/screen"), u"/a");
  EXPECT_EQ(default_save_name(u"/pics/noext"), u"/pics/noext");
  EXPECT_EQ(default_save_name(u""), u"");
}

TEST(SaveNames, PngIsAddedUnlessTheNameEndsInItInAnyCase) {
  EXPECT_EQ(png_save_name(u"/pics/shot"), u"/pics/shot.png");
  EXPECT_EQ(png_save_name(u"/pics/shot.PNG"), u"/pics/shot.PNG");
  EXPECT_EQ(png_save_name(u"/pics/mypng"), u"/pics/mypng");
  EXPECT_EQ(png_save_name(u"pn"), u"pn.png");
  EXPECT_EQ(png_save_name(u"x.Png"), u"x.Png");
}

// Help and version only as the whole command line; any other argument is a
// name to open, "--" first letting a name start with "-".
TEST(StartRequest, HelpVersionOrTheNamesToOpen) {
  struct Case {
    Args given;
    StartAction action;
    Args names;  // what the viewer then takes as its arguments
  } cases[] = {
      {{u"tesselon", u"--help"}, StartAction::help, {}},
      {{u"tesselon", u"-h"}, StartAction::help, {}},
      {{u"tesselon", u"--version"}, StartAction::version, {}},
      {{u"tesselon", u"--", u"--help"}, StartAction::view, {u"tesselon", u"--help"}},
      {{u"tesselon", u"--help", u"x"}, StartAction::view, {u"tesselon", u"--help", u"x"}},
      {{u"tesselon", u"pic.ss4"}, StartAction::view, {u"tesselon", u"pic.ss4"}},
      {{u"tesselon", u"--"}, StartAction::view, {u"tesselon"}},
      {{u"tesselon"}, StartAction::view, {u"tesselon"}},
  };
  for (const Case& c : cases) {
    StartRequest request = start_request(c.given);
    EXPECT_EQ(request.action, c.action) << c.given.size();
    if (c.action == StartAction::view) {
      EXPECT_EQ(request.arguments, c.names);
    }
  }
  EXPECT_EQ(no_display_text(nullptr), no_display_text(""));
  EXPECT_NE(no_display_text(":7").find("\":7\""), std::string::npos);
}

}  // namespace
