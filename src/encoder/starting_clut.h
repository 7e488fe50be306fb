#pragma once
// The look-up table a screen starts with.
#include "encoder/colour_bins.h"

namespace encoder {

// The 16 palette colours with the least total ΔE over the binned pixels:
// picked greedily, then improved by swapping one entry at a time while that
// lowers the error. Fewer colours than entries are all taken, the spare
// entries repeating the first so that nothing else can be shown.
Clut starting_clut(const ColourBins& bins);

}  // namespace encoder
