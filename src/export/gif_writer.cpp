#include "export/gif_writer.h"

#include "native/system/file.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int MAX_COLOURS = 256;

// Where giflib's bytes go: the output's buffered stream, and while a frame
// is compressed, that frame's own copy.
struct Sink {
  std::FILE* stream = nullptr;
  std::vector<std::uint8_t>* recording = nullptr;

  bool put(const std::uint8_t* bytes, std::size_t count) {
    if (recording) recording->insert(recording->end(), bytes, bytes + count);
    return std::fwrite(bytes, 1, count, stream) == count;
  }
};

int put_bytes(GifFileType* gif, const GifByteType* bytes, int count) {
  return static_cast<Sink*>(gif->UserData)->put(bytes, static_cast<std::size_t>(count)) ? count : 0;
}

// What one GIF save holds, released whatever happens: the output (dropped
// unless committed), its stream and giflib's state.
struct GifSession {
  native::File* output = nullptr;
  Sink sink;
  GifFileType* gif = nullptr;
  ColorMapObject* table = nullptr;

  ~GifSession() {
    if (gif) EGifCloseFile(gif, nullptr);
    GifFreeMapObject(table);
    if (sink.stream) std::fclose(sink.stream);
    native::file_close(output);
  }

  bool commit() {
    int error = 0;
    const bool ended = EGifCloseFile(gif, &error) == GIF_OK;
    gif = nullptr;
    const bool flushed = std::fflush(sink.stream) == 0 && std::ferror(sink.stream) == 0;
    std::fclose(sink.stream);
    sink.stream = nullptr;
    native::File* file = output;
    output = nullptr;
    if (ended && flushed) return native::file_commit(file);
    native::file_close(file);
    return false;
  }
};

ColorMapObject* colour_table(std::span<const std::uint32_t> colours) {
  if (colours.empty() || colours.size() > MAX_COLOURS) return nullptr;
  int size = 2;
  while (size < static_cast<int>(colours.size())) size *= 2;
  std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < colours.size(); ++i)
    entries[i] = {static_cast<GifByteType>(colours[i]), static_cast<GifByteType>(colours[i] >> 8),
                  static_cast<GifByteType>(colours[i] >> 16)};
  return GifMakeMapObject(size, entries.data());
}

bool put_loop_forever(GifFileType* gif) {
  static const GifByteType NETSCAPE[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static const GifByteType FOREVER[] = {1, 0, 0};  // sub-block 1: a loop count of 0
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof NETSCAPE, NETSCAPE) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof FOREVER, FOREVER) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool put_timing(GifFileType* gif, const GifFrame& frame) {
  GraphicsControlBlock control{};
  control.DisposalMode = frame.restore ? DISPOSE_PREVIOUS : DISPOSE_DO_NOT;
  control.DelayTime = frame.delay;
  control.TransparentColor = frame.transparent >= 0 ? frame.transparent : NO_TRANSPARENT_COLOR;
  GifByteType bytes[4];
  const auto length = static_cast<int>(EGifGCBToExtension(&control, bytes));
  return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, length, bytes) == GIF_OK;
}

bool same_image(const GifFrame& a, const GifFrame& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height && a.indices == b.indices &&
         a.shown == b.shown && a.stride == b.stride && (!a.shown || a.transparent == b.transparent);
}

// Each row is made in a buffer of its own (giflib also masks the pixels of
// the row it is given, in place).
bool put_image(GifFileType* gif, const GifFrame& frame, std::vector<GifPixelType>& row) {
  if (EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, false, nullptr) != GIF_OK) return false;
  row.resize(static_cast<std::size_t>(frame.width));
  const auto unchanged = static_cast<GifPixelType>(frame.transparent);
  for (int y = frame.top; y < frame.top + frame.height; ++y) {
    const std::uint8_t* now = frame.indices + y * frame.stride + frame.left;
    if (frame.shown) {
      const std::uint8_t* before = frame.shown + y * frame.stride + frame.left;
      for (int x = 0; x < frame.width; ++x) row[x] = now[x] == before[x] ? unchanged : now[x];
    } else {
      std::memcpy(row.data(), now, row.size());
    }
    if (EGifPutLine(gif, row.data(), frame.width) != GIF_OK) return false;
  }
  return true;
}

bool valid(const GifPicture& picture, std::span<const GifFrame> frames) {
  if (picture.width < 1 || picture.height < 1 || picture.width > 0xFFFF || picture.height > 0xFFFF || frames.empty())
    return false;
  return std::all_of(frames.begin(), frames.end(), [&](const GifFrame& f) {
    return f.indices && f.left >= 0 && f.top >= 0 && f.width >= 1 && f.height >= 1 && f.stride >= picture.width &&
           f.left + f.width <= picture.width && f.top + f.height <= picture.height && f.delay >= 0 &&
           f.delay <= 0xFFFF && f.transparent < MAX_COLOURS && (!f.shown || f.transparent >= 0);
  });
}

}  // namespace

std::int32_t write_gif_named(const std::string& path, const GifPicture& picture, std::span<const GifFrame> frames) {
  if (!valid(picture, frames)) return 0;
  GifSession s;
  s.table = colour_table(picture.colours);
  if (!s.table) return 0;
  s.output = native::file_create_output_named(path);
  if (!s.output) return 0;
  s.sink.stream = native::file_output_stream(s.output);
  if (!s.sink.stream) return 0;
  s.gif = EGifOpen(&s.sink, put_bytes, nullptr);
  if (!s.gif) return 0;
  EGifSetGifVersion(s.gif, true);
  if (EGifPutScreenDesc(s.gif, picture.width, picture.height, s.table->BitsPerPixel, 0, s.table) != GIF_OK) return 0;
  if (picture.loop_forever && !put_loop_forever(s.gif)) return 0;

  // Each distinct image compressed once, with the bytes it got.
  std::vector<std::pair<const GifFrame*, std::vector<std::uint8_t>>> images;
  std::vector<GifPixelType> row;
  for (const GifFrame& frame : frames) {
    if (!put_timing(s.gif, frame)) return 0;
    auto earlier =
        std::find_if(images.begin(), images.end(), [&](const auto& i) { return same_image(*i.first, frame); });
    if (earlier != images.end()) {
      // giflib holds nothing back between images: its bytes of an image are
      // all out once the image's last row is, so a copy can stand in.
      if (!s.sink.put(earlier->second.data(), earlier->second.size())) return 0;
      continue;
    }
    images.emplace_back(&frame, std::vector<std::uint8_t>());
    s.sink.recording = &images.back().second;
    const bool put = put_image(s.gif, frame, row);
    s.sink.recording = nullptr;
    if (!put) return 0;
  }
  return s.commit() ? 1 : 0;
}
