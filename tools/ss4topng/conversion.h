#pragma once
// Converting screen files in this process, through the viewer's own
// reading, painting and saving, without any window. The runtime has
// process-wide state: one converter per process, started once.
#include "output_names.h"
#include "picture_size.h"

#include <string>

// How the PNG stores the picture: as a palette of the colours it uses (small
// and quick), or as the RGB rows the viewer saves, byte for byte.
enum class PngStyle { compact, rgb };

// Starts the picture half of the runtime, without a display, to write
// pictures of the given size. False when it cannot start.
bool start_converter(const PictureSize& size, PngStyle style = PngStyle::compact);
// The same at a scale (1 or 2).
bool start_converter(int scale, PngStyle style = PngStyle::compact);
void stop_converter();

// Converts one file; answers an empty text on success, else the one-line
// message (without a line feed) saying what failed.
std::string convert(const Conversion& conversion);
