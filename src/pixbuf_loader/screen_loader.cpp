// The gdk-pixbuf loader module for SAM screens of every mode: whole files
// through `load` (the main frame) and `load_animation`, and pieces through
// begin_load / load_increment / stop_load, all read by the SAM formats'
// reader, so every GTK program shows a screen with the pixels ss4topng -s 1
// gives, and a flashing screen as an animation. None reads further than the
// picture needs, nor past 2 GiB, whatever it is handed.
#include "flash_animation.h"
#include "named_mode.h"
#include "screen_pixbuf.h"

#include "sam/screen_reader.h"

#include <gdk-pixbuf/gdk-pixbuf-io.h>
#include <gmodule.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace {

// The file is read this much at a time.
constexpr std::size_t TABLE_PIECE = 64 * 1024;
// A stream whose size is unknown is read no further than the first size
// the size rule refuses: it is refused there as a file of that size is.
constexpr std::int64_t STREAM_LIMIT = MOST_SCREEN_BYTES + 1;

struct FileLoad {
  ScreenReader incoming{NAMED_MODE};
  SamScreen screen;
  std::array<std::uint8_t, TABLE_PIECE> piece;
};

struct IncrementalLoad {
  GdkPixbufModuleSizeFunc size_func = nullptr;
  GdkPixbufModulePreparedFunc prepared = nullptr;
  GdkPixbufModuleUpdatedFunc updated = nullptr;
  gpointer user_data = nullptr;
  ScreenReader incoming{NAMED_MODE};
  SamScreen screen;
  bool size_told = false;
  bool no_pixels_wanted = false;  // only the size was asked for
  bool announced = false;         // the picture has been handed over
};

void out_of_memory(GError** error) {
  g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                      "not enough memory for a SAM screen");
}

// The size of the rest of a regular file, or -1 for a stream whose size is
// only known at its end (a pipe, a device).
std::int64_t size_ahead(FILE* f) {
  struct stat st;
  if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size - std::max<off_t>(ftello(f), 0);
}

// Up to `most` bytes of what has arrived, waiting only when nothing has:
// fread would wait for a whole piece, which a pipe left open never sends.
// What the FILE has read ahead comes first (glibc keeps it between the
// pointers its getc_unlocked reads), then the descriptor, read directly.
// Answers 0 at the end, -1 on an error.
ssize_t read_some(FILE* f, std::uint8_t* into, std::size_t most) {
  if (std::size_t ahead = f->_IO_read_end - f->_IO_read_ptr) return std::fread(into, 1, std::min(ahead, most), f);
  ssize_t got;
  do {
    got = read(fileno(f), into, most);
  } while (got < 0 && errno == EINTR);
  return got;
}

// Reads only what the picture needs: the fixed part, then the table a piece
// at a time until nothing further can change the picture, leaving a regular
// file right after the last byte needed. A stream is taken once its picture
// is complete, or refused once 2 GiB of it have arrived. Null, with `error`
// set, for a file that is no screen.
std::unique_ptr<FileLoad> read_screen(FILE* f, GError** error) {
  const std::int64_t size = size_ahead(f);
  if (size >= STREAM_LIMIT) {
    refuse_file(screen_kind({}, size, NAMED_MODE, 0).why, error);
    return nullptr;
  }
  std::unique_ptr<FileLoad> file(new (std::nothrow) FileLoad);
  if (!file) {
    out_of_memory(error);
    return nullptr;
  }
  ScreenReader& incoming = file->incoming;
  for (std::int64_t left = size >= 0 ? size : STREAM_LIMIT; left > 0 && !incoming.complete();) {
    std::int64_t want = std::min<std::int64_t>(TABLE_PIECE, left);
    ssize_t got = size >= 0 ? std::fread(file->piece.data(), 1, static_cast<std::size_t>(want), f)
                            : read_some(f, file->piece.data(), static_cast<std::size_t>(want));
    if (got < 0 || std::ferror(f)) {
      g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_FAILED, "cannot read the SAM screen: %s",
                  g_strerror(errno));
      return nullptr;
    }
    std::size_t used = incoming.feed(file->piece.data(), static_cast<std::size_t>(got));
    left -= got;
    if (size >= 0 && incoming.complete() && used < static_cast<std::size_t>(got))
      fseeko(f, -static_cast<off_t>(got - used), SEEK_CUR);
    if (size < 0 && got == 0) break;
    if (size >= 0 && got < want) {
      g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE,
                  "not a SAM screen: it ended after %lld of its %lld bytes", static_cast<long long>(incoming.size()),
                  static_cast<long long>(size));
      return nullptr;
    }
  }
  if (size < 0 && incoming.size() >= STREAM_LIMIT) {
    refuse_file(screen_kind({}, incoming.size(), NAMED_MODE, 0).why, error);
    return nullptr;
  }
  KindVerdict verdict = incoming.finish(file->screen);
  if (!verdict.kind) {
    refuse_file(verdict.why, error);
    return nullptr;
  }
  return file;
}

GdkPixbuf* load(FILE* f, GError** error) {
  std::unique_ptr<FileLoad> file = read_screen(f, error);
  return file ? screen_pixbuf(file->screen, 0, 0, error) : nullptr;
}

// Without it gdk_pixbuf_animation_new_from_file would feed the whole file
// in pieces, however long.
GdkPixbufAnimation* load_animation(FILE* f, GError** error) {
  std::unique_ptr<FileLoad> file = read_screen(f, error);
  return file ? flash_animation(file->screen, error) : nullptr;
}

gpointer begin_load(GdkPixbufModuleSizeFunc size_func, GdkPixbufModulePreparedFunc prepared,
                    GdkPixbufModuleUpdatedFunc updated, gpointer user_data, GError** error) {
  auto* load = new (std::nothrow) IncrementalLoad;
  if (!load) {
    out_of_memory(error);
    return nullptr;
  }
  load->size_func = size_func;
  load->prepared = prepared;
  load->updated = updated;
  load->user_data = user_data;
  return load;
}

void tell_size(IncrementalLoad& load, int mode) {
  load.size_told = true;
  int width = picture_width(mode);
  int height = mode == 3 ? 2 * SAM_ROWS : SAM_ROWS;
  if (load.size_func) load.size_func(&width, &height, load.user_data);
  load.no_pixels_wanted = width <= 0 || height <= 0;
}

// Decodes the screen and hands it over: prepared with its main frame and its
// animation, then updated whole. The animation says every frame is whole,
// so that a caller can stop reading.
bool announce(IncrementalLoad& load, GError** error) {
  KindVerdict verdict = load.incoming.finish(load.screen);  // complete or ended: the rest only counts
  if (!verdict.kind) {
    refuse_file(verdict.why, error);
    return false;
  }
  if (!load.size_told) tell_size(load, verdict.kind->mode);
  if (load.no_pixels_wanted) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_FAILED, "a SAM screen of no pixels was asked for");
    return false;
  }
  GdkPixbufAnimation* animation = flash_animation(load.screen, error);
  if (!animation) return false;
  GdkPixbuf* pixbuf = gdk_pixbuf_animation_get_static_image(animation);
  // What gdk-pixbuf notes for a picture handed over without an animation
  // (thumbnailers record it as the image's size).
  const int width = shown_width(load.screen), height = shown_height(load.screen);
  gdk_pixbuf_set_option(pixbuf, "original-width", std::to_string(width).c_str());
  gdk_pixbuf_set_option(pixbuf, "original-height", std::to_string(height).c_str());
  if (load.prepared) load.prepared(pixbuf, animation, load.user_data);
  if (load.updated) load.updated(pixbuf, 0, 0, width, height, load.user_data);
  g_object_unref(animation);
  load.announced = true;
  return true;
}

gboolean load_increment(gpointer context, const guchar* bytes, guint count, GError** error) {
  auto* load = static_cast<IncrementalLoad*>(context);
  load->incoming.feed(bytes, count);
  // The only way to stop a caller that reads on (to the end of /dev/zero).
  if (load->incoming.size() >= STREAM_LIMIT) {
    refuse_file(screen_kind({}, load->incoming.size(), NAMED_MODE, 0).why, error);
    return FALSE;
  }
  // The size is told once the mode is settled; a caller that wants no more
  // than that (a file's information) can stop there.
  if (int mode = load->incoming.settled_mode(); mode && !load->size_told) tell_size(*load, mode);
  // Complete means the mode is settled, so the size was told.
  if (load->incoming.complete() && !load->announced && !load->no_pixels_wanted) return announce(*load, error);
  return TRUE;
}

// A picture not complete before the end is made, and announced, only once
// the whole file has arrived and proved a screen: a file that is not one
// never shows a partial picture.
gboolean stop_load(gpointer context, GError** error) {
  std::unique_ptr<IncrementalLoad> load(static_cast<IncrementalLoad*>(context));
  if (load->announced) return TRUE;
  if (load->no_pixels_wanted) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_FAILED, "a SAM screen of no pixels was asked for");
    return FALSE;
  }
  return announce(*load, error);
}

}  // namespace

extern "C" {

// The module registers types (screen_animation.cpp), which must outlive
// any one use of it.
G_MODULE_EXPORT const gchar* g_module_check_init(GModule* module) {
  g_module_make_resident(module);
  return nullptr;
}

G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module) {
  module->load = load;
  module->load_animation = load_animation;
  module->begin_load = begin_load;
  module->load_increment = load_increment;
  module->stop_load = stop_load;
}

// Two builds (named_mode.h): the mode 3 files' module takes them by their
// type alone; the other takes every other screen's type, and files that
// start with a SCREEN$ header.
static_assert(NAMED_MODE == 0 || NAMED_MODE == 3);

G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info) {
  // The header's type 20 and, after the length, its start 0x8000 (bytes 3
  // and 4): three bytes are a hint, not proof. A prefix is a C string, so
  // the mask asks for the zero byte ('z'); 'x' is any byte.
  static GdkPixbufModulePattern header[] = {{const_cast<char*>("\x14xxx\x80"), const_cast<char*>(" xxz "), 50},
                                            {nullptr, nullptr, 0}};
  // A mode 3 screen carries no signature: the list is just its end.
  static GdkPixbufModulePattern none[] = {{nullptr, nullptr, 0}};
  // image/x-sam-ss4 is an alias of image/x-sam-screen (data/tesselon.xml).
  static const gchar* mime_types[] = {"image/x-sam-screen",       "image/x-sam-ss4",         "image/x-sam-screen-mode1",
                                      "image/x-sam-screen-mode2", "image/x-sam-screen-file", nullptr};
  static const gchar* extensions[] = {"ss4", "ss1", "ss2", nullptr};
  static const gchar* mode3_mime_types[] = {"image/x-sam-screen-mode3", nullptr};
  static const gchar* mode3_extensions[] = {"ss3", nullptr};
  const bool mode3 = NAMED_MODE == 3;
  info->name = const_cast<gchar*>(mode3 ? "ss3" : "ss4");
  info->signature = mode3 ? none : header;
  info->domain = nullptr;
  // Plain ASCII: loader caches are written in whatever locale a package's
  // trigger runs in (often C), which turns any other letter into "?".
  info->description = const_cast<gchar*>(mode3 ? "SAM Coupe screen, mode 3" : "SAM Coupe screen");
  info->mime_types = const_cast<gchar**>(mode3 ? mode3_mime_types : mime_types);
  info->extensions = const_cast<gchar**>(mode3 ? mode3_extensions : extensions);
  info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
  info->license = const_cast<gchar*>("MIT");
}

}  // extern "C"
