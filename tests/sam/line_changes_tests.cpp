// The table read in pieces keeps exactly what reading it whole would use.
#include "sam/line_changes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The kept records of a table fed in pieces of the given sizes (cycled).
Bytes kept_of(const Bytes& table, const std::vector<std::size_t>& pieces, bool* stopped_early = nullptr) {
  LineChangeScan scan;
  std::size_t at = 0;
  bool more = true;
  for (std::size_t i = 0; at < table.size() && more; ++i) {
    std::size_t n = std::min(pieces[i % pieces.size()], table.size() - at);
    more = scan_line_changes(scan, table.data() + at, n);
    at += n;
  }
  if (stopped_early) *stopped_early = !more;
  finish_line_changes(scan);
  return Bytes(scan.kept.begin(), scan.kept.begin() + scan.kept_bytes);
}

// The first record for each row whose entry is below 16, in file order, up to
// a line of 191 or more; a last record needs its colour byte, and without
// its alternate colour shows that one in both phases.
Bytes expected_of(const Bytes& table) {
  Bytes kept;
  std::vector<bool> seen(192);
  for (std::size_t p = 0; p + 2 < table.size() && table[p] < 191; p += 4) {
    if (table[p + 1] >= 16 || seen[table[p] + 1u]) continue;
    seen[table[p] + 1u] = true;
    kept.insert(kept.end(), {table[p], table[p + 1], table[p + 2], table[std::min(p + 3, table.size() - 1)]});
  }
  return kept;
}

TEST(LineChanges, AnyPiecesKeepWhatTheWholeTableWouldUse) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    Bytes table(random() % 1200);
    // Lines mostly below 191, entries mostly below 16, so that tables run long.
    for (std::size_t i = 0; i < table.size(); ++i) {
      std::uint32_t r = random();
      table[i] = static_cast<std::uint8_t>(i % 4 == 0   ? (r % 400 == 0 ? 191 + r % 65 : r % 191)
                                           : i % 4 == 1 ? r % 20
                                                        : r);
    }
    SCOPED_TRACE(round);
    Bytes expected = expected_of(table);
    EXPECT_EQ(kept_of(table, {table.size() + 1}), expected);
    EXPECT_EQ(kept_of(table, {1, 2, 3, 4, 5, 7, 64}), expected);
  }
}

TEST(LineChanges, ReadingStopsOnceNothingLaterCanChangeThePicture) {
  Bytes every_row;
  for (int line = 190; line >= 0; --line) every_row.insert(every_row.end(), {static_cast<std::uint8_t>(line), 3, 9, 1});
  Bytes longer = every_row;
  longer.insert(longer.end(), {5, 4, 4, 1});
  bool stopped = false;
  EXPECT_EQ(kept_of(longer, {4 * 191}, &stopped), every_row);
  EXPECT_TRUE(stopped);

  EXPECT_EQ(kept_of({10, 3, 9, 6, 191, 2, 2, 2, 11, 3, 9}, {2}, &stopped), (Bytes{10, 3, 9, 6}));
  EXPECT_TRUE(stopped);
  EXPECT_EQ(kept_of({10, 3, 9, 0, 10, 3, 8, 0, 12}, {3}, &stopped), (Bytes{10, 3, 9, 0}));
  EXPECT_FALSE(stopped);  // the end of the file, not of the table
}

TEST(LineChanges, ALastRecordCutShortCountsOnlyWithItsColour) {
  EXPECT_EQ(kept_of({10, 3, 9}, {1}), (Bytes{10, 3, 9, 9}));
  EXPECT_EQ(kept_of({10, 3}, {1}), Bytes{});
  EXPECT_EQ(kept_of({10}, {1}), Bytes{});
}

}  // namespace
