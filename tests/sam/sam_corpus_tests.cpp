// Every mode, read as the image loader and ss4topng read it, against a plain
// reading of the format; and mode 4 as the viewer has always read it.
#include "plain_screen_reading.h"
#include "sam/screen_decoder.h"
#include "sam/screen_reader.h"
#include "sam_screens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

using Bytes = std::vector<std::uint8_t>;

void PrintTo(const ScreenRecipe& recipe, std::ostream* out) { *out << recipe.name; }

namespace {

KindVerdict read_in_pieces(const Bytes& file, std::size_t piece, int named_mode, SamScreen& screen) {
  ScreenReader reader(named_mode);
  for (std::size_t at = 0; at < file.size(); at += piece)
    reader.feed(file.data() + at, std::min(piece, file.size() - at));
  return reader.finish(screen);
}

// Where two pictures first differ, if they do; a whole picture would flood the log.
std::string first_difference(const Bytes& got, const Bytes& plain, int width) {
  const auto [g, p] = std::mismatch(got.begin(), got.end(), plain.begin());
  if (g == got.end()) return {};
  const auto i = g - got.begin();
  return "(" + std::to_string(i % width) + ", " + std::to_string(i / width) + "): " + std::to_string(*g) +
         " instead of " + std::to_string(*p);
}

class SamCorpusTest : public testing::TestWithParam<ScreenRecipe> {};

TEST_P(SamCorpusTest, DecodesToWhatAPlainReadingShows) {
  const ScreenRecipe& recipe = GetParam();
  const Bytes file = sam_screen_file(recipe);
  const PlainScreen plain = plain_screen_reading(file, recipe.mode, recipe.header);
  const auto& c = plain.colours;
  const bool palette_phases_differ = c[0][0] != c[1][0] || c[0][1] != c[1][1];
  const bool attribute_phases_differ = c[0][0] != c[0][1] || c[1][0] != c[1][1];
  ASSERT_EQ(palette_phases_differ, recipe.palette_flash) << "the recipe does not flash as asked";
  ASSERT_EQ(attribute_phases_differ, recipe.attribute_flash) << "the recipe does not flash as asked";

  // Only the extension tells mode 3 from mode 4 when there is no header.
  const int named_mode = recipe.mode == 3 && !recipe.header ? 3 : 0;
  auto screen = std::make_unique<SamScreen>();
  Bytes colours(static_cast<std::size_t>(plain.width) * 192);
  for (std::size_t piece : {std::size_t{1}, std::size_t{5}, std::size_t{4096}, file.size()}) {
    SCOPED_TRACE("pieces of " + std::to_string(piece));
    const KindVerdict verdict = read_in_pieces(file, piece, named_mode, *screen);
    ASSERT_TRUE(verdict.kind) << verdict.why;
    EXPECT_EQ(verdict.kind->mode, recipe.mode);
    EXPECT_EQ(verdict.kind->body_offset, recipe.header ? 9 : 0);
    ASSERT_EQ(screen->width, plain.width);
    for (int p = 0; p < 2; ++p)
      for (int a = 0; a < 2; ++a) {
        frame_colours(*screen, p, a, colours);
        EXPECT_EQ(first_difference(colours, c[p][a], plain.width), "")
            << "palette phase " << p << ", attribute phase " << a;
        EXPECT_EQ(frame_colour(*screen, p, a, plain.width - 1, 191), c[p][a].back());
      }
    EXPECT_EQ(screen->palette_flashes, palette_phases_differ);
    EXPECT_EQ(screen->attributes_flash, attribute_phases_differ);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SamCorpusTest, testing::ValuesIn(sam_screen_corpus()),
                         [](const testing::TestParamInfo<ScreenRecipe>& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

Bytes read_file(const std::filesystem::path& name) {
  std::ifstream in(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(SamScreen, ModeFourIsWhatTheViewerShowsForEveryExistingScreen) {
  std::vector<std::filesystem::path> names;
  for (const char* folder : {TESSELON_SAMPLES_DIR, TESSELON_CORPUS_DIR})
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.path().extension() == ".ss4") names.push_back(entry.path());
  ASSERT_GT(names.size(), 3u) << "the corpus target's screens are missing";
  auto screen = std::make_unique<SamScreen>();
  auto viewer = std::make_unique<DecodedScreen>();
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    const Bytes file = read_file(name);
    ASSERT_EQ(decode_screen(file, *viewer), ScreenSize::usable);
    const KindVerdict verdict = read_in_pieces(file, 1000, 0, *screen);
    ASSERT_TRUE(verdict.kind) << verdict.why;
    EXPECT_EQ(verdict.kind->mode, 4);
    EXPECT_TRUE(std::equal(viewer->pixels.begin(), viewer->pixels.end(), screen->entries.begin()));
    EXPECT_EQ(screen->row_colours[0], viewer->row_clut);
  }
}

}  // namespace
