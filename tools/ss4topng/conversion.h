#pragma once
// Converting screen files in this process: read through the SAM formats,
// rendered, and written as a PNG or an animated GIF, with names as the
// bytes they are throughout. No window, no viewer state: only the general
// heap, which the compact PNG writer takes its buffers from.
#include "output_names.h"
#include "picture_size.h"

#include "sam/sam_screen.h"

#include <string>

// How the PNG stores the picture: as a palette of the colours it uses (small
// and quick), or as the RGB rows the viewer saves, byte for byte.
enum class PngStyle { compact, rgb };

struct ConverterSettings {
  SizeChoice size;
  PngStyle style = PngStyle::compact;
  int forced_mode = 0;   // --mode; 0 when not given
  bool animate = false;  // the GIF of the flashing instead of the PNG
};

// Once per process, before any conversion; false when it cannot start.
bool start_converter();
void stop_converter();

// Converts one screen file; answers an empty text on success, else the one-line
// message (without a line feed) saying what failed.
std::string convert(const Conversion& conversion, const ConverterSettings& settings);

// Writes the decoded `screen` to the conversion's output, as `settings` say,
// unless the conversion is refused; answers as convert() does. Screens from
// any source go through here, so that they give the same files.
std::string write_screen(const Conversion& conversion, const SamScreen& screen, const ConverterSettings& settings);
