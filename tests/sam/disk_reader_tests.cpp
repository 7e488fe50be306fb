// The disk reader against the test's own disk writer: every file read back
// as written in every container, and every way a disk can lie named.
#include "disk_writer.h"
#include "sam/disk_directory.h"
#include "sam_screens.h"

#include <gtest/gtest.h>

#include <functional>
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

}  // namespace
