#pragma once
// A decoded screen as it changes on the machine: the picture of each step
// of one flash cycle (sam/flash_cycle.h) for as long as the step lasts,
// steps that look alike in a row shown as one, the main frame first and
// the cycle repeating for ever. A screen that does not flash, or whose
// flashing changes no pixel, is one still picture.
#include "sam/sam_screen.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

// A new animation, or null with `error` set when there is no memory for
// its pictures.
GdkPixbufAnimation* flash_animation(const SamScreen& screen, GError** error);
