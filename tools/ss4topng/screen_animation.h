#pragma once
// A screen's flashing as an animated GIF: the distinct pictures of one whole
// flash cycle (palette phases, and in modes 1 and 2 attribute flash), each
// shown for as long as the machine shows it, to the nearest hundredth of a
// second with the cycle exact, looping forever; a screen that does not
// flash is one still frame. Every frame is the picture's size. Below the
// exact renders each pixel takes the colour at the centre of the area it
// covers, so that the frames keep the SAM colours a GIF's table can hold.
#include "picture_size.h"

#include "sam/sam_screen.h"

#include <string>

// Writes the animation to `path` (the name's bytes) as every output is
// written. False on failure (native::last_file_error() tells why when the
// system refused), and then nothing is left behind.
bool write_screen_animation(const std::string& path, const SamScreen& screen, const PictureSize& size);
