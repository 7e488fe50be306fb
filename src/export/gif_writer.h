#pragma once
// The GIF writer, through giflib: one global colour table, frames of
// palette indices each covering a rectangle of the picture and drawn over
// the frames before it (so that a later frame need hold only what changed),
// each shown for its delay, and the loop-forever extension for an
// animation. Written as every output is: atomically, to the name's bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct GifFrame {
  int left = 0;  // the rectangle within the picture
  int top = 0;
  int width = 0;
  int height = 0;
  const std::uint8_t* indices = nullptr;  // the rectangle's rows, top first
  std::ptrdiff_t stride = 0;              // bytes from one row to the next
  int delay = 0;                          // hundredths of a second
  int transparent = -1;                   // the index that leaves the pixel below showing; -1 for none
};

struct GifPicture {
  int width = 0;
  int height = 0;
  std::span<const std::uint32_t> colours;  // 0x00BBGGRR, 1 to 256 of them; the table is padded to a power of two
  bool loop_forever = false;
};

// 1 on success; 0 on failure, and then no file is left behind, what was
// under the name is as it was, and native::last_file_error() tells why
// when the system refused. A frame with the rectangle and indices of an
// earlier one is written as the bytes that one got, without compressing it
// again (a flashing screen's cycle repeats a few pictures many times).
std::int32_t write_gif_named(const std::string& path, const GifPicture& picture, std::span<const GifFrame> frames);
