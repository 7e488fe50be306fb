#pragma once
// The 9-byte header SAM DOS puts before a file's data, which files taken
// off a disk often keep: type 20 for a screen, the length, the start
// address (0x8000 for a screen), and in the start page's bits 5-6 the mode.
#include <cstdint>
#include <optional>
#include <span>

constexpr int FILE_HEADER_BYTES = 9;
constexpr std::uint8_t SCREEN_FILE_TYPE = 20;

struct FileHeader {
  std::int64_t length;  // of the data after the header
  int mode;             // 1-4
};

// The header a screen file starts with: type 20 and start offset 0x8000.
// Nothing when `head` (the file's first bytes) holds no such header.
std::optional<FileHeader> screen_header(std::span<const std::uint8_t> head);
