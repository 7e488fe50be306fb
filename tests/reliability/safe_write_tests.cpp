// A failed or refused write leaves every file as it was: the old PNG on a
// full disk, a link and what it points at, a device node, the input itself.
#include "reliability_fixture.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

TEST_F(Reliability, AFullDiskKeepsTheOldPngAndSaysWhyOnOneLine) {
  std::string noisy = put("noisy.ss4", noisy_screen(1));
  ASSERT_EQ(ss4topng({"-o", temp_path("noisy.png"), noisy}).status, 0);
  ASSERT_GT(fs::file_size(temp_path("noisy.png")), 32u * 1024);  // more than the disk holds

  std::string disk = temp_path("disk");
  fs::create_directory(disk);
  if (!mount_small_disk(disk, 32 * 1024))
    GTEST_SKIP() << "a small tmpfs needs root; PngWriterTest covers full disks through the write-fault hooks";
  std::string old_png = disk + "/old.png";
  ASSERT_EQ(ss4topng({"-o", old_png, put("good.ss4", sample_screen())}).status, 0);
  std::vector<std::uint8_t> before = read_whole_file(old_png);
  fs::create_symlink(old_png, temp_path("link.png"));
  for (const std::string& target : {old_png, temp_path("link.png")}) {
    Outcome r = ss4topng({"-o", target, noisy});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, noisy + ": cannot write " + target + ": No space left on device\n");
    EXPECT_EQ(read_whole_file(old_png), before);
  }
  EXPECT_TRUE(fs::is_symlink(temp_path("link.png")));
  EXPECT_EQ(names_in(disk), Names{"old.png"});
  unmount_small_disk(disk);
}

TEST_F(Reliability, ALinkedOutputReplacesWhatTheLinkPointsAt) {
  std::string good = put("good.ss4", sample_screen());
  ASSERT_EQ(ss4topng({"-o", temp_path("reference.png"), good}).status, 0);
  fs::create_directory(temp_path("pictures"));
  put("pictures/old.png", {1, 2, 3});
  chmod(temp_path("pictures/old.png").c_str(), 0604);
  fs::create_symlink("pictures/old.png", temp_path("link.png"));
  ASSERT_EQ(ss4topng({"-o", temp_path("link.png"), good}).status, 0);
  EXPECT_TRUE(fs::is_symlink(temp_path("link.png")));
  EXPECT_EQ(read_whole_file(temp_path("pictures/old.png")), read_whole_file(temp_path("reference.png")));
  struct stat st {};
  stat(temp_path("pictures/old.png").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0604u);  // the replaced file keeps its mode
  EXPECT_EQ(names_in(temp_path("pictures")), Names{"old.png"});
}

TEST_F(Reliability, DevicesAndStandardOutputAreWrittenInPlace) {
  std::string good = put("good.ss4", sample_screen());
  ASSERT_EQ(ss4topng({"-o", temp_path("reference.png"), good}).status, 0);
  RunSettings piped;
  piped.stdout_to = temp_path("piped.png");
  EXPECT_EQ(ss4topng({"-o", "/dev/stdout", good}, piped).status, 0);
  EXPECT_EQ(read_whole_file(temp_path("piped.png")), read_whole_file(temp_path("reference.png")));

  if (geteuid() != 0) GTEST_SKIP() << "making device nodes needs root";
  // Copies of /dev/null and /dev/full, so that no fault can harm the real ones.
  ASSERT_EQ(mknod(temp_path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  ASSERT_EQ(mknod(temp_path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
  EXPECT_EQ(ss4topng({"-o", temp_path("null"), good}).status, 0);
  Outcome full = ss4topng({"-o", temp_path("full"), good});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, good + ": cannot write " + temp_path("full") + ": No space left on device\n");
  for (const char* node : {"null", "full"}) EXPECT_TRUE(fs::is_character_file(temp_path(node))) << node;
}

TEST_F(Reliability, NoSpellingOfTheInputIsEverAnOutput) {
  std::string good = put("good.ss4", sample_screen());
  fs::create_hard_link(good, temp_path("hard.png"));
  fs::create_symlink("good.ss4", temp_path("soft.png"));
  for (const std::string& output : {temp_path("hard.png"), temp_path("soft.png"), temp_path("./good.ss4")}) {
    Outcome r = ss4topng({"-o", output, good});
    EXPECT_EQ(r.status, 1) << output;
    EXPECT_EQ(r.err, good + ": cannot write " + output + " (it is the input)\n");
    EXPECT_EQ(read_whole_file(good), sample_screen());
  }
}

TEST_F(Reliability, EachFailureSaysWhatHappened) {
  std::string good = put("good.ss4", sample_screen());
  std::string locked = put("locked.ss4", sample_screen());
  chmod(locked.c_str(), 0);
  fs::create_directory(temp_path("read-only"));
  chmod(temp_path("read-only").c_str(), 0555);
  RunSettings bound;
  bound.bound_by_permissions = true;
  Outcome unreadable = ss4topng({locked}, bound);
  if (unreadable.status == 127) GTEST_SKIP() << "cannot give up root's power over permissions here";
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_EQ(unreadable.err, locked + ": cannot read: Permission denied\n");
  std::string refused = temp_path("read-only/out.png");
  Outcome unwritable = ss4topng({"-o", refused, good}, bound);
  EXPECT_EQ(unwritable.err, good + ": cannot write " + refused + ": Permission denied\n");
  // A file that may be written, in a folder that takes no new file: it
  // cannot be replaced safely, and the line says why.
  std::string kept = temp_path("read-only/kept.png");
  chmod(temp_path("read-only").c_str(), 0755);
  write_whole_file(kept, {'o', 'l', 'd'});
  chmod(kept.c_str(), 0666);
  chmod(temp_path("read-only").c_str(), 0555);
  Outcome folder_refuses = ss4topng({"-o", kept, good}, bound);
  EXPECT_EQ(folder_refuses.err, good + ": cannot write " + kept +
                                    ": its folder allows no new files, and it is replaced safely only through a "
                                    "new file beside it\n");
  EXPECT_EQ(read_whole_file(kept), (std::vector<std::uint8_t>{'o', 'l', 'd'}));

  RunSettings full;
  full.stdout_to = "/dev/full";
  for (const char* option : {"--help", "--version"}) {
    Outcome r = ss4topng({option}, full);
    EXPECT_EQ(r.status, 1) << option;
    EXPECT_EQ(r.err, "ss4topng: cannot write to standard output: No space left on device\n");
  }
}

}  // namespace
