#include "screen_fixture.h"

#include "image/images.h"
#include "screen/screen_file.h"
#include "screen/screen_view.h"
#include "screen/viewer_state.h"

#include "runtime/memory_blocks.h"

#include "native/backends/headless/headless.h"
#include "native/system/faults.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Every pixel shows look-up entry 3, so each row's colour tells which
// colour entry 3 had there.
std::uint8_t all_three(int, int) { return 3; }
std::uint8_t column_entries(int x, int) { return static_cast<std::uint8_t>(x % 16); }

const std::vector<std::uint8_t> BASE_CLUT = {0, 1, 2, 10, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 127};

// The colour of entry 3 on each screen row, read at scale 2.
std::vector<std::uint32_t> entry_three_by_row() {
  std::vector<std::uint32_t> rows;
  for (int y = 0; y < 192; ++y) rows.push_back(ScreenTest::image_pixel(0, 2 * y));
  return rows;
}

std::vector<std::uint32_t> rows_of(std::uint32_t before, int change_row, std::uint32_t after) {
  std::vector<std::uint32_t> rows(192, before);
  for (int y = change_row; y < 192; ++y) rows[static_cast<std::size_t>(y)] = after;
  return rows;
}

TEST_F(ScreenTest, ALineChangeTakesEffectOnTheNextRowDown) {
  load(make_screen(all_three, BASE_CLUT, {{99, 3, 34, 0}}));
  EXPECT_EQ(entry_three_by_row(), rows_of(shown(10), 100, shown(34)));
}

TEST_F(ScreenTest, OnlyTheFirstRecordForARowApplies) {
  load(make_screen(all_three, BASE_CLUT, {{99, 3, 34, 0}, {99, 3, 64, 0}, {99, 4, 64, 0}}));
  EXPECT_EQ(entry_three_by_row(), rows_of(shown(10), 100, shown(34)));
  EXPECT_EQ(image_pixel(0, 2 * 150), shown(34));
}

TEST_F(ScreenTest, EntriesOf16OrMoreAreSkippedAndTheScanGoesOn) {
  load(make_screen(all_three, BASE_CLUT, {{49, 16, 64, 0}, {49, 3, 34, 0}}));
  EXPECT_EQ(entry_three_by_row(), rows_of(shown(10), 50, shown(34)));
}

TEST_F(ScreenTest, TheColourBytesTopBitIsIgnored) {
  load(make_screen(all_three, {0, 0, 0, 10 | 0x80}, {{9, 3, 162, 0}}));
  EXPECT_EQ(entry_three_by_row(), rows_of(shown(10), 10, shown(34)));
}

TEST_F(ScreenTest, ATableStartingWith191UsesTheLookUpBytesAlone) {
  std::vector<std::uint8_t> bytes = make_screen(all_three, BASE_CLUT, {}, true);
  bytes.insert(bytes.end(), {10, 3, 34, 0});  // after the end: ignored
  load(bytes);
  EXPECT_EQ(entry_three_by_row(), rows_of(shown(10), 0, shown(10)));
}

TEST_F(ScreenTest, ChangesLastUntilTheEntryChangesAgainAndEveryRenderStartsAfresh) {
  load(make_screen(all_three, BASE_CLUT, {{19, 3, 34, 0}, {59, 3, 64, 0}}));
  std::vector<std::uint32_t> expected = rows_of(shown(10), 20, shown(34));
  for (int y = 60; y < 192; ++y) expected[static_cast<std::size_t>(y)] = shown(64);
  EXPECT_EQ(entry_three_by_row(), expected);
  render_screen();
  EXPECT_EQ(entry_three_by_row(), expected);
}

TEST_F(ScreenTest, PixelsMapHighNibbleFirstAtEitherScale) {
  std::vector<std::uint8_t> bytes = make_screen(column_entries, BASE_CLUT, {});
  bytes[0] = 0x1F;
  load(bytes);
  ViewerState& v = viewer_state();
  EXPECT_EQ(image_pixel(0, 0), shown(BASE_CLUT[1]));
  EXPECT_EQ(image_pixel(1, 1), shown(BASE_CLUT[1]));
  EXPECT_EQ(image_pixel(2, 0), shown(BASE_CLUT[15]));
  v.scale = 1;
  render_screen();
  EXPECT_EQ(image_pixel(0, 0), shown(BASE_CLUT[1]));
  EXPECT_EQ(image_pixel(1, 0), shown(BASE_CLUT[15]));
  EXPECT_EQ(image_pixel(255, 191), shown(BASE_CLUT[15]));
}

TEST_F(ScreenTest, ScaleOneIsCentredOnBlackAndScaleTwoFillsTheCanvas) {
  std::vector<std::uint8_t> clut(16, 127);  // all white
  load(make_screen(all_three, clut, {}));
  EXPECT_EQ(canvas_pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(canvas_pixel(511, 383), 0xFFFFFFu);
  viewer_state().scale = 1;
  render_screen();
  EXPECT_EQ(canvas_pixel(127, 96), 0u);
  EXPECT_EQ(canvas_pixel(128, 96), 0xFFFFFFu);
  EXPECT_EQ(canvas_pixel(383, 287), 0xFFFFFFu);
  EXPECT_EQ(canvas_pixel(384, 287), 0u);
  EXPECT_EQ(canvas_pixel(383, 288), 0u);
  EXPECT_EQ(canvas_pixel(0, 0), 0u);
}

TEST_F(ScreenTest, SizesAroundTheLimit) {
  std::vector<std::uint8_t> bytes = make_screen(all_three, BASE_CLUT, {}, false);
  ASSERT_EQ(bytes.size(), 24616u);
  load(bytes);
  EXPECT_EQ(viewer_state().file_size, -1);
  EXPECT_TRUE(viewer_state().file_name.empty());
  bytes.push_back(5);  // one table byte: a record cut short
  std::u16string name = load(bytes);
  EXPECT_EQ(viewer_state().file_size, 24617);
  EXPECT_EQ(viewer_state().file_name, name);
}

TEST_F(ScreenTest, ARecordCutShortIsIgnoredWithoutReadingPastTheFile) {
  std::vector<std::uint8_t> bytes = make_screen(all_three, BASE_CLUT, {{9, 3, 34, 0}}, false);
  bytes.insert(bytes.end(), {19, 3});  // line and entry, no colour
  load(bytes);
  EXPECT_EQ(entry_three_by_row(), rows_of(shown(10), 10, shown(34)));
}

TEST_F(ScreenTest, SeveralMegabytesAreReadButOnlyWhatThePictureUsesIsHeld) {
  std::vector<LineRecord> records(1000000, LineRecord{200, 0, 0, 0});
  records[0] = {99, 3, 34, 0};
  for (std::size_t i = 1; i < records.size(); ++i) records[i] = {150, 20, 0, 0};  // entries too big
  load(make_screen(all_three, BASE_CLUT, records));
  EXPECT_EQ(viewer_state().file_size, 24616 + 4000000 + 1);
  EXPECT_EQ(entry_three_by_row(), rows_of(shown(10), 100, shown(34)));
  EXPECT_EQ(viewer_state().data_size, 24616 + 4 + 1);
  EXPECT_LE(memory_size(viewer_state().file_data), 24616u + 4 * 191 + 1);
}

// Holes in a sparse file read as zeros; passing over them must give the
// picture that reading every zero gives. The sparse file is loaded first
// and by name, so that a refused load cannot pass for the dense one.
TEST_F(ScreenTest, HolesInASparseFileGiveThePictureTheirZerosWould) {
  const std::vector<std::uint8_t> bytes = make_screen(all_three, BASE_CLUT, {}, false);
  const std::uint8_t record[] = {99, 3, 34, 0, 149, 3, 64, 0};
  for (std::size_t hole : {std::size_t{128} << 10, std::size_t{6} << 20}) {
    SCOPED_TRACE(hole);
    const std::size_t late = bytes.size() + hole;
    const std::string name = "sparse_" + std::to_string(hole) + ".ss4";
    write_whole_file(temp_path(name), bytes);
    std::filesystem::resize_file(temp_path(name), late + (std::size_t{2} << 20));
    {
      std::fstream out(temp_path(name), std::ios::in | std::ios::out | std::ios::binary);
      out.seekp(static_cast<std::streamoff>(late));
      out.write(reinterpret_cast<const char*>(record), sizeof record);
    }
    load_screen(temp_path16(name));
    ASSERT_EQ(viewer_state().file_name, temp_path16(name));
    std::vector<std::uint32_t> expected = rows_of(shown(10), 100, shown(34));
    std::fill(expected.begin() + 150, expected.end(), shown(64));
    EXPECT_EQ(entry_three_by_row(), expected);
  }
}

TEST_F(ScreenTest, AFileThatCannotBeReadAfterAllCountsAsBad) {
  std::vector<std::uint8_t> first = make_screen(all_three, BASE_CLUT, {});
  load(first, "first.ss4");
  std::uint32_t before = canvas_pixel(10, 10);
  std::vector<std::uint8_t> second = make_screen(all_three, std::vector<std::uint8_t>(16, 64), {});
  write_whole_file(temp_path("held.ss4"), second);
  native::faults::fail_next_open();
  load_screen(temp_path16("held.ss4"));
  // The first screen stays loaded, its bytes untouched.
  EXPECT_EQ(viewer_state().file_size, static_cast<std::int32_t>(first.size()));
  EXPECT_EQ(viewer_state().file_name, temp_path16("first.ss4"));
  render_screen();
  EXPECT_EQ(canvas_pixel(10, 10), before);
  ASSERT_EQ(native::headless::message_boxes().size(), 1u);
  EXPECT_EQ(native::headless::message_boxes()[0].request.text,
            u"Bad size or file not exists\n" + temp_path16("held.ss4"));
}

// Each way a read ends, for the messages that say why.
TEST_F(ScreenTest, ReadingTellsWhyAFileWasNotLoaded) {
  std::vector<std::uint8_t> good = make_screen(all_three, BASE_CLUT, {});
  write_whole_file(temp_path("good.ss4"), good);
  write_whole_file(temp_path("short.ss4"), std::vector<std::uint8_t>(100));
  std::filesystem::create_directory(temp_path("folder"));
  EXPECT_EQ(read_screen(temp_path16("good.ss4")).status, ScreenReadStatus::loaded);
  EXPECT_EQ(read_screen(temp_path16("short.ss4")).status, ScreenReadStatus::bad_size);
  EXPECT_EQ(read_screen(temp_path16("missing.ss4")).status, ScreenReadStatus::bad_size);
  EXPECT_EQ(read_screen(temp_path16("folder")).status, ScreenReadStatus::folder);
  native::faults::fail_next_open();
  ScreenRead locked = read_screen(temp_path16("good.ss4"));
  EXPECT_EQ(locked.status, ScreenReadStatus::unreadable);
  EXPECT_NE(locked.error, 0);
  native::faults::fail_allocations_from(1);
  EXPECT_EQ(read_screen(temp_path16("good.ss4")).status, ScreenReadStatus::out_of_memory);
  native::faults::reset();
  EXPECT_EQ(viewer_state().file_size, static_cast<std::int32_t>(good.size()));  // still the good one
  EXPECT_TRUE(native::headless::message_boxes().empty());                       // reading alone tells no one
}

TEST_F(ScreenTest, FilesOf2GiBOrMoreAreRefusedRatherThanCut) {
  std::vector<std::uint8_t> bytes = make_screen(all_three, BASE_CLUT, {});
  write_whole_file(temp_path("huge.ss4"), bytes);
  // Sparse: 4 GiB plus a valid screen's size, whose low 32 bits alone would
  // pass for a small file.
  std::filesystem::resize_file(temp_path("huge.ss4"), (std::uintmax_t{1} << 32) + bytes.size());
  load_screen(temp_path16("huge.ss4"));
  EXPECT_EQ(viewer_state().file_size, -1);
  EXPECT_EQ(native::headless::message_boxes().size(), 1u);
}

TEST_F(ScreenTest, ARejectedFileLeavesTheShownScreenLoaded) {
  std::u16string name = load(make_screen(all_three, BASE_CLUT, {}));
  std::uint32_t before = canvas_pixel(20, 20);  // screen pixel (10, 10)
  load_screen(temp_path16("missing.ss4"));
  EXPECT_EQ(viewer_state().file_name, name);
  EXPECT_EQ(canvas_pixel(20, 20), before);
  viewer_state().scale = 1;
  render_screen();  // still loaded: drawn at the new scale
  EXPECT_EQ(canvas_pixel(0, 0), 0u);
  EXPECT_EQ(canvas_pixel(128 + 10, 96 + 10), before);
}

}  // namespace
