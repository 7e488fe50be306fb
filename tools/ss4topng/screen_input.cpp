#include "screen_input.h"

#include "other_formats.h"
#include "regular_file.h"

#include "sam/screen_reader.h"

#include <unistd.h>

#include <cerrno>
#include <memory>

namespace {

constexpr std::size_t PIECE = 64 * 1024;

// How many bytes from `offset` on are a hole, known to be zeros without
// being read; 0 where there is data or the system cannot tell.
std::int64_t hole_at(int fd, std::int64_t offset, std::int64_t size) {
  const off_t data = ::lseek(fd, offset, SEEK_DATA);
  if (data >= offset) return data - offset;
  return errno == ENXIO && size > offset ? size - offset : 0;
}

}  // namespace

std::string read_screen_input(const std::string& name, int forced_mode, SamScreen& screen) {
  const RegularFile file(name);
  if (!file.failure().empty()) return file.failure();
  const int named_mode = mode_of_name(name);
  const std::int64_t size = file.size();
  if (size > MOST_SCREEN_BYTES) return screen_kind({}, size, named_mode, forced_mode).why;
  auto reader = std::make_unique<ScreenReader>(named_mode, forced_mode);
  const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(PIECE);
  std::int64_t at = 0;
  while (!reader->complete() && at <= MOST_SCREEN_BYTES) {
    if (const std::int64_t hole = hole_at(file.fd(), at, size); hole >= static_cast<std::int64_t>(PIECE)) {
      reader->skip_zeros(hole);
      at += hole;
      continue;
    }
    const ssize_t got = read_at(file.fd(), piece.get(), PIECE, at);
    if (got < 0) return cannot_read(errno);
    if (got == 0) break;
    const std::span<const std::uint8_t> bytes(piece.get(), static_cast<std::size_t>(got));
    if (at == 0)
      if (std::optional<std::string_view> kind = other_format(bytes, static_cast<std::uint64_t>(size)))
        return std::string(*kind) + ", not a SAM screen";
    reader->feed(bytes.data(), bytes.size());
    at += got;
  }
  // The rest counts towards the length the verdict tells.
  if (reader->complete() && size > at) reader->skip_zeros(size - at);
  KindVerdict verdict = reader->finish(screen);
  return verdict.kind ? std::string() : verdict.why;
}
