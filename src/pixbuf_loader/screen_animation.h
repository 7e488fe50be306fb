#pragma once
// A decoded screen as gdk-pixbuf sees an animation: pictures shown in turn
// for ever, each for its time, or one still picture for a screen that does
// not flash. Its iterator is never on a frame still loading: handed to a
// loader's `prepared` as soon as the screen is complete, it tells a reader
// that stops at a loaded frame (gdk_pixbuf_new_from_file_at_scale, and the
// thumbnailers built on it) that nothing further in the file can change
// what it has.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <vector>

struct AnimationFrame {
  GdkPixbuf* picture;
  std::int64_t milliseconds;  // how long it is shown
};

// A new animation holding references to the frames' pictures (at least
// one, all of one size); the first is its still image. One frame is a
// still picture, whatever its time.
GdkPixbufAnimation* screen_animation_new(const std::vector<AnimationFrame>& frames);
