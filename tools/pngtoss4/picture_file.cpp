#include "picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// What a name that is not a regular file gets: a folder, or, as for a name
// with nothing under it, no file of any use.
PictureFileStatus status_of_irregular(const struct stat& s) {
  return S_ISDIR(s.st_mode) ? PictureFileStatus::folder : PictureFileStatus::missing;
}

}  // namespace

PictureFile::PictureFile(const std::string& name) {
  // Looked at before opening, so that no device is ever opened (opening one
  // can act on it); the open itself never waits, should a FIFO have taken
  // the name in between, and what was opened is looked at again.
  struct stat s {};
  if (::stat(name.c_str(), &s) != 0) {
    refuse(errno == ENOENT || errno == ENOTDIR ? PictureFileStatus::missing : PictureFileStatus::unreadable, errno);
    return;
  }
  if (!S_ISREG(s.st_mode)) {
    refuse(status_of_irregular(s));
    return;
  }
  fd_ = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) {
    refuse(errno == ENOENT ? PictureFileStatus::missing : PictureFileStatus::unreadable, errno);
    return;
  }
  if (::fstat(fd_, &s) != 0) {
    refuse(PictureFileStatus::unreadable, errno);
  } else if (!S_ISREG(s.st_mode)) {
    refuse(status_of_irregular(s));
  } else if (static_cast<std::uint64_t>(s.st_size) > MAX_PICTURE_FILE_BYTES) {
    refuse(PictureFileStatus::too_large);
  }
}

PictureFile::~PictureFile() {
  if (fd_ >= 0) ::close(fd_);
}

void PictureFile::refuse(PictureFileStatus status, int error) {
  status_ = status;
  error_ = error;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::size_t PictureFile::read(std::uint8_t* buffer, std::size_t size) {
  if (status_ != PictureFileStatus::open) return 0;
  ssize_t got;
  do {
    got = ::read(fd_, buffer, size);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    refuse(PictureFileStatus::unreadable, errno);
    return 0;
  }
  // A file that grew past the limit while read is refused as one that was
  // that large from the start.
  taken_ += static_cast<std::uint64_t>(got);
  if (taken_ > MAX_PICTURE_FILE_BYTES) {
    refuse(PictureFileStatus::too_large);
    return 0;
  }
  return static_cast<std::size_t>(got);
}
