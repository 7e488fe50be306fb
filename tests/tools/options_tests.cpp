#include "options.h"
#include "output_names.h"

#include "runtime_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

ParsedOptions parse(std::vector<const char*> args) { return parse_options(args); }

TEST(Ss4topngOptions, ValuesGluedOrSeparateAndFilesAnywhere) {
  ParsedOptions p = parse({"a.ss4", "-s1", "-o", "out", "b.ss4", "--rgb", "-j", "3", "--", "-s", "-"});
  ASSERT_EQ(p.error, "");
  EXPECT_TRUE(p.options.rgb);
  EXPECT_EQ(p.options.action, Action::convert);
  EXPECT_EQ(p.options.scale, 1);
  EXPECT_EQ(p.options.jobs, 3);
  EXPECT_EQ(p.options.output, "out");
  EXPECT_EQ(p.options.files, (std::vector<std::string>{"a.ss4", "b.ss4", "-s", "-"}));
  EXPECT_EQ(parse({"--mode=3", "a", "--mode", "1"}).options.mode, 1);
  EXPECT_TRUE(parse({"a", "--animate"}).options.animate);
  EXPECT_EQ(parse({"--slot=80", "a"}).options.slot, 80);
  EXPECT_EQ(parse({"a", "--name", "-x y"}).options.name, "-x y");
  EXPECT_EQ(parse({"--name=", "a"}).options.name, "");
  EXPECT_TRUE(parse({"--first", "a"}).options.first);
  EXPECT_EQ(parse({"a", "--list"}).options.action, Action::list);

  ParsedOptions defaults = parse({"-", "x"});
  EXPECT_EQ(defaults.options.scale, 2);
  EXPECT_EQ(defaults.options.jobs, 1);
  EXPECT_FALSE(defaults.options.rgb);
  EXPECT_FALSE(defaults.options.output);
  EXPECT_EQ(defaults.options.files, (std::vector<std::string>{"-", "x"}));
}

TEST(Ss4topngOptions, UsageErrors) {
  const std::vector<std::vector<const char*>> bad = {
      {},
      {"-x", "a"},
      {"--scale", "1", "a"},
      {"--rgb=1", "a"},
      {"-s", "3", "a"},
      {"-s", "0x1", "a"},
      {"a", "-s"},
      {"-j", "0", "a"},
      {"-j", "-2", "a"},
      {"-j2x", "a"},
      {"-j", "257", "a"},
      {"-o", "", "a"},
      {"-s", "2"},
      {"--mode", "0", "a"},
      {"--mode=5", "a"},
      {"--mode", "3x", "a"},
      {"--modes=3", "a"},
      {"--animate=1", "a"},
      {"--animate", "--rgb", "a"},
      {"--slot", "0", "a"},
      {"--slot=81", "a"},
      {"a", "--name"},
      {"--first", "--slot", "1", "a"},
      {"--name", "x", "--first", "a"},
      {"--list", "-o", "out", "a"},
      {"--list", "--first", "a"},
  };
  for (const auto& args : bad) {
    std::string shown;
    for (const char* a : args) shown += std::string(a) + " ";
    EXPECT_NE(parse(args).error, "") << shown;
  }
}

TEST(Ss4topngOptions, SizeLimit) {
  // The thumbnailer's command line.
  ParsedOptions thumbnailer = parse({"--size", "128", "-o", "/tmp/out", "in.ss4"});
  ASSERT_EQ(thumbnailer.error, "");
  EXPECT_EQ(thumbnailer.options.size, 128);
  EXPECT_EQ(thumbnailer.options.output, "/tmp/out");
  EXPECT_EQ(thumbnailer.options.files, (std::vector<std::string>{"in.ss4"}));

  EXPECT_EQ(parse({"a", "--size=1"}).options.size, 1);
  EXPECT_EQ(parse({"--size", "2147483647", "a"}).options.size, 2147483647);
  EXPECT_FALSE(parse({"a"}).options.size);
  EXPECT_EQ(parse({"--", "--size", "9"}).options.files, (std::vector<std::string>{"--size", "9"}));

  const std::vector<std::vector<const char*>> bad = {
      {"--size", "0", "a"},          {"--size", "-1", "a"}, {"--size", "1.5", "a"},
      {"--size", "+8", "a"},         {"--size=", "a"},      {"a", "--size"},
      {"--size", "2147483648", "a"}, {"--sizes=8", "a"},    {"--size", "8"},
  };
  for (const auto& args : bad) EXPECT_NE(parse(args).error, "") << args[0] << " " << args[1];

  // A scale and a limit would contradict each other, in either order.
  EXPECT_EQ(parse({"-s", "1", "--size", "128", "a"}).error, "-s and --size cannot be combined");
  EXPECT_EQ(parse({"--size=600", "a", "-s2"}).error, "-s and --size cannot be combined");
}

TEST(Ss4topngOptions, HelpAndVersionNeedNoFiles) {
  EXPECT_EQ(parse({"--help"}).options.action, Action::help);
  EXPECT_EQ(parse({"-h"}).options.action, Action::help);
  EXPECT_EQ(parse({"a", "--version"}).options.action, Action::version);
  EXPECT_EQ(parse({"--version"}).error, "");
}

TEST(Ss4topngNames, ExtensionOfTheFileNameOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a.ss4", "a.png"},         {"pics/a.b.SS4", "pics/a.b.png"},
      {"noext", "noext.png"},     {"dir.v2/file", "dir.v2/file.png"},
      {".hidden", ".hidden.png"}, {"d/.ss4", "d/.ss4.png"},
      {"./x.", "./x.png"},        {"../up.ss4", "../up.png"},
  };
  for (const auto& [input, output] : cases) EXPECT_EQ(renamed(input, ".png"), output) << input;
}

class Ss4topngPlan : public RuntimeTest {
 protected:
  ConversionPlan plan(std::vector<std::string> files, std::optional<std::string> output = std::nullopt) {
    Options o;
    o.files = std::move(files);
    o.output = std::move(output);
    return plan_conversions(o.files, o.output, ".png");
  }
};

TEST_F(Ss4topngPlan, OutputFileOrFolder) {
  std::string folder = temp_path("out");
  std::filesystem::create_directory(folder);

  ConversionPlan one = plan({"x/a.ss4"}, temp_path("shot.png"));
  ASSERT_EQ(one.error, "");
  EXPECT_EQ(one.conversions[0].output, temp_path("shot.png"));

  // An existing folder takes one input or several, each under its own name.
  ConversionPlan single = plan({"x/a.ss4"}, folder);
  ASSERT_EQ(single.error, "");
  EXPECT_EQ(single.conversions[0].output, folder + "/a.png");
  ConversionPlan several = plan({"x/a.ss4", "y/b"}, folder + "/");
  ASSERT_EQ(several.error, "");
  EXPECT_EQ(several.conversions[0].output, folder + "/a.png");
  EXPECT_EQ(several.conversions[1].output, folder + "/b.png");

  EXPECT_EQ(plan({"a", "b"}, temp_path("missing")).error, temp_path("missing") + ": no such folder");
  EXPECT_EQ(plan({"a"}, temp_path("missing/")).error, temp_path("missing/") + ": no such folder");
  write_whole_file(temp_path("file"), {1});
  EXPECT_EQ(plan({"a", "b"}, temp_path("file")).error, temp_path("file") + ": not a folder");
}

TEST_F(Ss4topngPlan, NeverWritesOverAnInputOrTwiceToOneFile) {
  std::string folder = temp_path("out");
  std::filesystem::create_directory(folder);
  ConversionPlan clash = plan({"x/a.ss4", "y/a.scr", "x/b.ss4"}, folder);
  ASSERT_EQ(clash.error, "");
  EXPECT_EQ(clash.conversions[0].refusal, "");
  EXPECT_EQ(clash.conversions[1].refusal, "y/a.scr: cannot write " + folder + "/a.png (also the output of x/a.ss4)");
  EXPECT_EQ(clash.conversions[2].refusal, "");

  EXPECT_EQ(plan({"pic.png"}).conversions[0].refusal, "pic.png: cannot write pic.png (it is the input)");
  ConversionPlan same = plan({"./a.ss4", "a.ss4"});
  EXPECT_EQ(same.conversions[0].refusal, "");
  EXPECT_NE(same.conversions[1].refusal, "");
}

}  // namespace
