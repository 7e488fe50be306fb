// A screen fed in pieces decodes to what the whole file decodes to, whatever
// the pieces, and every byte counts towards the size rule. (Where the needed
// bytes end is checked through the image loader, tests/pixbuf_loader.)
#include "screen/incremental_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes screen_with_table(const Bytes& table) {
  std::mt19937 random(3);
  Bytes file(LINE_TABLE_OFFSET + table.size());
  for (std::int32_t i = 0; i < LINE_TABLE_OFFSET; ++i) file[i] = static_cast<std::uint8_t>(random());
  std::copy(table.begin(), table.end(), file.begin() + LINE_TABLE_OFFSET);
  return file;
}

// Filled by index: GCC 12 at -O3 sees overflows in inserts here that are not.
Bytes records(int count, int first_line, int entry) {
  Bytes table(4 * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    table[4 * i] = static_cast<std::uint8_t>((first_line + i) % 191);
    table[4 * i + 1] = static_cast<std::uint8_t>(entry);
    table[4 * i + 2] = static_cast<std::uint8_t>(i * 7);
  }
  return table;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(IncrementalScreen, AnyPiecesDecodeAsTheWholeFile) {
  const Bytes files[] = {
      Bytes(0),
      Bytes(MIN_SS4_SIZE - 1),
      screen_with_table({}),
      screen_with_table({200}),
      screen_with_table(records(3, 10, 2) + Bytes{5, 1, 9}),  // a last record cut short after its colour
      screen_with_table(records(191, 0, 1) + records(50, 0, 2)),
      screen_with_table(records(20000, 4, 20) + records(3, 0, 5) + Bytes{191, 0, 0, 0} + records(9, 60, 1)),
  };
  const std::size_t pieces[] = {1, 3, 4, 5, 4093, 1 << 20};
  for (const Bytes& file : files) {
    auto whole = std::make_unique<DecodedScreen>();
    ScreenSize expected = decode_screen(file, *whole);
    for (std::size_t piece : pieces) {
      SCOPED_TRACE(testing::Message() << file.size() << " bytes in pieces of " << piece);
      IncrementalScreen incoming;
      for (std::size_t at = 0; at < file.size(); at += piece)
        incoming.feed(file.data() + at, std::min(piece, file.size() - at));
      EXPECT_EQ(incoming.size(), static_cast<std::int64_t>(file.size()));
      auto screen = std::make_unique<DecodedScreen>();
      ASSERT_EQ(incoming.finish(*screen), expected);
      if (expected != ScreenSize::usable) continue;
      EXPECT_EQ(screen->pixels, whole->pixels);
      EXPECT_EQ(screen->row_clut, whole->row_clut);
    }
  }
}

}  // namespace
