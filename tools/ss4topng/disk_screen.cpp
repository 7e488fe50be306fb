#include "disk_screen.h"

#include "sam/file_header.h"
#include "sam/screen_reader.h"
#include "sam/zx_screen.h"

#include <array>
#include <memory>

namespace {

// A header that agrees with `length` bytes of data. The reader takes the
// mode from the caller, so the header's own mode bits do not count; but
// data that happened to start like a header could be taken for one, which
// a header in front rules out, as it does in the file.
std::array<std::uint8_t, FILE_HEADER_BYTES> header_for(std::size_t length) {
  return {SCREEN_FILE_TYPE,
          static_cast<std::uint8_t>(length & 0xFF),
          static_cast<std::uint8_t>((length >> 8) & 0x3F),
          0x00,
          0x80,
          0xFF,
          0xFF,
          static_cast<std::uint8_t>(length / 16384),
          0x1E};
}

std::string decoded(std::span<const std::uint8_t> data, int mode, SamScreen& screen) {
  const auto reader = std::make_unique<ScreenReader>(0, mode);
  const auto header = header_for(data.size());
  reader->feed(header.data(), header.size());
  reader->feed(data.data(), data.size());
  const KindVerdict verdict = reader->finish(screen);
  return verdict.kind ? std::string() : verdict.why;
}

}  // namespace

std::string read_disk_screen(const DiskImage& disk, const DiskFile& file, int forced_mode, SamScreen& screen) {
  if (!file.broken.empty()) return "broken: " + file.broken;
  if (file.kind == DiskFileKind::compressed_screen) return "compressed, skipped";
  const std::vector<std::uint8_t> data = disk_file_data(disk, file);
  if (file.kind != DiskFileKind::spectrum_screen) return decoded(data, forced_mode ? forced_mode : file.mode, screen);
  // A Spectrum screen's data is 6,912 bytes (SPECTRUM_SCREEN_BYTES), or it
  // would be no such screen.
  const SpectrumScreenBody body = spectrum_screen_body(data);
  return decoded(body, forced_mode ? forced_mode : 1, screen);
}
