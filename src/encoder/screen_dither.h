#pragma once
// Each pixel's look-up entry, under the table in force on its row.
#include "encoder/colour_space.h"
#include "encoder/screen_encoder.h"

#include <vector>

namespace encoder {

// `lab` holds the picture's pixels in Lab (256 x 192, top row first);
// `tables` the table of each row. Entries 0-15, top row first.
//  - none: the entry nearest in Lab;
//  - ordered: an 8 x 8 Bayer threshold added in gamma-encoded sRGB, which
//    spaces steps about as evenly as the eye does, then the nearest;
//  - diffusion: Floyd–Steinberg in Lab, serpentine, the carried error held
//    to about a palette step. In Lab each dot stays near the colour it
//    stands for; in linear light a poor table makes dots of far colours
//    that average right but look (and score) much worse.
std::vector<std::uint8_t> dither_screen(const RgbPicture& picture, const std::vector<Lab>& lab,
                                        const std::vector<Clut>& tables, Dither mode);

}  // namespace encoder
