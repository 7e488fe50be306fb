#include "native/system/file.h"

#include "native/system/faults.h"
#include "native/system/file_record.h"
#include "native/system/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

namespace native {
namespace {

thread_local int last_error = 0;

}  // namespace

void note_error(int error) { last_error = error; }

int last_file_error() { return last_error; }

void set_last_file_error(int error) { last_error = error; }

std::string file_error_text(int error) {
  if (error == FOLDER_REFUSES_NEW_FILES)
    return "its folder allows no new files, and it is replaced safely only through a new file beside it";
  return std::strerror(error);
}

File* file_open_for_reading(std::u16string_view name) {
  std::string path = to_utf8(name);
  if (path.empty()) return fail_with(ENOENT);
  if (faults::open_fails()) return fail_with(EACCES);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return fail_with(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    note_error(S_ISDIR(st.st_mode) ? EISDIR : errno);
    ::close(fd);
    return nullptr;
  }
  auto* file = new (std::nothrow) File{};
  if (!file) {
    note_error(ENOMEM);
    ::close(fd);
    return nullptr;
  }
  file->fd = fd;
  return file;
}

bool file_read(File* file, void* buffer, std::uint32_t count, std::uint32_t& done) {
  done = 0;
  if (!file) return false;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t n = ::read(file->fd, out + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      note_error(errno);
      return false;
    }
    if (n == 0) break;
    done += static_cast<std::uint32_t>(n);
  }
  return true;
}

bool file_write(File* file, const void* buffer, std::uint32_t count, std::uint32_t& done) {
  done = 0;
  if (!file) return false;
  std::size_t allowed = faults::write_allowance(count);
  const auto* in = static_cast<const char*>(buffer);
  while (done < allowed) {
    ssize_t n = ::write(file->fd, in + done, allowed - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // write(2) answers 0 only for a count of 0; treat it as a full disk.
      if (!file->write_error) file->write_error = n < 0 ? errno : ENOSPC;
      note_error(file->write_error);
      return false;
    }
    done += static_cast<std::uint32_t>(n);
  }
  if (done < count) {
    if (!file->write_error) file->write_error = ENOSPC;  // the fault hooks' full disk
    note_error(ENOSPC);
    return done > 0;
  }
  return true;
}

std::int64_t file_position(File* file) { return file ? ::lseek(file->fd, 0, SEEK_CUR) : -1; }

bool file_seek(File* file, std::int64_t offset) {
  if (!file || ::lseek(file->fd, offset, SEEK_SET) != offset) {
    note_error(file ? errno : EBADF);
    return false;
  }
  return true;
}

std::int64_t file_hole_length(File* file, std::int64_t offset) {
  if (!file) return 0;
  // Asking where data starts moves the read position there: it goes back
  // to where it was, so that the caller skips the hole once, not twice.
  const off_t was = ::lseek(file->fd, 0, SEEK_CUR);
  off_t data = ::lseek(file->fd, offset, SEEK_DATA);
  const int error = errno;
  if (was >= 0) ::lseek(file->fd, was, SEEK_SET);
  if (data >= offset) return data - offset;
  // No data from here on: a hole to the end, if the offset is inside the file.
  struct stat st {};
  if (error == ENXIO && ::fstat(file->fd, &st) == 0 && st.st_size > offset) return st.st_size - offset;
  return 0;
}

FileStatus file_status(std::u16string_view name) {
  std::string path = to_utf8(name);
  struct stat st {};
  if (path.empty()) {
    note_error(ENOENT);
    return {};
  }
  if (::stat(path.c_str(), &st) != 0) {
    note_error(errno);
    return {};
  }
  bool folder = S_ISDIR(st.st_mode);
  return {true, folder, folder ? 0 : static_cast<std::uint64_t>(st.st_size)};
}

}  // namespace native
