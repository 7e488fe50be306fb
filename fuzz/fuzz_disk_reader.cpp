// Disk images of any bytes, read as ss4topng reads them: which container,
// the directory, and the data of every file whose chain reads. Whatever the
// headers, tables, links and maps say, nothing may be read outside the
// image, and a file said to read must give exactly its length. An image no
// container takes is read as the start of an MGT all the same, so that
// mutated bytes reach the directory and the chains without a header to get
// past first.
#include "sam/disk_chain.h"
#include "sam/disk_directory.h"
#include "sam/disk_image.h"
#include "sam/file_header.h"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void read_every_file(std::span<const std::uint8_t> image, DiskContainer container) {
  const DiskImage disk(image, container);
  const DiskDirectory directory = read_disk_directory(disk);
  if (!directory.why.empty() && !directory.files.empty()) std::abort();
  int last_slot = 0;
  for (const DiskFile& file : directory.files) {
    if (file.slot <= last_slot || file.slot > DISK_DIRECTORY_SLOTS || file.type == 0) std::abort();
    last_slot = file.slot;
    if (disk_file_name(file).size() > DISK_NAME_BYTES) std::abort();
    if (!file.broken.empty()) continue;
    const std::vector<std::uint8_t> data = disk_file_data(disk, file);
    // Unknown lengths take the whole chain after the header.
    const std::int64_t expected =
        file.length >= 0 ? file.length : std::int64_t{file.sectors} * SECTOR_DATA_BYTES - FILE_HEADER_BYTES;
    if (static_cast<std::int64_t>(data.size()) != expected) std::abort();
    if (file.kind == DiskFileKind::sam_screen && (file.mode < 1 || file.mode > 4)) std::abort();
    if (file.kind == DiskFileKind::spectrum_screen && file.length != SPECTRUM_SCREEN_BYTES) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> image(data, size);
  const DiskImageVerdict verdict = disk_container(image, "disk.img");
  if (verdict.container.has_value() != verdict.why.empty()) std::abort();
  read_every_file(image, verdict.container.value_or(DiskContainer::mgt));
  return 0;
}
