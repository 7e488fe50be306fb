// ss4topng on SAM disk images, as a user runs it: each screen on a disk
// becomes, byte for byte, the file its loose copy (its header and data as
// the disk holds them) becomes, in every container; what cannot convert
// gets its line while the rest convert; bad images are one line with
// nothing written; --list's lines; choosing screens. What the reader makes
// of each kind of broken chain or lying container is the reader's tests'.
#include "disk_writer.h"
#include "run_program.h"
#include "runtime_fixture.h"
#include "sam_screens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The colours BASIC starts with, as the ROM sets them up: a ZX Spectrum
// screen on a disk must convert as this mode 1 file does.
const Bytes DEFAULT_COLOURS = {0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x78, 0x00, 0x11,
                               0x22, 0x33, 0x44, 0x55, 0x66, 0x7F, 0x00, 0x11, 0x22, 0x7F};

Bytes joined(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A disk with a screen of every mode (flashing ones, 127 records), names of
// odd bytes, two of one name, an erased and a hidden screen, one on side 1,
// broken chains, a compressed screen, a ZX Spectrum one and a CODE file;
// and for each screen that converts, its NAME and loose file.
struct TestDisk {
  DiskWriter writer;
  std::map<std::string, Bytes> loose;  // by NAME in disk-NAME.png
  std::map<std::string, int> slots;    // by name on the disk, the last of a name
  std::vector<std::string> broken;     // the names whose chains are broken

  int add(DiskEntry entry, const std::string& output = "") {
    const int slot = writer.add(entry);
    slots[entry.name] = slot;
    if (!output.empty()) loose[output] = entry.type == 7 ? entry.data : joined(entry.header, entry.data);
    return slot;
  }
  int screen(const std::string& name, const ScreenRecipe& recipe, const std::string& output) {
    return add(sam_screen_entry(name, recipe.mode, sam_screen_file(recipe)), output);
  }

  TestDisk() {
    screen("mode1", {"1", 1, 3, true, true, false, 40}, "mode1");
    screen("mode2", {"2", 2, 4, false, true, false, 0}, "mode2");
    screen("mode3", {"3", 3, 5, true, false, false, 10}, "mode3");
    screen("long rec", {"4", 4, 6, true, false, false, 127}, "long rec");
    screen(std::string("a/b\0c", 5), {"5", 4, 7}, "a_b_c");
    screen(".dot\x01\\\xE9", {"6", 2, 8}, "_dot\x01\\\xE9");
    screen("same", {"7", 4, 9}, "same");
    screen("same", {"8", 1, 10}, "same-8");  // its slot added
    DiskEntry hidden = sam_screen_entry("hid", 2, sam_screen_file({"9", 2, 11}));
    hidden.hidden = true;
    add(hidden, "hid");
    writer.erase(screen("gone", {"10", 4, 12}, ""));
    for (const char* name : {"loop", "cut", "off"}) {
      const int slot = screen(name, {"12", 4, 14}, "");
      const std::vector<DiskPlace>& chain = writer.chain(slot);
      const DiskPlace to = std::string(name) == "loop"  ? chain[1]
                           : std::string(name) == "cut" ? DiskPlace{}
                                                        : DiskPlace{90, 1};
      writer.link(chain[2], to);
      broken.push_back(name);
    }
    add(compressed_screen_entry("packed", 4, sam_screen_file({"13", 4, 15})));
    Bytes display(6912);
    for (std::size_t i = 0; i < display.size(); ++i) display[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    add(spectrum_screen_entry("zx", display), "zx");
    loose["zx"] = joined(joined(display, DEFAULT_COLOURS), joined(DEFAULT_COLOURS, {0xFF}));
    DiskEntry far = sam_screen_entry("far", 3, sam_screen_file({"11", 3, 13, false, false, false, 5}));
    far.start_track = 128 + 60;
    add(far, "far");
    add(code_entry("code", Bytes(100, 1)));
  }
};

class Ss4topngDisks : public RuntimeTest {
 protected:
  ProgramRun run(const std::vector<std::string>& args) { return run_program(SS4TOPNG_PATH, args, temp_path("")); }

  std::string put(const std::string& name, const Bytes& bytes) {
    write_whole_file(temp_path(name), bytes);
    return temp_path(name);
  }
  std::string folder(const std::string& name) {
    fs::create_directory(temp_path(name));
    return temp_path(name);
  }

  static std::set<std::string> listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }

  static std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TestDisk disk_;
};

TEST_F(Ss4topngDisks, EveryScreenConvertsAsItsLooseFileDoes) {
  const std::string disk = put("disk.mgt", disk_.writer.mgt());
  std::vector<std::string> loose_files;
  std::map<std::string, std::string> loose_output;  // by NAME
  for (const auto& [name, bytes] : disk_.loose) {
    const std::string file = "loose" + std::to_string(loose_files.size()) + (name == "zx" ? ".ss1" : "");
    loose_output[name] = "loose" + std::to_string(loose_files.size());
    loose_files.push_back(put(file, bytes));
  }
  for (const std::string extension : {".png", ".gif"}) {
    SCOPED_TRACE(extension);
    std::vector<std::string> options = {"-f"};
    if (extension == ".gif") options.push_back("--animate");
    const std::string from_disk = folder("disk" + extension), from_loose = folder("loose" + extension);
    std::vector<std::string> args = options;
    args.insert(args.end(), {"-o", from_disk, disk});
    ProgramRun r = run(args);
    EXPECT_EQ(r.status, 1);
    std::set<std::string> lines;
    for (const std::string& name : disk_.broken)
      lines.insert(disk + ": " + name + " (slot " + std::to_string(disk_.slots[name]) + "): broken:");
    lines.insert(disk + ": packed (slot " + std::to_string(disk_.slots["packed"]) + "): compressed, skipped");
    for (const std::string& line : lines_of(r.err))
      EXPECT_TRUE(lines.erase(line) || lines.erase(line.substr(0, line.find("broken:") + 7))) << line;
    EXPECT_TRUE(lines.empty()) << *lines.begin();

    args = options;
    args.insert(args.end(), {"-o", from_loose});
    args.insert(args.end(), loose_files.begin(), loose_files.end());
    ASSERT_EQ(run(args).status, 0);
    std::set<std::string> expected;
    for (const auto& [name, output] : loose_output) {
      expected.insert("disk-" + name + extension);
      EXPECT_TRUE(read_whole_file(from_disk + "/disk-" + name + extension) ==
                  read_whole_file(from_loose + "/" + output + extension))
          << name;
    }
    EXPECT_EQ(listing(from_disk), expected);
  }
}

TEST_F(Ss4topngDisks, EveryContainerGivesTheSameFiles) {
  // The EDSK's track blocks list their sectors' IDs interleaved.
  const EdskOptions edsk;
  const std::vector<std::pair<std::string, Bytes>> containers = {{"m.mgt", disk_.writer.mgt()},
                                                                 {"i.img", disk_.writer.img()},
                                                                 {"s.sad", disk_.writer.sad()},
                                                                 {"e.dsk", disk_.writer.edsk(edsk)}};
  std::vector<std::string> args = {"-o", folder("out")};
  for (const auto& [name, bytes] : containers) args.push_back(put(name, bytes));
  EXPECT_EQ(run(args).status, 1);
  EXPECT_EQ(listing(temp_path("out")).size(), containers.size() * disk_.loose.size());
  for (const auto& [name, bytes] : disk_.loose) {
    const Bytes mgt = read_whole_file(temp_path("out/m-" + name + ".png"));
    EXPECT_FALSE(mgt.empty());
    for (const char* stem : {"i-", "s-", "e-"})
      EXPECT_EQ(read_whole_file(temp_path("out/") + stem + name + ".png"), mgt);
  }
}

TEST_F(Ss4topngDisks, BadImagesAreOneLineAndWriteNothing) {
  auto cut = [](Bytes bytes, std::size_t size) {
    bytes.resize(size, 0);
    return bytes;
  };
  DiskWriter no_screens;
  no_screens.add(code_entry("code", Bytes(2000, 3)));
  EdskOptions lies;
  lies.table_lies = {{0, 0}};  // track 0, and so the directory, taking no room
  struct Case {
    std::string name;
    Bytes bytes;
    std::string says;
  };
  const Case cases[] = {
      {"cut.mgt", cut(disk_.writer.mgt(), 409600), "not a SAM disk image"},
      {"long.mgt", cut(disk_.writer.mgt(), 819201), "not a SAM disk image"},
      {"cut.sad", cut(disk_.writer.sad(), 100), "no directory"},
      {"lies.dsk", disk_.writer.edsk(lies), "no directory"},
      {"code.sad", no_screens.sad(), "no screens on this disk"},
      {"huge.mgt", {}, "too large for a SAM disk image: 2147483648 bytes, at most 4194304"},
  };
  std::vector<std::string> args;
  for (const Case& c : cases) args.push_back(put(c.name, c.bytes));
  fs::resize_file(temp_path("huge.mgt"), std::uintmax_t{1} << 31);
  const std::set<std::string> before = listing(temp_path(""));
  ProgramRun r = run(args);
  EXPECT_EQ(r.status, 1);
  const std::vector<std::string> lines = lines_of(r.err);
  ASSERT_EQ(lines.size(), std::size(cases)) << r.err;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].starts_with(args[i] + ": ")) << lines[i];
    EXPECT_NE(lines[i].find(cases[i].says), std::string::npos) << lines[i];
  }
  EXPECT_EQ(listing(temp_path("")), before);
}

TEST_F(Ss4topngDisks, ListShowsEachFileOnOneLine) {
  const std::string disk = put("disk.sad", disk_.writer.sad());
  ProgramRun r = run({"--list", disk});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = lines_of(r.out);
  // Slot 10 is the erased screen.
  const std::vector<std::string> expected = {
      " 1  mode1       SCREEN$        7113  mode 1",
      " 2  mode2       SCREEN$       14377  mode 2",
      " 3  mode3       SCREEN$       24657  mode 3",
      " 4  long rec    SCREEN$       25125  mode 4",
      " 5  a/b\\x00c    SCREEN$       24617  mode 4",
      " 6  .dot\\x01\\x5C\xE9  SCREEN$       14377  mode 2",
      " 7  same        SCREEN$       24617  mode 4",
      " 8  same        SCREEN$        6953  mode 1",
      " 9  hid         SCREEN$       14377  mode 2  hidden",
      "11  loop        SCREEN$       24617  mode 4  broken: ",
      "12  cut         SCREEN$       24617  mode 4  broken: ",
      "13  off         SCREEN$       24617  mode 4  broken: ",
      "14  packed      SCREEN$       24617  mode 4  compressed",
      "15  zx          ZX SCREEN$     6912  mode 1  ZX Spectrum screen",
      "16  far         SCREEN$       24637  mode 3",
      "17  code        CODE            100",
  };
  ASSERT_EQ(lines.size(), expected.size()) << r.out;
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_TRUE(lines[i] == expected[i] || (expected[i].ends_with(": ") && lines[i].starts_with(expected[i])))
        << lines[i];

  // Several files: a line naming each disk, and one line for what is none.
  const std::string other = put("other.mgt", disk_.writer.mgt()), none = put("none.img", Bytes(1000, 7));
  ProgramRun several = run({"--list", disk, none, other});
  EXPECT_EQ(several.status, 1);
  EXPECT_EQ(lines_of(several.out).size(), 2 * (expected.size() + 1));
  EXPECT_TRUE(several.out.starts_with(disk + ":\n" + lines[0] + "\n")) << several.out;
  EXPECT_NE(several.out.find("\n" + other + ":\n" + lines[0] + "\n"), std::string::npos);
  EXPECT_TRUE(several.err.starts_with(none + ": not a SAM disk image")) << several.err;
  EXPECT_EQ(lines_of(several.err).size(), 1u);
}

TEST_F(Ss4topngDisks, ChoosingScreens) {
  const std::string disk = put("disk.mgt", disk_.writer.mgt());
  DiskWriter firsts_writer;
  firsts_writer.add(code_entry("code", Bytes(10, 1)));
  const int bad = firsts_writer.add(sam_screen_entry("bad", 2, sam_screen_file({"b", 2, 1})));
  firsts_writer.link(firsts_writer.chain(bad)[0], {0, 0});
  firsts_writer.add(sam_screen_entry("good", 1, sam_screen_file({"g", 1, 2})));
  firsts_writer.add(sam_screen_entry("later", 4, sam_screen_file({"l", 4, 3})));
  const std::string firsts = put("firsts.mgt", firsts_writer.mgt());
  const std::string same2 = std::to_string(disk_.slots["same"]);
  struct Case {
    std::vector<std::string> args;  // before the disk; "-o OUT" added when they have no -o
    std::string input;
    std::set<std::string> written;  // in OUT, or the -o file's name
    std::string says;               // standard error after "DISK: "
  };
  const Case cases[] = {
      {{"--slot", same2}, disk, {"disk-same-" + same2 + ".png"}, ""},
      {{"--name", "same"}, disk, {"disk-same.png", "disk-same-" + same2 + ".png"}, ""},
      {{"--name", ".dot\x01\\\xE9"}, disk, {"disk-_dot\x01\\\xE9.png"}, ""},
      {{"--first"}, firsts, {"firsts-good.png"}, ""},
      {{"--mode", "3", "--slot", "1", "-o", "mode3.png"}, disk, {}, "mode1 (slot 1): 7113 bytes is too short"},
      {{"--slot", std::to_string(disk_.slots["packed"])}, disk, {}, "packed (slot 14): compressed, skipped"},
      {{"--slot", std::to_string(disk_.slots["code"])}, disk, {}, "slot 17 holds no screen"},
      {{"--name", "nothing\x7F"}, disk, {}, "no screen named nothing\\x7F on this disk"},
      {{"-o", "one.png"}, disk, {}, "15 screens, but -o names one file"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const std::string out = folder("out" + std::to_string(n++));
    std::vector<std::string> args = c.args;
    const auto o = std::find(args.begin(), args.end(), "-o");
    if (o == args.end())
      args.insert(args.end(), {"-o", out});
    else
      *(o + 1) = out + "/" + *(o + 1);
    args.push_back(c.input);
    ProgramRun r = run(args);
    EXPECT_EQ(r.status, c.says.empty() ? 0 : 1);
    EXPECT_TRUE(c.says.empty() ? r.err.empty() : r.err.starts_with(c.input + ": " + c.says)) << r.err;
    EXPECT_EQ(listing(out), c.written);
  }
}

}  // namespace
