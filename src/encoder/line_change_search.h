#pragma once
// Choosing the line changes: top down, for each row the one change of one
// entry that most lowers the error of that row and the rows just below it,
// under the table the rows above left.
#include "encoder/colour_bins.h"

#include <vector>

namespace encoder {

constexpr int SCREEN_ROWS = 192;

struct LineChange {
  int row = 0;  // the first row that shows it (its record's line byte is row - 1)
  int entry = 0;
  int colour = 0;
  double gain = 0;  // the error it took away where it was chosen
};

using RowBins = std::vector<ColourBins>;  // one set of bins a row

// The chosen changes, by row, at most `max_changes` of them (those with the
// largest gains when more helped).
std::vector<LineChange> choose_line_changes(const RowBins& rows, const Clut& start, int max_changes);

// The table in force on each row once `changes` (by row) are applied to
// `start`; changes that set an entry to what it holds already are dropped.
std::vector<Clut> row_tables(const Clut& start, std::vector<LineChange>& changes);

}  // namespace encoder
