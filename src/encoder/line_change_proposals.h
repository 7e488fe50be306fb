#pragma once
// Proposing line changes from binned colours: for a row, the changes of one
// entry that most lower the error of that row and the rows just below it,
// under the table the rows above left. Quick enough to weigh all 16 x 128
// changes on every row; the dithered result then decides among the few
// proposed (seen_line_changes.h).
#include "encoder/colour_bins.h"
#include "encoder/screen_dither.h"

#include <vector>

namespace encoder {

struct LineChange {
  int row = 0;  // the first row that shows it (its record's line byte is row - 1)
  int entry = 0;
  int colour = 0;
  double gain = 0;  // the error it took away where it was chosen
};

using RowBins = std::vector<ColourBins>;  // one set of bins a row

// Up to `count` changes for row `y`, best first, none of them leaving an
// entry as it was.
std::vector<LineChange> propose_line_changes(const RowBins& rows, int y, const Clut& clut, int count);

}  // namespace encoder
