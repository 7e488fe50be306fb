#include "sam/file_header.h"

std::optional<FileHeader> screen_header(std::span<const std::uint8_t> head) {
  if (head.size() < FILE_HEADER_BYTES || head[0] != SCREEN_FILE_TYPE || head[3] != 0x00 || head[4] != 0x80)
    return std::nullopt;
  // Bytes 1-2 hold the length modulo 16 KiB, byte 7 the whole 16 KiB pages.
  const std::int64_t length = std::int64_t{head[7]} * 16384 + ((head[1] | head[2] << 8) & 0x3FFF);
  return FileHeader{length, ((head[8] >> 5) & 3) + 1};
}
