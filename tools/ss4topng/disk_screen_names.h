#pragma once
// The names ss4topng gives the screens on a disk, and shows them by. A
// name on a disk is ten bytes of anything: its bytes are kept as they are
// in file names, but for what a file name cannot hold, and shown escaped
// only where a byte would break the line it is shown in.
#include "sam/disk_directory.h"

#include <string>
#include <string_view>
#include <vector>

// NAME in DISK-NAME.png: the name's bytes, '/' and NUL (which no file name
// can hold) and a leading '.' (which would hide the file) replaced by '_';
// "_" for a name of spaces alone.
std::string file_name_part(const std::string& disk_name);

// The name as a line shows it: bytes below 0x20, 0x7F and '\' as \xNN (so
// that the line stays one line and the escapes stay unambiguous), every
// other byte as it is.
std::string shown_name(const std::string& disk_name);

// "DISK: NAME (slot N)", what a line about one file on a disk starts with.
std::string file_label(const std::string& disk, const DiskFile& file);

// The output name of each of `screens` (a disk's screens, in slot order):
// `stem` (the disk's name without its extension, in its folder or the -o
// folder), "-", NAME and `extension`. A NAME an earlier screen already has
// gets "-SLOT" after it, so that two screens of one name stay apart.
std::vector<std::string> screen_output_names(const std::vector<const DiskFile*>& screens, const std::string& stem,
                                             std::string_view extension);
