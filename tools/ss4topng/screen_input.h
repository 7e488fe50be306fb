#pragma once
// A screen file read for ss4topng: opened by its name's bytes, any mode,
// in pieces through the SAM formats' reader, in bounded time and memory
// whatever is under the name. Only regular files are read (a FIFO or a
// device is refused before anything is read, and the open never waits for
// a FIFO's writer); reading stops once nothing further can change the
// picture, holes in sparse files are passed over unread, and nothing past
// 2 GiB is read.
#include "sam/sam_screen.h"

#include <string>

// Reads the file `name` and decodes it into `screen`; `forced_mode` is the
// user's mode (1-4), 0 when not given. Answers an empty text on success,
// else one line (without the file's name) saying why there is no screen:
// the viewer's words for a missing file, "is a folder", "cannot read:
// REASON", another format's name, or why the bytes are no SAM screen.
std::string read_screen_input(const std::string& name, int forced_mode, SamScreen& screen);
