#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string irregular(const struct stat& st) { return S_ISDIR(st.st_mode) ? "is a folder" : MISSING_FILE_TEXT; }

}  // namespace

RegularFile::RegularFile(const std::string& name) {
  // Looked at before opening, so that no device is ever opened (opening one
  // can act on it); what was opened is looked at again.
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) {
    failure_ = MISSING_FILE_TEXT;
    return;
  }
  if (!S_ISREG(st.st_mode)) {
    failure_ = irregular(st);
    return;
  }
  fd_ = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) {
    failure_ = errno == ENOENT ? MISSING_FILE_TEXT : cannot_read(errno);
    return;
  }
  if (::fstat(fd_, &st) != 0) {
    failure_ = cannot_read(errno);
  } else if (!S_ISREG(st.st_mode)) {
    failure_ = irregular(st);
  }
  size_ = st.st_size;
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string cannot_read(int error) { return std::string("cannot read: ") + std::strerror(error); }

ssize_t read_at(int fd, std::uint8_t* buffer, std::size_t count, std::int64_t offset) {
  ssize_t got;
  while ((got = ::pread(fd, buffer, count, offset)) < 0 && errno == EINTR) {
  }
  return got;
}

std::int64_t read_fully(int fd, std::uint8_t* buffer, std::size_t count, std::int64_t offset) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = read_at(fd, buffer + done, count - done, offset + static_cast<std::int64_t>(done));
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}
