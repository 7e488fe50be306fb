#include "picture_reader.h"

#include "picture_file.h"
#include "screen_picture.h"

#include "sam/screen_kind.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t PIECE = 64 * 1024;
// What gdk-pixbuf looks at to pick a loader.
constexpr std::size_t SNIFF_BYTES = 4096;
// libpng refuses a longer side as "Invalid IHDR data" before the loader
// hears of the size, so the PNG header is read here first.
constexpr std::uint64_t PNG_SIDE_LIMIT = 1000000;

std::string pixels_text(std::uint64_t width, std::uint64_t height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

// What the loader has said so far.
struct Load {
  bool crop = false;
  std::string too_large;  // "W x H pixels" once refused for its size
  bool closing = false;
  bool prepared = false;
  bool prepared_at_close = false;
  std::vector<bool> rows_seen;  // rows the file delivered, one a row of the picture
  std::size_t rows_delivered = 0;
};

void on_size_prepared(GdkPixbufLoader* loader, int width, int height, gpointer data) {
  Load& load = *static_cast<Load*>(data);
  if (width <= 0 || height <= 0) return;
  if (std::uint64_t{static_cast<unsigned>(width)} * static_cast<unsigned>(height) > MAX_PICTURE_PIXELS) {
    load.too_large = pixels_text(static_cast<unsigned>(width), static_cast<unsigned>(height));
    // No size at all: every loader stops there, before taking pixel memory.
    gdk_pixbuf_loader_set_size(loader, 0, 0);
    return;
  }
  GdkPixbufFormat* format = gdk_pixbuf_loader_get_format(loader);
  gchar* name = format ? gdk_pixbuf_format_get_name(format) : nullptr;
  const bool jpeg = name && std::strcmp(name, "jpeg") == 0;
  g_free(name);
  if (!jpeg) return;
  // Exactly the size libjpeg makes at 1/n (rounded up): the JPEG loader then
  // picks that reduction itself, and gdk-pixbuf has nothing left to scale.
  const int n = jpeg_reduction(width, height, load.crop);
  if (n > 1) gdk_pixbuf_loader_set_size(loader, (width + n - 1) / n, (height + n - 1) / n);
}

void on_area_prepared(GdkPixbufLoader* loader, gpointer data) {
  Load& load = *static_cast<Load*>(data);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
  load.prepared = pixbuf != nullptr;
  load.prepared_at_close = load.closing;
  load.rows_seen.assign(pixbuf ? static_cast<std::size_t>(gdk_pixbuf_get_height(pixbuf)) : 0, false);
}

void on_area_updated(GdkPixbufLoader*, int, int y, int, int height, gpointer data) {
  Load& load = *static_cast<Load*>(data);
  // A loader that decodes as the data comes may make up the rest when
  // closed (JPEG's grey): for it, only rows delivered before count. One
  // that decodes only when closed (TIFF's) delivers everything then.
  if (load.closing && !load.prepared_at_close) return;
  const long long end = std::min<long long>(static_cast<long long>(y) + height, load.rows_seen.size());
  for (long long row = std::max(y, 0); row < end; ++row) {
    if (load.rows_seen[static_cast<std::size_t>(row)]) continue;
    load.rows_seen[static_cast<std::size_t>(row)] = true;
    ++load.rows_delivered;
  }
}

std::string png_beyond_limits(const std::uint8_t* bytes, std::size_t size) {
  static const std::uint8_t SIGNATURE[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size < 24 || std::memcmp(bytes, SIGNATURE, 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0) return {};
  auto be32 = [&](std::size_t at) {
    return std::uint64_t{bytes[at]} << 24 | std::uint64_t{bytes[at + 1]} << 16 | std::uint64_t{bytes[at + 2]} << 8 |
           bytes[at + 3];
  };
  const std::uint64_t width = be32(16), height = be32(20);
  if (width > PNG_SIDE_LIMIT || height > PNG_SIDE_LIMIT || width * height > MAX_PICTURE_PIXELS)
    return pixels_text(width, height);
  return {};
}

struct ErrorRelease {
  void operator()(GError* error) const { g_error_free(error); }
};
using HeldError = std::unique_ptr<GError, ErrorRelease>;

bool is_error(const HeldError& error, int code) {
  return error && error->domain == GDK_PIXBUF_ERROR && error->code == code;
}

int orientation_of(GdkPixbuf* pixbuf) {
  const gchar* text = gdk_pixbuf_get_option(pixbuf, "orientation");
  int orientation = 1;
  if (text) std::from_chars(text, text + std::strlen(text), orientation);
  return orientation;
}

// Which loader takes the file, from its first bytes, as gdk-pixbuf picks
// one. Asked first, on its own, so that the loader that reads the file has
// its format from the start: one that waits for enough bytes to pick it
// does everything at the close for a small file, when a loader that makes
// up what never came (JPEG's, WebP's) can no longer be told from one that
// decodes only then (TIFF's).
struct Format {
  std::string name;   // empty when no loader takes it
  std::string error;  // then what gdk-pixbuf said
};

void stop_at_size(GdkPixbufLoader* loader, int, int, gpointer) { gdk_pixbuf_loader_set_size(loader, 0, 0); }

Format format_of(const std::uint8_t* bytes, std::size_t size) {
  std::unique_ptr<GdkPixbufLoader, ObjectRelease> probe(gdk_pixbuf_loader_new());
  g_signal_connect(probe.get(), "size-prepared", G_CALLBACK(stop_at_size), nullptr);
  if (size > 0) gdk_pixbuf_loader_write(probe.get(), bytes, size, nullptr);
  GError* raw = nullptr;
  gdk_pixbuf_loader_close(probe.get(), &raw);
  HeldError error(raw);
  Format format;
  if (GdkPixbufFormat* found = gdk_pixbuf_loader_get_format(probe.get())) {
    gchar* name = gdk_pixbuf_format_get_name(found);
    format.name = name;
    g_free(name);
  } else {
    format.error = error ? error->message : "no loader takes it";
  }
  return format;
}

}  // namespace

PictureRead refused(PictureReadStatus status, std::string detail, int error) {
  PictureRead result;
  result.status = status;
  result.detail = std::move(detail);
  result.error = error;
  return result;
}

PictureRead file_refusal(const PictureFile& file) {
  switch (file.status()) {
    case PictureFileStatus::missing: return refused(PictureReadStatus::missing);
    case PictureFileStatus::folder: return refused(PictureReadStatus::folder);
    case PictureFileStatus::too_large:
      return refused(PictureReadStatus::too_large,
                     "more than " + std::to_string(MAX_PICTURE_FILE_BYTES >> 20) + " MiB");
    default: return refused(PictureReadStatus::unreadable, {}, file.error());
  }
}

int jpeg_reduction(int width, int height, bool crop) {
  // The orientation is not known until the pixels are: either way round.
  const double scale = std::max(screen_scale(width, height, crop), screen_scale(height, width, crop));
  int reduction = 8;
  while (reduction > 1 && reduction * scale > 1.0) reduction /= 2;
  return reduction;
}

PictureRead read_picture(const std::string& name, bool crop) {
  if (int mode = mode_of_name(name)) return read_screen_picture(name, mode);
  PictureFile file(name);
  std::vector<std::uint8_t> piece(PIECE);
  std::size_t got = file.read(piece.data(), piece.size());
  if (file.status() != PictureFileStatus::open) return file_refusal(file);
  std::string too_large = png_beyond_limits(piece.data(), got);
  if (!too_large.empty()) return refused(PictureReadStatus::too_large, too_large);
  Format format = format_of(piece.data(), std::min(got, SNIFF_BYTES));
  if (format.name.empty()) {
    // Screens have no signature of their own; one with a header says so.
    PictureRead screen = read_screen_picture(name, 0);
    return screen.status == PictureReadStatus::read ? std::move(screen)
                                                    : refused(PictureReadStatus::not_picture, format.error);
  }

  std::unique_ptr<GdkPixbufLoader, ObjectRelease> loader(gdk_pixbuf_loader_new_with_type(format.name.c_str(), nullptr));
  if (!loader) return refused(PictureReadStatus::not_picture, "no loader for " + format.name);
  Load load;
  load.crop = crop;
  g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(on_size_prepared), &load);
  g_signal_connect(loader.get(), "area-prepared", G_CALLBACK(on_area_prepared), &load);
  g_signal_connect(loader.get(), "area-updated", G_CALLBACK(on_area_updated), &load);
  GError* raw = nullptr;
  for (; got > 0 && load.too_large.empty(); got = file.read(piece.data(), piece.size()))
    if (!gdk_pixbuf_loader_write(loader.get(), piece.data(), got, &raw)) break;
  HeldError writing(raw);
  raw = nullptr;
  load.closing = true;
  gdk_pixbuf_loader_close(loader.get(), &raw);  // answers true at once after a failed write
  HeldError closing(raw);

  if (file.status() != PictureFileStatus::open) return file_refusal(file);
  if (!load.too_large.empty()) return refused(PictureReadStatus::too_large, load.too_large);
  const HeldError& error = writing ? writing : closing;
  if (is_error(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY)) return refused(PictureReadStatus::out_of_memory);
  // Most loaders take a file that stops early without complaint and leave
  // the rest of the picture blank; others complain only when told there is
  // no more, once the picture has begun.
  const bool rows_missing = load.prepared && load.rows_delivered < load.rows_seen.size();
  if (!writing && load.prepared && (rows_missing || closing)) return refused(PictureReadStatus::cut_short);
  if (error) return refused(PictureReadStatus::not_picture, error->message);

  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
  if (!pixbuf || gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 ||
      gdk_pixbuf_get_n_channels(pixbuf) != (gdk_pixbuf_get_has_alpha(pixbuf) ? 4 : 3))
    return refused(PictureReadStatus::not_picture, "no pixels");
  PictureRead result;
  result.status = PictureReadStatus::read;
  result.pixbuf.reset(static_cast<GdkPixbuf*>(g_object_ref(pixbuf)));
  result.view = {gdk_pixbuf_get_width(pixbuf),      gdk_pixbuf_get_height(pixbuf),  gdk_pixbuf_get_rowstride(pixbuf),
                 gdk_pixbuf_get_n_channels(pixbuf), gdk_pixbuf_read_pixels(pixbuf), orientation_of(pixbuf)};
  return result;
}
