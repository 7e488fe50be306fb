#pragma once
// SAM screen mode 4 files: 24,576 bytes of picture (192 rows of 128 bytes,
// two 4-bit pixels a byte, high nibble first), 16 look-up bytes, 24 unused
// bytes, then 4-byte line-change records up to a line byte of 191 or more or
// the end of the file.
#include <cstdint>
#include <string_view>

constexpr std::int32_t SCREEN_BYTES = 24576;
constexpr std::int32_t CLUT_OFFSET = 0x6000;
constexpr std::int32_t LINE_TABLE_OFFSET = 0x6028;
constexpr std::uint8_t LINE_TABLE_END = 191;
// The bytes before the line-change table plus one byte of it.
constexpr std::int32_t MIN_SS4_SIZE = 24617;

// How reading a screen file ended.
enum class ScreenReadStatus {
  loaded,
  bad_size,       // missing, or too small, or 2 GiB and more, or it shrank while read
  folder,
  unreadable,     // the system refused to open or read it: see `error`
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

// Reads the named file into the viewer state and renders it. A file that
// cannot be used brings up the "Wrong size" box and changes nothing.
void load_screen(std::u16string_view name);

// Start-up and shutdown of the viewer's file buffer (a one-byte memory block
// at first).
void init_screen_state();
void release_screen_state();
