#pragma once
// The GIF writer, through giflib: one global colour table, frames of
// palette indices each covering a rectangle of the picture and drawn over
// the frames before it, or over what was there before an overlay (so that a
// later frame need hold only what changed),
// each shown for its delay, and the loop-forever extension for an
// animation. Written as every output is: atomically, to the name's bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct GifFrame {
  int left = 0;  // the rectangle of the picture the frame covers
  int top = 0;
  int width = 0;
  int height = 0;
  // The whole picture's indices, rows `stride` bytes apart, top row first;
  // the frame takes its rectangle. Where `shown` (the picture on show
  // before, laid out alike) has the same index, the frame leaves the pixel
  // as it is: it writes `transparent` there.
  const std::uint8_t* indices = nullptr;
  const std::uint8_t* shown = nullptr;
  std::ptrdiff_t stride = 0;
  int delay = 0;         // hundredths of a second
  int transparent = -1;  // the index that leaves the pixel below showing; -1 for none
  // Once shown, the rectangle goes back to what it showed before the frame,
  // so that the next frame is drawn over that: overlays of one picture.
  bool restore = false;
};

struct GifPicture {
  int width = 0;
  int height = 0;
  std::span<const std::uint32_t> colours;  // 0x00BBGGRR, 1 to 256 of them; the table is padded to a power of two
  bool loop_forever = false;
};

// 1 on success; 0 on failure, and then no file is left behind, what was
// under the name is as it was, and native::last_file_error() tells why
// when the system refused. A frame that repeats an earlier one (the same
// rectangle of the same pictures) is written as the bytes that one got,
// without compressing it again: a flashing screen's cycle shows a few
// changes many times.
std::int32_t write_gif_named(const std::string& path, const GifPicture& picture, std::span<const GifFrame> frames);
