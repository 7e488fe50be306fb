// The photo-like corpus: each screen decodes, comes out the same every time
// and as the build wrote it, and looks like a dithered picture with a line
// change on most rows, not flat colour or a table that does nothing.
#include "photo_screens.h"
#include "sam_colours.h"
#include "sam/line_changes.h"
#include "screen/sam_palette.h"
#include "sam/screen_decoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes read_file(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::size_t records(const Bytes& file) { return (file.size() - LINE_TABLE_OFFSET) / LINE_RECORD_SIZE; }
bool has_end_mark(const Bytes& file) {
  return (file.size() - LINE_TABLE_OFFSET) % LINE_RECORD_SIZE == 1 && file.back() == LINE_TABLE_END;
}

class PhotoScreenTest : public testing::TestWithParam<std::size_t> {
 protected:
  const photo::PhotoScreen& entry() const { return photo::photo_corpus()[GetParam()]; }
};

TEST_P(PhotoScreenTest, IsADitheredPictureWithALineChangeOnMostRows) {
  const Bytes file = photo::make_photo_screen(entry());
  EXPECT_EQ(photo::make_photo_screen(entry()), file) << "made differently the second time";
  EXPECT_EQ(read_file(TESSELON_CORPUS_DIR "/" + photo::photo_screen_name(GetParam()) + ".ss4"), file)
      << "not what the build wrote";

  DecodedScreen screen;
  ASSERT_EQ(decode_screen(file, screen), ScreenSize::usable);
  auto shown = [&](int x, int y) { return screen.row_clut[y][screen.pixels[y * SCREEN_WIDTH + x]]; };
  int differing = 0, changed_rows = 0;
  std::set<int> colours;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    changed_rows += y > 0 && screen.row_clut[y] != screen.row_clut[y - 1];
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      colours.insert(shown(x, y));
      differing += x > 0 && shown(x, y) != shown(x - 1, y);
    }
  }
  EXPECT_GT(differing, SCREEN_HEIGHT * (SCREEN_WIDTH - 1) / 2) << "neighbours of another colour";
  EXPECT_GE(colours.size(), 20u);
  EXPECT_GE(changed_rows, (SCREEN_HEIGHT - 1) * 3 / 5);
}

// A naive encoder's extra records change nothing: the screen shows what its
// form with one record a line shows, end mark or not.
TEST_P(PhotoScreenTest, ExtraRecordsChangeNothing) {
  const Bytes file = photo::make_photo_screen(entry());
  if (entry().extra_records_per_line == 0) {
    EXPECT_LE(records(file), static_cast<std::size_t>(CHANGEABLE_ROWS));
    EXPECT_TRUE(has_end_mark(file));
    return;
  }
  photo::PhotoScreen plain = entry();
  plain.extra_records_per_line = 0;
  plain.end_mark = true;
  EXPECT_GE(records(file), 2000u);
  EXPECT_EQ(has_end_mark(file), entry().end_mark);
  DecodedScreen screen, plain_screen;
  ASSERT_EQ(decode_screen(file, screen), ScreenSize::usable);
  ASSERT_EQ(decode_screen(photo::make_photo_screen(plain), plain_screen), ScreenSize::usable);
  EXPECT_EQ(screen.pixels, plain_screen.pixels);
  EXPECT_EQ(screen.row_clut, plain_screen.row_clut);
}

INSTANTIATE_TEST_SUITE_P(Corpus, PhotoScreenTest, testing::Range<std::size_t>(0, photo::photo_corpus().size()),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return photo::photo_screen_name(info.param);
                         });

TEST(PhotoCorpus, AQuarterHaveLongTablesAndSomeNoEndMark) {
  const auto corpus = photo::photo_corpus();
  std::size_t long_tables = 0, unmarked = 0;
  for (const photo::PhotoScreen& screen : corpus) {
    long_tables += screen.extra_records_per_line > 0;
    unmarked += !screen.end_mark;
  }
  EXPECT_GE(corpus.size(), 16u);
  EXPECT_GE(long_tables * 4, corpus.size());
  EXPECT_GE(unmarked, 1u);
}

// What the generator scores is what the viewer shows.
TEST(PhotoCorpus, ColoursAreTheViewers) {
  for (int i = 0; i < photo::SAM_COLOURS; ++i) {
    photo::Rgb c = photo::sam_rgb()[i];
    EXPECT_EQ(rgb(c.r, c.g, c.b), sam_colour(i)) << "index " << i;
  }
}

}  // namespace
