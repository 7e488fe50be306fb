#pragma once
// A SAM disk image held whole in memory: MGT (sides interleaved track by
// track), the same 819,200 bytes with side 0 first (.img), SAD, or EDSK.
// Whatever the container, a sector is found through one table made when the
// image is opened, so a lying header or track table costs nothing later and
// a sector the image does not hold is simply missing.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Images are read whole only up to this: a standard disk in any container
// is under 1 MiB, and a double-size SAD or EDSK still fits.
constexpr std::int64_t MOST_DISK_IMAGE_BYTES = 4 * 1024 * 1024;
constexpr std::int64_t MGT_IMAGE_BYTES = 819'200;
constexpr int DISK_SECTOR_BYTES = 512;
constexpr int DISK_CYLINDERS = 80;
constexpr int DISK_SECTORS = 10;  // a track, numbered 1-10

enum class DiskContainer { mgt, img, sad, edsk };

// Whether a file that starts with `head` (its first 256 bytes, or all of it
// when shorter) and is `size` bytes long is to be read as a disk image: a
// SAD or EDSK signature, or an MGT's size.
bool looks_like_disk_image(std::span<const std::uint8_t> head, std::int64_t size);

class DiskImage {
 public:
  // `image` is the whole file and must outlive this. `container` is
  // disk_container()'s answer; any other holds whatever sectors its layout
  // finds whole inside `image`, none when its header is unreadable.
  DiskImage(std::span<const std::uint8_t> image, DiskContainer container);

  DiskContainer container() const { return container_; }
  // The 512 bytes of `sector` (1-10) on `track` (a track byte as chains
  // hold them: 0-79 side 0, 128-207 side 1), or null when the image does not
  // hold that sector whole.
  const std::uint8_t* sector(int track, int sector) const;

 private:
  std::span<const std::uint8_t> image_;
  DiskContainer container_;
  // Offsets into image_ of every sector, side 0 first; -1 where missing.
  std::array<std::int32_t, 2 * DISK_CYLINDERS * DISK_SECTORS> offsets_;
};

struct DiskImageVerdict {
  std::optional<DiskContainer> container;
  std::string why;  // when there is none: one line, without the file's name
};

// Which container `image` is, judged by its bytes. SAD and EDSK by their
// signatures; refused only when their headers cannot be a SAM disk's (a
// SAD's sectors not 512 bytes or none at all, an EDSK's tracks none or its
// sides not 1 or 2): a truncated image or a track table that lies is still
// that container, and what it does not hold is missing. MGT by its size and
// a directory that reads (empty, or with a file whose chain reads). Over
// MOST_DISK_IMAGE_BYTES: refused without a look. An 819,200-byte image is
// side 0 first when more files read that way; `name` (the file's, as bytes)
// breaks a tie: ".img", any case, is side 0 first. The `why`s:
//   too large for a SAM disk image: N bytes, at most 4194304
//   no SAD or EDSK signature, and N bytes where an MGT image has 819200
//   819200 bytes, but no file in its directory reads in either order of its sides
//   too short for a SAD header: N bytes
//   its SAD header gives sectors of N bytes, not 512
//   its SAD header gives no sectors: H sides, C cylinders, S sectors a track
//   too short for an EDSK header: N bytes
//   its EDSK header gives N sides, not 1 or 2
//   its EDSK header gives no tracks
DiskImageVerdict disk_container(std::span<const std::uint8_t> image, std::string_view name);
