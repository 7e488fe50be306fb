#pragma once
// Reading a screen file into the viewer state, a piece at a time, keeping
// only what the picture can use.
#include "sam/screen_decoder.h"

#include <cstdint>
#include <string_view>

// How reading a screen file ended.
enum class ScreenReadStatus {
  loaded,
  bad_size,  // missing, or too small, or 2 GiB and more, or it shrank while read
  folder,
  unreadable,  // the system refused to open or read it: see `error`
  out_of_memory,
};
struct ScreenRead {
  ScreenReadStatus status;
  int error;  // the system's error number when unreadable, else 0
};

// Reads the named file into the viewer state, without rendering it or
// telling anyone. Only what the picture can use is kept, read in pieces, so
// memory stays bounded whatever the file's size. Anything but `loaded`
// leaves the screen loaded before, if any, as it was.
ScreenRead read_screen(std::u16string_view name);

// Start-up and shutdown of the viewer's file buffer (a one-byte memory block
// at first).
void init_screen_state();
void release_screen_state();
