#pragma once
// A picture file opened for reading in pieces, bounded whatever is under the
// name: only regular files are read (a folder, a FIFO or a device is refused
// before anything is read from it, and the open never waits for a FIFO's
// writer), and no more than MAX_PICTURE_FILE_BYTES of one.
#include <cstddef>
#include <cstdint>
#include <string>

// Far more than any picture within the pixel limit needs in a compressed
// format; it also bounds what a loader that holds the whole file (TIFF's)
// keeps beside the picture.
constexpr std::uint64_t MAX_PICTURE_FILE_BYTES = std::uint64_t{256} << 20;

enum class PictureFileStatus {
  open,
  missing,  // nothing under the name, or nothing with a size: a FIFO, a device, a socket
  folder,
  unreadable,  // the system refused to open or read it: see error()
  too_large,   // more than MAX_PICTURE_FILE_BYTES
};

class PictureFile {
 public:
  // `name` is used as the bytes it is.
  explicit PictureFile(const std::string& name);
  ~PictureFile();
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;

  PictureFileStatus status() const { return status_; }
  int error() const { return error_; }  // the system's error number when unreadable

  // Reads the next piece of up to `size` bytes. 0 at the end of the file,
  // and when the read failed or passed the limit (status() says which).
  std::size_t read(std::uint8_t* buffer, std::size_t size);

 private:
  void refuse(PictureFileStatus status, int error = 0);

  int fd_ = -1;
  PictureFileStatus status_ = PictureFileStatus::open;
  int error_ = 0;
  std::uint64_t taken_ = 0;
};
