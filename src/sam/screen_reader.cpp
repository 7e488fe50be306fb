#include "sam/screen_reader.h"

#include <algorithm>
#include <cstring>

std::size_t ScreenReader::Records::take(std::int64_t at, const std::uint8_t* bytes, std::size_t count) {
  const std::int64_t end = at + static_cast<std::int64_t>(count);
  if (offset < 0) return 0;
  if (end <= offset) return count;
  const auto skipped = static_cast<std::size_t>(std::max<std::int64_t>(offset - at, 0));
  if (scan.finished) return skipped;
  return skipped + take_line_changes(scan, bytes + skipped, count - skipped);
}

ScreenReader::ScreenReader(int named_mode, int forced_mode) : named_mode_(named_mode), forced_mode_(forced_mode) {
  const int mode = forced_mode ? forced_mode : named_mode ? named_mode : 4;
  plain_.offset = records_offset(mode);
}

bool ScreenReader::complete() const {
  // A header agrees with the length only if the file ends where it says.
  if (header_ && size_ <= FILE_HEADER_BYTES + header_->length) return false;
  return plain_.scan.finished;
}

int ScreenReader::settled_mode() const {
  if (size_ < FILE_HEADER_BYTES || (header_ && size_ <= FILE_HEADER_BYTES + header_->length)) return 0;
  if (forced_mode_ || named_mode_) return forced_mode_ ? forced_mode_ : named_mode_;
  return size_ > most_written_body(2) ? 4 : 0;
}

std::size_t ScreenReader::feed(const std::uint8_t* bytes, std::size_t count) {
  if (complete()) {
    size_ += static_cast<std::int64_t>(count);
    return 0;
  }
  const std::int64_t at = size_;
  const auto held =
      static_cast<std::size_t>(std::clamp<std::int64_t>(HELD_BYTES - at, 0, static_cast<std::int64_t>(count)));
  if (held) std::copy_n(bytes, held, held_.begin() + at);
  size_ += static_cast<std::int64_t>(count);
  if (!header_ && at < FILE_HEADER_BYTES && size_ >= FILE_HEADER_BYTES) {
    header_ = screen_header(std::span(held_.data(), FILE_HEADER_BYTES));
    if (header_) headed_.offset = FILE_HEADER_BYTES + records_offset(forced_mode_ ? forced_mode_ : header_->mode);
  }
  headed_.take(at, bytes, count);
  std::size_t needed = std::max(held, plain_.take(at, bytes, count));
  if (!complete()) return count;
  if (header_) needed = std::max(needed, static_cast<std::size_t>(FILE_HEADER_BYTES + header_->length + 1 - at));
  return std::min(needed, count);
}

KindVerdict ScreenReader::finish(SamScreen& screen) {
  KindVerdict verdict =
      screen_kind(std::span(held_.data(), static_cast<std::size_t>(std::min<std::int64_t>(size_, HELD_BYTES))), size_,
                  named_mode_, forced_mode_);
  if (!verdict.kind) return verdict;
  const ScreenKind& kind = *verdict.kind;
  const std::int32_t records_at = records_offset(kind.mode);
  const auto offset = static_cast<std::int32_t>(kind.body_offset);
  std::int32_t body_size;
  if (size_ <= HELD_BYTES) {
    // All of it is here.
    body_size = static_cast<std::int32_t>(kind.body_size);
  } else {
    // The bytes before the records, then the records this reading kept.
    Records& records = offset ? headed_ : plain_;
    finish_line_changes(records.scan);
    body_size = complete_bounded_copy(records.scan, held_.data() + offset, records_at);
  }
  decode_sam_screen(kind.mode, std::span(held_.data() + offset, static_cast<std::size_t>(body_size)), screen);
  return verdict;
}
