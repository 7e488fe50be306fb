#pragma once
// Which build of the loader module this is. gdk-pixbuf picks a module by a
// file's type and never tells it the file's name, and a mode 3 screen's
// bytes are a mode 4 screen's: so the mode 3 files' type has a module of
// its own, built with TESSELON_NAMED_MODE=3, and the other module (0) finds
// the mode from a header, else from the length.
#include <glib.h>

#ifndef TESSELON_NAMED_MODE
#define TESSELON_NAMED_MODE 0
#endif
constexpr int NAMED_MODE = TESSELON_NAMED_MODE;

// GObject type names are one set per process, and both modules can be
// loaded in one: each registers its types under names of its own.
#define MODULE_TYPE_NAME(name) name "Mode" G_STRINGIFY(TESSELON_NAMED_MODE)
