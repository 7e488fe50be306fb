#pragma once
// A SAM disk image given to ss4topng: which inputs are disks, and the
// image read whole, in bounded time and memory whatever is under the name.
// A disk is known by its content, whatever its name; a file named like a
// disk image is read as one, and refused as one, never taken for a screen.
#include "sam/disk_image.h"

#include <cstdint>
#include <string>
#include <vector>

struct DiskInput {
  std::vector<std::uint8_t> image;  // the whole file
  DiskContainer container = DiskContainer::mgt;
  // Empty when it is a disk image; else one line, without the file's name,
  // saying why not.
  std::string failure;
};

// Whether `name` is to be read as a disk image: its first bytes and its
// size say so, or its name ends in .mgt, .sad, .img or .dsk (any case). A
// name that cannot be opened is no disk: reading it as a screen says why.
bool is_disk_input(const std::string& name);

// Reads the disk image `name` whole, and which container it is. A file over
// MOST_DISK_IMAGE_BYTES is refused before any of it is read.
DiskInput read_disk_input(const std::string& name);
