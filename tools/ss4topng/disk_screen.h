#pragma once
// A screen on a disk decoded as its file would be, taken off the disk with
// its 9-byte header: through the SAM formats' reader, so that it gives the
// very picture the file gives, in the mode the directory says (or the
// user's). A ZX Spectrum screen is decoded as the SAM shows it, in mode 1
// with the colours BASIC starts with.
#include "sam/disk_directory.h"
#include "sam/sam_screen.h"

#include <string>

// Decodes `file` (a screen of any kind on `disk`) into `screen`; `forced_mode`
// is the user's mode, 0 when not given. Answers an empty text on success,
// else one line (without the disk's or the file's name) saying why not:
// "broken: WHY", "compressed, skipped", or why its bytes are no screen.
std::string read_disk_screen(const DiskImage& disk, const DiskFile& file, int forced_mode, SamScreen& screen);
