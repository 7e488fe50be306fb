#include "native/file.h"

#include "native/faults.h"
#include "native/text.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace native {

struct File {
  int fd;
};

File* file_open(std::u16string_view name, FileAccess access, FileDisposition disposition) {
  std::string path = to_utf8(name);
  if (path.empty()) return nullptr;
  int flags = O_CLOEXEC | (access == FileAccess::read ? O_RDONLY : O_RDWR);
  if (disposition == FileDisposition::create_always) {
    if (faults::create_fails()) return nullptr;
    flags |= O_CREAT | O_TRUNC;
  } else if (faults::open_fails()) {
    return nullptr;
  }
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (disposition == FileDisposition::open_existing && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
    ::close(fd);
    return nullptr;
  }
  auto* file = new (std::nothrow) File{fd};
  if (!file) ::close(fd);
  return file;
}

bool file_read(File* file, void* buffer, std::uint32_t count, std::uint32_t& done) {
  done = 0;
  if (!file) return false;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t n = ::read(file->fd, out + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    done += static_cast<std::uint32_t>(n);
  }
  return true;
}

bool file_write(File* file, const void* buffer, std::uint32_t count, std::uint32_t& done) {
  done = 0;
  if (!file) return false;
  std::size_t allowed = faults::write_allowance(count);
  if (allowed == 0 && count > 0) return false;
  const auto* in = static_cast<const char*>(buffer);
  while (done < allowed) {
    ssize_t n = ::write(file->fd, in + done, allowed - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0;
    done += static_cast<std::uint32_t>(n);
  }
  return true;
}

bool file_close(File* file) {
  if (!file) return false;
  int rc = ::close(file->fd);
  delete file;
  return rc == 0;
}

bool file_delete(std::u16string_view name) {
  std::string path = to_utf8(name);
  return !path.empty() && ::unlink(path.c_str()) == 0;
}

namespace {

ssize_t stream_write(void* cookie, const char* data, size_t size) {
  auto* file = static_cast<File*>(cookie);
  std::size_t total = 0;
  while (total < size) {
    auto chunk = static_cast<std::uint32_t>(std::min<std::size_t>(size - total, 1u << 30));
    std::uint32_t done = 0;
    if (!file_write(file, data + total, chunk, done) || done == 0) break;
    total += done;
  }
  if (total == 0 && size > 0) {
    errno = ENOSPC;
    return -1;
  }
  return static_cast<ssize_t>(total);
}

int stream_close(void* cookie) { return file_close(static_cast<File*>(cookie)) ? 0 : -1; }

}  // namespace

std::FILE* file_create_stream(std::u16string_view name) {
  File* file = file_open(name, FileAccess::read_write, FileDisposition::create_always);
  if (!file) return nullptr;
  cookie_io_functions_t io{};
  io.write = stream_write;
  io.close = stream_close;
  std::FILE* stream = fopencookie(file, "wb", io);
  if (!stream) file_close(file);
  return stream;
}

bool find_first_file(std::u16string_view name, FindData& found) {
  std::string path = to_utf8(name);
  if (path.empty()) return false;
  if (path.find_first_of("*?") == std::string::npos) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    found.is_directory = S_ISDIR(st.st_mode);
    found.size = found.is_directory ? 0 : static_cast<std::uint64_t>(st.st_size);
    return true;
  }
  // Wildcards match names inside one folder, never the folder part.
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
  if (folder.find_first_of("*?") != std::string::npos) return false;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return false;
  std::vector<std::string> matches;
  while (dirent* entry = ::readdir(dir)) {
    std::string entry_name = entry->d_name;
    if (entry_name != "." && entry_name != ".." && ::fnmatch(pattern.c_str(), entry_name.c_str(), FNM_PERIOD) == 0)
      matches.push_back(entry_name);
  }
  ::closedir(dir);
  std::sort(matches.begin(), matches.end());
  for (const std::string& match : matches) {
    struct stat st {};
    std::string full = slash == std::string::npos ? match : folder + match;
    if (::stat(full.c_str(), &st) != 0) continue;
    found.is_directory = S_ISDIR(st.st_mode);
    found.size = found.is_directory ? 0 : static_cast<std::uint64_t>(st.st_size);
    return true;
  }
  return false;
}

std::uint32_t file_attributes(std::u16string_view name) {
  std::string path = to_utf8(name);
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
  return S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

unsigned drive_type(std::u16string_view) { return DRIVE_NO_ROOT_DIR; }

}  // namespace native
