#include "screen_input.h"

#include "other_formats.h"

#include "sam/screen_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t PIECE = 64 * 1024;
// What the viewer says of a name with nothing of use under it, and scripts
// look for: nothing there, or nothing with a size (a FIFO, a device).
constexpr char MISSING[] = "Bad size or file not exists";

std::string cannot_read(int error) { return std::string("cannot read: ") + std::strerror(error); }

std::string irregular(const struct stat& st) { return S_ISDIR(st.st_mode) ? "is a folder" : MISSING; }

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// How many bytes from `offset` on are a hole, known to be zeros without
// being read; 0 where there is data or the system cannot tell.
std::int64_t hole_at(int fd, std::int64_t offset, std::int64_t size) {
  const off_t data = ::lseek(fd, offset, SEEK_DATA);
  if (data >= offset) return data - offset;
  return errno == ENXIO && size > offset ? size - offset : 0;
}

ssize_t read_at(int fd, std::uint8_t* buffer, std::size_t count, std::int64_t offset) {
  ssize_t got;
  while ((got = ::pread(fd, buffer, count, offset)) < 0 && errno == EINTR) {
  }
  return got;
}

}  // namespace

std::string read_screen_input(const std::string& name, int forced_mode, SamScreen& screen) {
  // Looked at before opening, so that no device is ever opened (opening one
  // can act on it); what was opened is looked at again.
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return MISSING;
  if (!S_ISREG(st.st_mode)) return irregular(st);
  const Descriptor file{::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) return errno == ENOENT ? MISSING : cannot_read(errno);
  if (::fstat(file.fd, &st) != 0) return cannot_read(errno);
  if (!S_ISREG(st.st_mode)) return irregular(st);

  const int named_mode = mode_of_name(name);
  const std::int64_t size = st.st_size;
  if (size > MOST_SCREEN_BYTES) return screen_kind({}, size, named_mode, forced_mode).why;
  auto reader = std::make_unique<ScreenReader>(named_mode, forced_mode);
  const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(PIECE);
  std::int64_t at = 0;
  while (!reader->complete() && at <= MOST_SCREEN_BYTES) {
    if (const std::int64_t hole = hole_at(file.fd, at, size); hole >= static_cast<std::int64_t>(PIECE)) {
      reader->skip_zeros(hole);
      at += hole;
      continue;
    }
    const ssize_t got = read_at(file.fd, piece.get(), PIECE, at);
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
