#include "screen_picture.h"

#include "picture_file.h"

#include "sam/frame_pixels.h"
#include "sam/screen_reader.h"

#include <memory>
#include <new>
#include <vector>

namespace {

constexpr std::size_t PIECE = 64 * 1024;

}  // namespace

PictureRead read_screen_picture(const std::string& name, int named_mode) {
  PictureFile file(name);
  auto reader = std::make_unique<ScreenReader>(named_mode);
  std::vector<std::uint8_t> piece(PIECE);
  while (std::size_t got = file.read(piece.data(), piece.size())) {
    reader->feed(piece.data(), got);
    if (reader->complete()) break;
  }
  if (file.status() != PictureFileStatus::open) return file_refusal(file);

  auto screen = std::make_unique<SamScreen>();
  KindVerdict verdict = reader->finish(*screen);
  if (!verdict.kind) return refused(PictureReadStatus::not_picture, verdict.why);
  if (!named_mode && verdict.kind->body_offset == 0) return refused(PictureReadStatus::not_picture, "unknown format");
  const int width = shown_width(*screen), height = shown_height(*screen);
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  if (!pixbuf) return refused(PictureReadStatus::out_of_memory);
  frame_pixels(*screen, 0, 0, ChannelOrder::rgb, gdk_pixbuf_get_pixels(pixbuf), gdk_pixbuf_get_rowstride(pixbuf));
  PictureRead result;
  result.status = PictureReadStatus::read;
  result.pixbuf.reset(pixbuf);
  result.view = {width, height, gdk_pixbuf_get_rowstride(pixbuf), 3, gdk_pixbuf_read_pixels(pixbuf), 1};
  return result;
}
