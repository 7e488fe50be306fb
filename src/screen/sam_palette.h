#pragma once
// The viewer's palette: the SAM Coupé's 128 colours (sam_colour.h) in the
// viewer state.
#include "sam/sam_colour.h"
#include "screen/viewer_state.h"

// Fills the viewer's palette with all 128 colours and sets the look-up table
// to the identity.
void build_palette();
