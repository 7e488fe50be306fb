#pragma once
// ss4topng --list: what a disk holds, one line a file, converting nothing.
#include "sam/disk_directory.h"

#include <string>
#include <vector>

// One line for each file of `directory`, in slot order: the slot, the name
// (shown_name), the type, the length, then "mode N" for screens, "hidden"
// and "protected" when so, and "broken: WHY", "compressed" or "ZX Spectrum
// screen" where that applies.
std::string disk_listing(const DiskDirectory& directory);

// Lists each of `files` on standard output, after a "FILE:" line when there
// are several; a file that is no disk image gets one line on standard error
// instead. Answers the exit status: 0 when every file was a disk, else 1.
int list_disks(const std::vector<std::string>& files);
