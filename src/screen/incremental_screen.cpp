#include "screen/incremental_screen.h"

#include <algorithm>

std::size_t IncrementalScreen::feed(const std::uint8_t* bytes, std::size_t count) {
  size_ += static_cast<std::int64_t>(count);
  std::size_t fixed = std::min<std::size_t>(count, static_cast<std::size_t>(LINE_TABLE_OFFSET - fixed_bytes_));
  std::copy_n(bytes, fixed, held_.begin() + fixed_bytes_);
  fixed_bytes_ += static_cast<std::int32_t>(fixed);
  if (fixed == count || scan_.finished) return fixed;
  return fixed + take_line_changes(scan_, bytes + fixed, count - fixed);
}

ScreenSize IncrementalScreen::finish(DecodedScreen& screen) {
  ScreenSize size = screen_size_rule(size_);
  if (size != ScreenSize::usable) return size;
  finish_line_changes(scan_);
  std::int32_t held_size = complete_bounded_copy(scan_, held_.data());
  return decode_screen({held_.data(), static_cast<std::size_t>(held_size)}, screen);
}
