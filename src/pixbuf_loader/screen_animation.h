#pragma once
// A finished screen as gdk-pixbuf sees an animation: one static picture
// whose iterator is never on a frame still loading. Handed to a loader's
// `prepared` as soon as the picture is complete, it tells a reader that
// stops at a loaded frame (gdk_pixbuf_new_from_file_at_scale, and the
// thumbnailers built on it) that nothing further in the file can change
// what it has. Programs that show animations take it for a still picture.
#include <gdk-pixbuf/gdk-pixbuf.h>

// A new animation holding a reference to `picture`.
GdkPixbufAnimation* screen_animation_new(GdkPixbuf* picture);
