// The disk reader against the test's own disk writer: every file read back
// as written in every container, and every way a disk can lie named.
#include "disk_writer.h"
#include "sam/disk_directory.h"
#include "sam_screens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Written {
  int slot;
  DiskEntry entry;
  DiskFileKind kind;
  int mode;
};

Bytes body(int mode, int records) {
  ScreenRecipe recipe;
  recipe.mode = mode;
  recipe.seed = static_cast<std::uint32_t>(mode * 7 + records);
  recipe.records = records;
  return sam_screen_file(recipe);
}

Bytes filler(std::size_t size, int seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 + seed);
  return bytes;
}

// Screens of every mode, hidden, protected and odd names, one erased file,
// one across both sides and one on side 1, a compressed screen, Spectrum
// screens of both kinds and other files.
std::vector<Written> write_sample(DiskWriter& disk) {
  std::vector<Written> written;
  auto add = [&](DiskEntry entry, DiskFileKind kind, int mode) {
    written.push_back({disk.add(entry), std::move(entry), kind, mode});
  };
  add(sam_screen_entry("mode1", 1, body(1, 0)), DiskFileKind::sam_screen, 1);
  DiskEntry hidden = sam_screen_entry(std::string("a/\0\\\x7f:\xff", 7), 2, body(2, 40));
  hidden.hidden = true;
  add(hidden, DiskFileKind::sam_screen, 2);
  disk.erase(disk.add(code_entry("gone", filler(3000, 1))));
  DiskEntry guarded = sam_screen_entry("ten chars!", 3, body(3, 0));
  guarded.protected_file = true;
  guarded.mode_byte = 0xFF;  // the header's page byte says the mode then
  add(guarded, DiskFileKind::sam_screen, 3);
  DiskEntry across = sam_screen_entry("mode1", 4, body(4, 127));
  across.start_track = 79;
  add(across, DiskFileKind::sam_screen, 4);
  DiskEntry side1 = spectrum_screen_entry("zx", filler(6912, 2));
  side1.start_track = 140;
  add(side1, DiskFileKind::spectrum_screen, 1);
  DiskEntry code = spectrum_screen_entry("zx code", filler(6912, 3));
  code.type = 4;
  add(code, DiskFileKind::spectrum_screen, 1);
  add(compressed_screen_entry("packed", 4, filler(900, 4)), DiskFileKind::compressed_screen, 4);
  add(code_entry("code", filler(40000, 5)), DiskFileKind::other, 0);
  return written;
}

void expect_reads_back(const Bytes& image, std::string_view name, DiskContainer container,
                       const std::vector<Written>& written) {
  const DiskImageVerdict verdict = disk_container(image, name);
  ASSERT_EQ(verdict.container, container) << verdict.why;
  const DiskImage disk(image, container);
  const DiskDirectory directory = read_disk_directory(disk);
  ASSERT_EQ(directory.files.size(), written.size()) << directory.why;
  for (std::size_t i = 0; i < written.size(); ++i) {
    const DiskFile& file = directory.files[i];
    const Written& w = written[i];
    SCOPED_TRACE(testing::Message() << name << " slot " << w.slot);
    EXPECT_EQ(file.broken, "");
    EXPECT_EQ(file.slot, w.slot);
    EXPECT_EQ(disk_file_name(file), w.entry.name);
    EXPECT_EQ(file.type, w.entry.type);
    EXPECT_EQ(file.hidden, w.entry.hidden);
    EXPECT_EQ(file.protected_file, w.entry.protected_file);
    EXPECT_EQ(file.kind, w.kind);
    EXPECT_EQ(file.mode, w.mode);
    EXPECT_EQ(file.length, static_cast<std::int64_t>(w.entry.data.size()));
    EXPECT_TRUE(std::equal(file.header.begin(), file.header.end(), w.entry.header.begin()));
    EXPECT_TRUE(disk_file_data(disk, file) == w.entry.data);
  }
}

TEST(DiskReader, ReadsBackEveryFileInEveryContainer) {
  DiskWriter disk;
  const std::vector<Written> written = write_sample(disk);
  ASSERT_EQ(disk.chain(written[3].slot)[10], (DiskPlace{128, 1})) << "the file crosses to side 1";
  EdskOptions plain;
  plain.interleaved = false;
  expect_reads_back(disk.mgt(), "disk.img", DiskContainer::mgt, written);
  expect_reads_back(disk.img(), "disk.mgt", DiskContainer::img, written);
  expect_reads_back(disk.sad(), "disk", DiskContainer::sad, written);
  expect_reads_back(disk.edsk(), "disk.dsk", DiskContainer::edsk, written);
  expect_reads_back(disk.edsk(plain), "disk.dsk", DiskContainer::edsk, written);
}

// A disk whose directory reads the same either way: an empty one.
TEST(DiskReader, MgtOrImgByTheDirectoryThenByTheName) {
  const Bytes empty(819'200, 0);
  EXPECT_EQ(disk_container(empty, "x.mgt").container, DiskContainer::mgt);
  EXPECT_EQ(disk_container(empty, "x").container, DiskContainer::mgt);
  EXPECT_EQ(disk_container(empty, "x.iMG").container, DiskContainer::img);
  EXPECT_EQ(disk_container(empty, "img").container, DiskContainer::mgt);
  const Bytes noise = filler(819'200, 9);
  EXPECT_EQ(disk_container(noise, "x.mgt").why,
            "819200 bytes, but no file in its directory reads in either order of its sides");
}

// Three files: a screen before, the one broken on track 20, a Spectrum
// screen after on side 1 track 30.
struct ThreeFiles {
  DiskWriter disk;
  std::vector<Written> written;
  ThreeFiles() {
    DiskEntry broken = code_entry("broken", filler(3000, 6));  // 6 sectors
    broken.start_track = 20;
    DiskEntry after = spectrum_screen_entry("after", filler(6912, 7));
    after.start_track = 128 + 30;
    for (const DiskEntry& entry : {sam_screen_entry("before", 4, body(4, 0)), broken, after})
      written.push_back({disk.add(entry), entry, DiskFileKind::other, 0});
  }
};

// The three files' `broken` texts (empty: read back as written).
void expect_broken(const Bytes& image, DiskContainer container, const ThreeFiles& files,
                   const std::array<std::string, 3>& expected) {
  // A copy of exactly its size, so that reading past it is caught.
  const Bytes exact(image.begin(), image.end());
  const DiskImage disk(exact, container);
  const DiskDirectory directory = read_disk_directory(disk);
  ASSERT_EQ(directory.files.size(), 3u) << directory.why;
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(directory.files[i].broken, expected[i]) << "slot " << i + 1;
    if (expected[i].empty()) {
      EXPECT_TRUE(disk_file_data(disk, directory.files[i]) == files.written[i].entry.data);
    }
  }
}

// The middle file (on track 20, sectors 1-6) broken by a link rewritten
// or bytes of its entry changed; the files before and after still read.
TEST(DiskReader, EachBrokenChainNamesItsFault) {
  constexpr int none = -1, garbage = -2;
  const struct Case {
    int from;  // the chain's sector whose link goes `to` instead
    DiskPlace to;
    std::vector<std::pair<int, int>> entry;  // (byte, value)
    std::string why;
  } cases[] = {
      {3, {20, 2}, {}, "its chain loops at track 20 sector 2"},
      {2, {128 + 85, 1}, {}, "its chain leaves the disk at side 1 track 85 sector 1"},
      {2, {20, 11}, {}, "its chain leaves the disk at track 20 sector 11"},
      {2, {3, 10}, {}, "its chain runs into the directory at track 3 sector 10"},
      {3, {0, 0}, {}, "its chain ends after 4 sectors, its length needs 6"},
      {5, {40, 1}, {}, "its chain runs on past the 6 sectors its length needs"},
      {none, {}, {{12, 7}}, "its directory entry counts 7 sectors, its chain has 6"},
      // Map bit (25 - 4) * 10 + 3 - 1 = 212: byte 15 + 26, bit 4.
      {none, {}, {{41, 0x10}}, "its sector map disagrees with its chain at track 25 sector 3"},
      {none, {}, {{13, 100}}, "its first sector, track 100 sector 1, is not on the disk"},
      {none, {}, {{13, 0}, {14, 5}}, "its first sector, track 0 sector 5, is in the directory"},
      {garbage, {}, {}, "its first sector, side 1 track 108 sector 17, is not on the disk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ThreeFiles files;
    std::span<std::uint8_t> entry = files.disk.entry(2);
    if (c.from >= 0) files.disk.link(files.disk.chain(2)[c.from], c.to);
    for (auto [byte, value] : c.entry) entry[byte] = static_cast<std::uint8_t>(value);
    if (c.from == garbage)
      for (std::size_t i = 0; i < entry.size(); ++i) entry[i] = static_cast<std::uint8_t>(i * 37 + 11);
    expect_broken(files.disk.img(), DiskContainer::img, files, {"", c.why, ""});
  }
}

// Images whose tables lie or that end early: the sectors they do not hold
// are missing, never read from outside them.
TEST(DiskReader, ImagesThatLieOrEndEarlyOnlyLoseWhatTheyDoNotHold) {
  constexpr DiskContainer edsk = DiskContainer::edsk, sad = DiskContainer::sad;
  // An EDSK's track 20 is its 41st block of 5,376 bytes, its list at 0x18.
  constexpr std::size_t track20 = 256 + 40 * 5376, list = track20 + 0x18;
  const std::string b_first = "its first sector, track 20 sector 1, is not in the image";
  const std::string b_2 = "its chain reaches track 20 sector 2, which the image does not hold";
  const std::string b_3 = "its chain reaches track 20 sector 3, which the image does not hold";
  const std::string c_first = "its first sector, side 1 track 30 sector 1, is not in the image";
  const struct Case {
    DiskContainer container;
    std::vector<std::pair<std::size_t, int>> pokes;  // (offset, byte)
    std::size_t cut;                                 // the image's size after; 0: as written
    std::array<std::string, 3> why;
  } cases[] = {
      // Track 20's size in the table too large, too small, none.
      {edsk, {{0x34 + 40, 0xFF}}, 0, {"", "", c_first}},
      {edsk, {{0x34 + 40, 1}}, 0, {"", b_first, c_first}},
      {edsk, {{0x34 + 40, 0}}, 0, {"", b_first, c_first}},
      // Its block without its signature; the 5th listed sector (ID 3) with
      // an ID no SAM sector has; the 2nd (ID 6) 65,535 bytes long, so that
      // it and those after it overrun the track.
      {edsk, {{track20, 'X'}}, 0, {"", b_first, ""}},
      {edsk, {{list + 4 * 8 + 2, 0x23}}, 0, {"", b_3, ""}},
      {edsk, {{list + 8 + 6, 0xFF}, {list + 8 + 7, 0xFF}}, 0, {"", b_2, ""}},
      // Cut inside track 20: after IDs 1, 6 and 2 (EDSK), after sectors 1
      // and 2 (SAD); and a SAD whose header says 25 cylinders.
      {edsk, {}, track20 + 256 + 3 * 512 + 100, {"", b_3, c_first}},
      {sad, {}, 22 + 20 * 5120 + 2 * 512, {"", b_3, c_first}},
      {sad, {{19, 25}}, 0, {"", "", c_first}},
  };
  ThreeFiles files;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i);
    Bytes image = c.container == edsk ? files.disk.edsk() : files.disk.sad();
    for (auto [offset, byte] : c.pokes) image[offset] = static_cast<std::uint8_t>(byte);
    if (c.cut) image.resize(c.cut);
    ASSERT_EQ(disk_container(image, "").container, c.container);
    expect_broken(image, c.container, files, c.why);
  }
}

// Refused by their headers or size; those with a signature still look like
// disk images, so that a user hears why they are no SAM disk.
TEST(DiskReader, RefusesWhatCannotBeASamDisk) {
  auto signed_image = [](std::string_view signature, std::size_t size, std::size_t at, std::array<int, 4> bytes) {
    Bytes image(size, 0);
    std::copy(signature.begin(), signature.end(), image.begin());
    for (std::size_t i = 0; i < 4 && at + i < size; ++i) image[at + i] = static_cast<std::uint8_t>(bytes[i]);
    return image;
  };
  const auto sad = [&](std::size_t size, std::array<int, 4> geometry) {
    return signed_image("Aley's disk backup", size, 18, geometry);
  };
  const auto edsk = [&](std::size_t size, int tracks, int sides) {
    return signed_image("EXTENDED CPC DSK File", size, 0x30, {tracks, sides, 0, 0});
  };
  const struct Case {
    Bytes image;
    std::string why;
    bool looks_like_disk;
  } cases[] = {
      {Bytes(4 * 1024 * 1024 + 1, 0), "too large for a SAM disk image: 4194305 bytes, at most 4194304", false},
      {Bytes(819'199, 0), "no SAD or EDSK signature, and 819199 bytes where an MGT image has 819200", false},
      {sad(20, {2, 80, 10, 8}), "too short for a SAD header: 20 bytes", true},
      {sad(5142, {2, 80, 10, 4}), "its SAD header gives sectors of 256 bytes, not 512", true},
      {sad(5142, {0, 80, 10, 8}), "its SAD header gives no sectors: 0 sides, 80 cylinders, 10 sectors a track", true},
      {edsk(100, 80, 2), "too short for an EDSK header: 100 bytes", true},
      {edsk(256, 80, 3), "its EDSK header gives 3 sides, not 1 or 2", true},
      {edsk(256, 0, 2), "its EDSK header gives no tracks", true},
  };
  for (const Case& c : cases) {
    const DiskImageVerdict verdict = disk_container(c.image, "disk.mgt");
    EXPECT_FALSE(verdict.container);
    EXPECT_EQ(verdict.why, c.why);
    const auto head = std::span(c.image).first(std::min<std::size_t>(c.image.size(), 256));
    EXPECT_EQ(looks_like_disk_image(head, static_cast<std::int64_t>(c.image.size())), c.looks_like_disk) << c.why;
  }
}

}  // namespace
