#include "screen/screen_decoder.h"

#include "screen/line_changes.h"

#include <cstring>
#include <limits>

ScreenSize screen_size_rule(std::int64_t size) {
  if (size < MIN_SS4_SIZE) return ScreenSize::too_small;
  if (size > std::numeric_limits<std::int32_t>::max()) return ScreenSize::too_large;
  return ScreenSize::usable;
}

ScreenSize decode_screen(std::span<const std::uint8_t> file, DecodedScreen& screen) {
  ScreenSize size = screen_size_rule(static_cast<std::int64_t>(file.size()));
  if (size != ScreenSize::usable) return size;

  // Eight bytes at a time: a tenth of the loop's steps, which matters most
  // where every step costs (sanitizers, fuzzing).
  for (std::int32_t i = 0; i < SCREEN_BYTES; i += 8) {
    std::array<std::uint8_t, 8> in;
    std::array<std::uint8_t, 16> out;
    std::memcpy(in.data(), file.data() + i, in.size());
    for (std::size_t k = 0; k < in.size(); ++k) {
      out[2 * k] = in[k] >> 4;
      out[2 * k + 1] = in[k] & 15;
    }
    std::memcpy(screen.pixels.data() + 2 * i, out.data(), out.size());
  }

  // The first usable record for each row is the only one that counts.
  LineChangeScan scan;
  std::span<const std::uint8_t> table = file.subspan(LINE_TABLE_OFFSET);
  scan_line_changes(scan, table.data(), table.size());
  finish_line_changes(scan);
  std::array<const std::uint8_t*, SCREEN_HEIGHT> change{};
  for (int k = 0; k < scan.kept_bytes; k += LINE_RECORD_SIZE) change[scan.kept[k] + 1] = &scan.kept[k];

  std::array<std::uint8_t, 16> clut;
  for (int i = 0; i < 16; ++i) clut[i] = file[CLUT_OFFSET + i] & 0x7F;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    // A change takes effect from the row after its line, and stays.
    if (const std::uint8_t* record = change[y]) clut[record[1]] = record[2] & 0x7F;
    screen.row_clut[y] = clut;
  }
  return size;
}
