#pragma once
// Opening a file that ss4topng reads, by its name's bytes: only a regular
// file is opened (a FIFO or a device is refused before anything is done to
// it, and the open never waits for a FIFO's writer), so that every read
// that follows is bounded by the size it had.
#include <sys/types.h>

#include <cstdint>
#include <string>

// What the viewer says of a name with nothing of use under it, and scripts
// look for: nothing there, or nothing with a size (a FIFO, a device).
inline constexpr char MISSING_FILE_TEXT[] = "Bad size or file not exists";

class RegularFile {
 public:
  // Opens `name`; failure() tells why when it cannot be read.
  explicit RegularFile(const std::string& name);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  int fd() const { return fd_; }
  std::int64_t size() const { return size_; }
  // Empty when open, else one line without the file's name: the missing
  // file's words, "is a folder" or "cannot read: REASON".
  const std::string& failure() const { return failure_; }

 private:
  int fd_ = -1;
  std::int64_t size_ = 0;
  std::string failure_;
};

std::string cannot_read(int error);

// pread, again when a signal interrupts it.
ssize_t read_at(int fd, std::uint8_t* buffer, std::size_t count, std::int64_t offset);

// Reads up to `count` bytes from `offset` on, as many as there are; -1 on
// failure (errno tells why).
std::int64_t read_fully(int fd, std::uint8_t* buffer, std::size_t count, std::int64_t offset);
