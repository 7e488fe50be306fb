// Decodes arbitrary bytes as a screen file in memory: no files, no runtime.
// Beside the decoder's own checks (sanitizers, and every colour in range),
// the line-change table read in two pieces split where the input
// says must give the table read whole, as a bounded file read does.
#include "sam/line_changes.h"
#include "sam/screen_decoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

namespace {

LineChangeScan scan_in_two(std::span<const std::uint8_t> table, std::size_t split) {
  LineChangeScan scan;
  split = std::min(split, table.size());
  if (scan_line_changes(scan, table.data(), split)) scan_line_changes(scan, table.data() + split, table.size() - split);
  finish_line_changes(scan);
  return scan;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static DecodedScreen screen;
  std::span<const std::uint8_t> file(data, size);
  ScreenSize verdict = decode_screen(file, screen);
  if ((verdict == ScreenSize::usable) != (size >= static_cast<std::size_t>(MIN_SS4_SIZE))) std::abort();
  if (verdict != ScreenSize::usable) return 0;
  for (const auto& clut : screen.row_clut)
    for (std::uint8_t colour : clut)
      if (colour > 127) std::abort();

  std::span<const std::uint8_t> table = file.subspan(LINE_TABLE_OFFSET);
  LineChangeScan whole = scan_in_two(table, table.size());
  LineChangeScan pieces = scan_in_two(table, data[0] * 4u + data[1] % 4u);
  if (whole.kept_bytes != pieces.kept_bytes ||
      std::memcmp(whole.kept.data(), pieces.kept.data(), static_cast<std::size_t>(whole.kept_bytes)) != 0)
    std::abort();
  return 0;
}
