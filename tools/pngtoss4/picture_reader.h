#pragma once
// Reading a picture in any format gdk-pixbuf's installed loaders read (JPEG,
// PNG, GIF, TIFF, WebP, BMP and the rest), in bounded time and memory: the
// file is fed to the loader a piece at a time, a picture larger than the
// encoder takes is refused as soon as its size is known and before its
// pixels take memory, and a large JPEG is decoded at the smallest of
// libjpeg's own reduced sizes (1/2, 1/4, 1/8) that still holds what the
// screen shows of it. The pixels stay in the loader's buffer; the view reads
// them there, turned as the camera recorded.
#include "encoder/fit_to_screen.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <memory>
#include <string>

// The largest picture taken: 64 megapixels, 256 MiB with transparency.
constexpr std::uint64_t MAX_PICTURE_PIXELS = std::uint64_t{1} << 26;

enum class PictureReadStatus {
  read,
  missing,  // nothing under the name, or nothing with a size (a FIFO, a device)
  folder,
  unreadable,     // the system refused to open or read it: see `error`
  out_of_memory,  // the loader could not have the memory it asked for
  not_picture,    // no loader takes it, or the loader refused it: `detail` says why
  cut_short,      // the file ends before the picture does
  too_large,      // `detail`: "W x H pixels", or the file's size
};

// Drops a reference to any GObject (a pixbuf, a loader).
struct ObjectRelease {
  void operator()(gpointer object) const { g_object_unref(object); }
};

struct PictureRead {
  PictureReadStatus status = PictureReadStatus::unreadable;
  int error = 0;
  std::string detail;
  std::unique_ptr<GdkPixbuf, ObjectRelease> pixbuf;  // owns the view's pixels
  PictureView view;
};

// A read that failed this way.
PictureRead refused(PictureReadStatus status, std::string detail = {}, int error = 0);
// The read of a file that could not be read on (its status is not open).
class PictureFile;
PictureRead file_refusal(const PictureFile& file);

// `name` is used as the bytes it is. `crop` is how the picture will be
// fitted, which decides how small a JPEG may be decoded.
PictureRead read_picture(const std::string& name, bool crop);

// The reduction libjpeg is asked for (1, 2, 4 or 8) for a JPEG of this size
// as stored, whichever way round it turns out to be seen: the largest that
// never leaves fewer pixels than the screen takes from it.
int jpeg_reduction(int width, int height, bool crop);
