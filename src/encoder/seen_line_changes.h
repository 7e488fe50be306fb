#pragma once
// Choosing the line changes for the error seen at viewing distance, with the
// dithering in use: top down, each row tries the few changes the binned
// colours propose, and no change, by dithering the rows ahead from where the
// rows above left off and blurring them as the eye does; the one seen with
// the least error on those rows is kept. Binned colours alone cannot tell
// what dithering will make of a table, and often mislead (a change that
// brings a wanted colour can take away one that dithering was mixing with).
#include "encoder/line_change_proposals.h"
#include "encoder/screen_dither.h"
#include "encoder/seen_error.h"

#include <vector>

namespace encoder {

// A screen's line changes, each pixel's entry under them, and the total
// seen error of what that shows.
struct ScreenPlan {
  std::vector<LineChange> changes;
  std::vector<std::uint8_t> entries;
  double seen = 0;
};

// What plans are made with: the dithering, and the seen error, where each
// plan shows its rows in place of the last plan's.
struct SeenSearch {
  const RowDither& dither;
  SeenRows& seen;
  // Where proposals come from: binned colours of each row, in one or more
  // ways of binning them.
  std::vector<const RowBins*> proposers;
};

// The screen dithered under `start` and `changes` (by row), and scored.
ScreenPlan plan_screen(const SeenSearch& search, const Clut& start, std::vector<LineChange> changes);

// The changes chosen, at most `max_changes` of them, and the screen they
// make. When more would help, those kept are the ones that gained most or
// as many spread evenly down the screen, whichever is seen with less error.
ScreenPlan search_line_changes(const SeenSearch& search, const Clut& start, int max_changes);

}  // namespace encoder
